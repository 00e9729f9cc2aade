#pragma once
// Prints a styled document with a print set-up onto a QPrinter (a printer, a PDF file or the preview):
// lays the body out for the printer's paper, then paints each page's header, body and footer with the
// page number, the page count, the title and the date and time of the printout.
#include "shell/printing/print_setup.h"
#include "shell/printing/styled_document.h"

#include <QDateTime>
#include <optional>

class QPrinter;

namespace novrix::shell {

// The whole text is printed: as many times as the printer's copy count asks, or once (the preview).
enum class Copies { AsPrinterAsks, One };

class PrintRenderer {
public:
    PrintRenderer(const PrintSetup& setup, const StyledDocument& document, QDateTime printedAt);

    // Paints the printout; the page count of the document, or nothing when the printer could not be
    // opened for painting.
    std::optional<int> print(QPrinter& printer, Copies copyRule) const;

private:
    const PrintSetup& setup_;
    const StyledDocument& document_;
    QDateTime printedAt_;
};

} // namespace novrix::shell
