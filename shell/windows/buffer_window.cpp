#include "shell/windows/buffer_window.h"

#include "shell/widgets/hex_view.h"
#include "shell/windows/window_centring.h"

#include <QShowEvent>
#include <QVBoxLayout>

namespace novrix::shell {

namespace {
constexpr QSize kDesignSize(727, 422);
}

BufferWindow::BufferWindow(std::function<QByteArray()> snapshot, QWidget* parent)
    : QWidget(parent, Qt::Window), snapshot_(std::move(snapshot)), hexView_(new HexView(this)) {
    setWindowTitle(QStringLiteral("Receive Buffer"));
    auto* const layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(hexView_);
    resize(kDesignSize);
    centreOnScreen(*this);
}

void BufferWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window restored by the window manager (un-minimised) keeps its snapshot; only a new showing
    // takes another.
    if (event->spontaneous())
        return;
    hexView_->setData(snapshot_ ? snapshot_() : QByteArray());
    hexView_->setCursorOffset(0);
}

} // namespace novrix::shell
