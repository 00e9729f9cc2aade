#include "shell/search/confirm_replace_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace novrix::shell {

ConfirmReplaceDialog::ConfirmReplaceDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), confirmation_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Confirm replace"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Image1"));
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(iconSize));
    icon->setAlignment(Qt::AlignTop);

    confirmation_->setObjectName(QStringLiteral("lblConfirmation"));
    confirmation_->setWordWrap(true);
    confirmation_->setTextFormat(Qt::PlainText); // the found text is shown as it is, never as markup

    auto* yes = new QPushButton(QStringLiteral("&Yes"), this);
    yes->setObjectName(QStringLiteral("btnReplace"));
    yes->setDefault(true);
    auto* no = new QPushButton(QStringLiteral("&No"), this);
    no->setObjectName(QStringLiteral("btnSkip"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto* yesToAll = new QPushButton(QStringLiteral("Yes to &all"), this);
    yesToAll->setObjectName(QStringLiteral("btnReplaceAll"));
    connect(yes, &QPushButton::clicked, this, [this] { done(YesResult); });
    connect(no, &QPushButton::clicked, this, [this] { done(NoResult); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(yesToAll, &QPushButton::clicked, this, [this] { done(YesToAllResult); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(yes);
    buttons->addWidget(no);
    buttons->addWidget(cancel);
    buttons->addWidget(yesToAll);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0);
    layout->addWidget(confirmation_, 0, 1);
    layout->addLayout(buttons, 1, 0, 1, 2);
    layout->setColumnStretch(1, 1);

    // 328 by 98 pixels, or what the buttons need where the fonts are larger.
    width_ = std::max(kWidth, sizeHint().width());
    setFixedSize(width_, kHeight);
}

void ConfirmReplaceDialog::prepare(const QString& foundText) {
    confirmation_->setText(QStringLiteral("Replace this occurence of \"%1\"?").arg(foundText));
    // A long found text wraps onto more lines; the dialog grows downwards to show them.
    setFixedSize(width_, std::max(kHeight, layout()->totalHeightForWidth(width_)));
}

QString ConfirmReplaceDialog::question() const {
    return confirmation_->text();
}

ReplaceAction ConfirmReplaceDialog::ask() {
    switch (exec()) {
    case YesResult:
        return ReplaceAction::Replace;
    case NoResult:
        return ReplaceAction::Skip;
    case YesToAllResult:
        return ReplaceAction::ReplaceAll;
    default:
        return ReplaceAction::Cancel;
    }
}

} // namespace novrix::shell
