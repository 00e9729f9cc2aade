#pragma once
// The caption bar above each pane of the main window ("Source Code", "Compiler & Debug Messages",
// "Output Console"): 25 pixels high, in the button-face colour, the caption centred. Run Console flattens
// it to one white, empty pixel row and gives it back afterwards.
#include <QFrame>

class QLabel;

namespace novrix::shell {

class PanelHeader : public QFrame {
    Q_OBJECT
public:
    static constexpr int kHeight = 25;

    PanelHeader(const QString& caption, QWidget* parent = nullptr);

    QString caption() const;
    void setCaption(const QString& caption);
    // White when flattened, else the button-face colour.
    void setWhite(bool white);
    bool isWhite() const { return white_; }

private:
    QLabel* label_;
    bool white_ = false;
};

} // namespace novrix::shell
