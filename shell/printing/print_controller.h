#pragma once
// The File menu's printing: "Page Setup", "Printer Setup", "Print Preview" and "Print" for the source
// editor. Holds the print set-up (start-up values at every program start), the printer, and the page
// set-up and preview dialogs, created once and reused. Before every print and preview the title becomes
// the editor's current file name with its path (empty for a new script).
#include "shell/printing/print_setup.h"

#include <QObject>
#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>

class QsciScintilla;
class QWidget;

namespace novrix::shell {

class PageSetupDialog;
class PrintPreviewDialog;

// The system's print dialog ("Print") or printer set-up dialog ("Printer Setup") on `printer`; true on
// OK. Replaceable so tests can answer it.
enum class PrinterDialogKind { Print, PrinterSetup };
using PrinterDialogRunner = std::function<bool(QPrinter& printer, PrinterDialogKind kind, QWidget* parent)>;
PrinterDialogRunner systemPrinterDialogRunner();

class PrintController : public QObject {
    Q_OBJECT
public:
    // Owned by `dialogParent` (when given), which also parents the dialogs.
    PrintController(QsciScintilla& editor, std::function<QString()> currentFileName, QWidget* dialogParent);
    ~PrintController() override;

    PrintSetup& setup() { return setup_; }
    const PrintSetup& setup() const { return setup_; }
    QPrinter& printer() { return printer_; }
    PageSetupDialog& pageSetupDialog() { return *pageSetupDialog_; }
    PrintPreviewDialog& previewDialog() { return *previewDialog_; }

    void setPrinterDialogRunner(PrinterDialogRunner runner) { printerDialogRunner_ = std::move(runner); }

    // Prints the editor's whole text into a PDF file at `pdfPath`, on the printer's paper, exactly as
    // print() prints it; false when the file could not be written.
    bool printToPdf(const QString& pdfPath);

    // The page count of the last printout or preview.
    int lastPageCount() const { return lastPageCount_; }

public slots:
    void pageSetup();
    void printerSetup();
    void printPreview();
    void print();

signals:
    // A printout could not be started on the printer (reported to the user as well).
    void printFailed(const QString& message);

private:
    // The title becomes the editor's current file name with its path.
    void takeTitle();
    bool render(QPrinter& printer, bool previewing);
    void printOnPrinter();
    void reportFailure();

    QsciScintilla& editor_;
    std::function<QString()> currentFileName_;
    QWidget* dialogParent_;
    PrintSetup setup_ = PrintSetup::startup();
    QPrinter printer_{QPrinter::HighResolution};
    std::unique_ptr<PageSetupDialog> pageSetupDialog_;
    std::unique_ptr<PrintPreviewDialog> previewDialog_;
    PrinterDialogRunner printerDialogRunner_ = systemPrinterDialogRunner();
    int lastPageCount_ = 0;
};

} // namespace novrix::shell
