#pragma once
// "Help window": the listing of everything a script may use beyond standard Pascal, built once at the
// start-up's first compile. Its text area can be edited; what is typed there is not kept.
#include <QWidget>

class QPlainTextEdit;

namespace novrix::shell {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    void setListing(const QString& text);
    QString text() const;

private:
    QPlainTextEdit* memo_;
};

} // namespace novrix::shell
