#pragma once
// The "Receive Buffer" window: a hex dump of the bus's shared receive buffer as it was when the window
// was shown. Every showing takes a fresh snapshot, replacing what was shown, and puts the cursor on
// offset 0; later receives do not change the view, and nothing in it is written back.
#include <QByteArray>
#include <QWidget>
#include <functional>

namespace novrix::shell {

class HexView;

class BufferWindow : public QWidget {
    Q_OBJECT
public:
    // `snapshot` copies the receive buffer (under the buffer's own lock) and is called on the GUI thread.
    explicit BufferWindow(std::function<QByteArray()> snapshot, QWidget* parent = nullptr);

    HexView& hexView() const { return *hexView_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::function<QByteArray()> snapshot_;
    HexView* hexView_;
};

} // namespace novrix::shell
