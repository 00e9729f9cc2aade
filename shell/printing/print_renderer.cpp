#include "shell/printing/print_renderer.h"

#include "shell/printing/body_layout.h"
#include "shell/printing/header_footer_band.h"
#include "shell/printing/page_frame.h"
#include "shell/printing/print_qt_conversions.h"

#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace novrix::shell {

PrintRenderer::PrintRenderer(const PrintSetup& setup, const StyledDocument& document, QDateTime printedAt)
    : setup_(setup), document_(document), printedAt_(std::move(printedAt)) {}

std::optional<int> PrintRenderer::print(QPrinter& printer, Copies copyRule) const {
    // Margins, header and footer are placed from the paper's edges, not from the printable area.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return std::nullopt;

    const int resolution = printer.resolution();
    const QRect paperRect = printer.pageLayout().fullRectPixels(resolution);
    const PaperSize paper{static_cast<double>(paperRect.width()), static_cast<double>(paperRect.height()),
                          resolution / 25.4};

    const HeaderFooterBand header(setup_.header, HeaderFooterBand::Edge::Top, setup_.margins, &printer,
                                  paper.dotsPerMillimetre);
    const HeaderFooterBand footer(setup_.footer, HeaderFooterBand::Edge::Bottom, setup_.margins, &printer,
                                  paper.dotsPerMillimetre);
    const PageFrame firstFrame = pageFrame(setup_.margins, paper, 1, header.height(), footer.height());
    const BodyLayout body(document_, setup_, &printer, firstFrame.body.width(), firstFrame.body.height());
    const int pageCount = body.pageCount();

    // Where the printer cannot make the copies itself, they are printed one after the other.
    const int copies = copyRule == Copies::AsPrinterAsks && !printer.supportsMultipleCopies()
                           ? std::max(1, printer.copyCount())
                           : 1;

    const QLocale locale;
    MacroValues macros;
    macros.pageCount = pageCount;
    macros.title = setup_.title;
    macros.date = locale.toString(printedAt_.date(), QLocale::ShortFormat).toStdString();
    macros.time = locale.toString(printedAt_.time(), QLocale::ShortFormat).toStdString();

    bool firstSheet = true;
    for (int copy = 0; copy < copies; ++copy) {
        for (int page = 1; page <= pageCount; ++page) {
            if (!firstSheet)
                printer.newPage();
            firstSheet = false;
            const PageFrame frame = pageFrame(setup_.margins, paper, page, header.height(), footer.height());
            if (setup_.background != kWhite)
                painter.fillRect(paperRect.translated(-paperRect.topLeft()), toQColor(setup_.background));
            macros.pageNumber = page;
            header.paint(painter, frame.header, page, macros);
            body.paintPage(painter, page, frame.body);
            footer.paint(painter, frame.footer, page, macros);
        }
    }
    painter.end();
    return pageCount;
}

} // namespace novrix::shell
