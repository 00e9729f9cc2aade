#include "shell/windows/help_window.h"

#include "shell/widgets/fixed_font.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace novrix::shell {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), memo_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Help window"));
    resize(539, 241);
    memo_->setFont(fixedPitchFont(QStringLiteral("Courier New"), 14));
    memo_->setObjectName(QStringLiteral("HelpMemo"));
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memo_);
}

void HelpWindow::setListing(const QString& text) { memo_->setPlainText(text); }

QString HelpWindow::text() const { return memo_->toPlainText(); }

} // namespace novrix::shell
