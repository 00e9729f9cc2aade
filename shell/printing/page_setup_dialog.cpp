#include "shell/printing/page_setup_dialog.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QVBoxLayout>

namespace novrix::shell {

PageSetupDialog::PageSetupDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Page Setup"));
    setObjectName(QStringLiteral("TPageSetupDlg"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setSizeGripEnabled(false);

    tabs_.addTab(&margins_, QStringLiteral("Margins && Options"));
    tabs_.addTab(&headerFooter_, QStringLiteral("Header && Footer"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&tabs_);
    layout->addWidget(&buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(&buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(&buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PageSetupDialog::load(const PrintSetup& setup) {
    headerFooter_.load(setup);
    margins_.load(setup);
    tabs_.setCurrentIndex(0);
}

bool PageSetupDialog::store(PrintSetup& setup) {
    QLineEdit* refused = margins_.store(setup);
    headerFooter_.store(setup);
    if (refused == nullptr)
        return true;

    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), QStringLiteral("Invalid number!"),
                    QMessageBox::Ok, this);
    box.exec();
    tabs_.setCurrentWidget(&margins_);
    refused->setFocus();
    return false;
}

void PageSetupDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace novrix::shell
