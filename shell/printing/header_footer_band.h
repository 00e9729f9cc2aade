#pragma once
// Measures and paints a header or a footer on a page: its items line by line (each line as high as its
// tallest font, items of one line sharing the baseline), macros expanded, and its frame.
#include "shell/printing/page_frame.h"
#include "shell/printing/print_macros.h"
#include "shell/printing/print_setup.h"

#include <QFont>
#include <vector>

class QPainter;
class QPaintDevice;

namespace novrix::shell {

class HeaderFooterBand {
public:
    enum class Edge { Top, Bottom }; // header or footer: where the "line" of the frame goes

    // Measures on `device`; dotsPerMillimetre converts the indents and the internal margin.
    HeaderFooterBand(const HeaderFooter& band, Edge edge, const PageMargins& margins,
                     const QPaintDevice* device, double dotsPerMillimetre);

    // The band's height including the internal margin above and below; 0 without items.
    double height() const { return height_; }

    void paint(QPainter& painter, const Box& box, int pageNumber, const MacroValues& macros) const;

private:
    struct Line {
        double ascent = 0;
        double height = 0;
    };

    void paintFrame(QPainter& painter, const Box& box) const;

    const HeaderFooter& band_;
    Edge edge_;
    const QPaintDevice* device_;
    double dotsPerMillimetre_;
    double leftIndent_;
    double rightIndent_;
    double internalMargin_;
    std::vector<Line> lines_;
    double height_ = 0;
};

} // namespace novrix::shell
