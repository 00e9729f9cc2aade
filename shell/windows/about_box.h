#pragma once
// The about box: the program's version and credits, in a fixed-size window centred on the screen.
#include <QDialog>

namespace novrix::shell {

inline constexpr const char* kProgramVersion = "20121217";

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

} // namespace novrix::shell
