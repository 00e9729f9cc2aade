#pragma once
// A small round status lamp: yellow when on, olive when off. Toggled by the heartbeats of the main
// window's timer, the transport thread, the debug window and the script.
#include <QWidget>

namespace novrix::shell {

class LedIndicator : public QWidget {
    Q_OBJECT
public:
    explicit LedIndicator(QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);
    void toggle() { setOn(!on_); }
    QSize sizeHint() const override { return {15, 15}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool on_ = false;
};

} // namespace novrix::shell
