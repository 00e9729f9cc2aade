#include "shell/printing/print_controller.h"

#include "shell/printing/page_setup_dialog.h"
#include "shell/printing/print_preview_dialog.h"
#include "shell/printing/print_qt_conversions.h"
#include "shell/printing/print_renderer.h"
#include "shell/printing/styled_document.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <Qsci/qsciscintilla.h>

namespace novrix::shell {

namespace {

// A dialog owned by the controller but parented to the main window for its place on the screen; should
// the parent go first and take the dialog with it, the controller lets go of it.
template <typename Dialog>
void releaseWhenDestroyed(std::unique_ptr<Dialog>& dialog) {
    QObject::connect(dialog.get(), &QObject::destroyed, [&dialog] { static_cast<void>(dialog.release()); });
}

} // namespace

PrinterDialogRunner systemPrinterDialogRunner() {
    return [](QPrinter& printer, PrinterDialogKind kind, QWidget* parent) {
        QPrintDialog dialog(&printer, parent);
        if (kind == PrinterDialogKind::PrinterSetup) {
            // Choosing the printer and its paper; what to print is asked when printing.
            dialog.setWindowTitle(QStringLiteral("Printer Setup"));
            dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
        } else {
            // The whole text is printed: no page range to choose.
            dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                              QAbstractPrintDialog::PrintCollateCopies);
        }
        return dialog.exec() == QDialog::Accepted;
    };
}

PrintController::PrintController(QsciScintilla& editor, std::function<QString()> currentFileName,
                                 QWidget* dialogParent)
    : QObject(dialogParent), editor_(editor), currentFileName_(std::move(currentFileName)),
      dialogParent_(dialogParent) {
    printer_.setCopyCount(setup_.copies);
    printer_.setFullPage(true);

    pageSetupDialog_ = std::make_unique<PageSetupDialog>(dialogParent);
    previewDialog_ = std::make_unique<PrintPreviewDialog>(printer_, dialogParent);
    releaseWhenDestroyed(pageSetupDialog_);
    releaseWhenDestroyed(previewDialog_);

    connect(previewDialog_.get(), &PrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { render(*printer, true); });
    connect(previewDialog_.get(), &PrintPreviewDialog::printRequested, this,
            &PrintController::printOnPrinter);
}

PrintController::~PrintController() {
    // Disconnect before the dialogs go, so their destruction does not reach back into this object.
    if (pageSetupDialog_)
        pageSetupDialog_->disconnect();
    if (previewDialog_)
        previewDialog_->disconnect();
}

void PrintController::takeTitle() {
    setup_.title = toStdString(currentFileName_ ? currentFileName_() : QString());
}

void PrintController::pageSetup() {
    pageSetupDialog_->load(setup_);
    if (pageSetupDialog_->exec() == QDialog::Accepted)
        pageSetupDialog_->store(setup_);
}

void PrintController::printerSetup() {
    printerDialogRunner_(printer_, PrinterDialogKind::PrinterSetup, dialogParent_);
}

void PrintController::printPreview() {
    takeTitle();
    previewDialog_->setWindowState(previewDialog_->windowState() | Qt::WindowMaximized);
    previewDialog_->exec();
}

void PrintController::print() {
    printer_.setCopyCount(setup_.copies);
    printer_.setPrintRange(QPrinter::AllPages);
    if (!printerDialogRunner_(printer_, PrinterDialogKind::Print, dialogParent_))
        return;
    printOnPrinter();
}

void PrintController::printOnPrinter() {
    takeTitle();
    if (!render(printer_, false))
        reportFailure();
}

bool PrintController::printToPdf(const QString& pdfPath) {
    takeTitle();
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(pdfPath);
    pdf.setPageLayout(printer_.pageLayout());
    pdf.setCopyCount(setup_.copies);
    pdf.setFullPage(true);
    if (!render(pdf, false))
        return false;
    return QFileInfo(pdfPath).size() > 0;
}

bool PrintController::render(QPrinter& printer, bool previewing) {
    const StyledDocument document =
        styledDocumentOf(editor_, setup_.options.syntaxPrint ? StyleSource::SyntaxStyles : StyleSource::Plain,
                         setup_.tabWidth);
    const PrintRenderer renderer(setup_, document, QDateTime::currentDateTime());
    const std::optional<int> pages =
        renderer.print(printer, previewing ? Copies::One : Copies::AsPrinterAsks);
    if (!pages)
        return false;
    lastPageCount_ = *pages;
    return true;
}

void PrintController::reportFailure() {
    QString message;
    if (!printer_.outputFileName().isEmpty())
        message = QStringLiteral("The file \"%1\" could not be written.").arg(printer_.outputFileName());
    else if (printer_.printerName().isEmpty())
        message = QStringLiteral("No printer is set up.");
    else
        message = QStringLiteral("The printer \"%1\" could not be opened.").arg(printer_.printerName());
    emit printFailed(message);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Print"), message, QMessageBox::Ok, dialogParent_);
    box.exec();
}

} // namespace novrix::shell
