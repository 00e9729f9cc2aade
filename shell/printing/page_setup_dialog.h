#pragma once
// The "Page Setup" dialog: the tabs "Margins && Options" and "Header && Footer" over "OK" and "Cancel",
// of fixed size and centred on the screen. It is loaded from a print set-up before it is shown and
// writes its values back on OK.
#include "shell/printing/header_footer_page.h"
#include "shell/printing/margins_page.h"
#include "shell/printing/print_setup.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QTabWidget>

namespace novrix::shell {

class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit PageSetupDialog(QWidget* parent = nullptr);

    // Shows `setup`, on the first tab with the header's left field current.
    void load(const PrintSetup& setup);

    // Writes the dialog's values into `setup`. At the first margin field that is no number the error
    // box "Invalid number!" is shown, the focus goes to that field, and it and the later margins keep
    // their values; everything else is written in any case. false when a margin was refused.
    bool store(PrintSetup& setup);

    MarginsPage& marginsPage() { return margins_; }
    HeaderFooterPage& headerFooterPage() { return headerFooter_; }
    QTabWidget& tabs() { return tabs_; }
    QDialogButtonBox& buttons() { return buttons_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTabWidget tabs_;
    MarginsPage margins_;
    HeaderFooterPage headerFooter_;
    QDialogButtonBox buttons_{QDialogButtonBox::Ok | QDialogButtonBox::Cancel};
};

} // namespace novrix::shell
