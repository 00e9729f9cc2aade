#include "shell/widgets/panel_header.h"

#include <QHBoxLayout>
#include <QLabel>

namespace novrix::shell {

PanelHeader::PanelHeader(const QString& caption, QWidget* parent) : QFrame(parent), label_(new QLabel(this)) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFixedHeight(kHeight);
    setAutoFillBackground(true);
    label_->setTextFormat(Qt::PlainText); // "&" shows as itself
    label_->setAlignment(Qt::AlignCenter);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_);
    setCaption(caption);
    setWhite(false);
}

QString PanelHeader::caption() const { return label_->text(); }

void PanelHeader::setCaption(const QString& caption) { label_->setText(caption); }

void PanelHeader::setWhite(bool white) {
    white_ = white;
    QPalette p = palette();
    p.setColor(QPalette::Window, white ? QColor(Qt::white) : p.color(QPalette::Button));
    setPalette(p);
    setFrameStyle(white ? QFrame::NoFrame : (QFrame::Panel | QFrame::Raised));
}

} // namespace novrix::shell
