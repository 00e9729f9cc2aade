#pragma once
// Where the text body, the header and the footer lie on a page, in device units from the paper's top
// left corner. The gutter widens the binding side: the left on odd pages, and with mirrored margins the
// right on even pages, where left and right margins swap. Header and footer span the body's width; the
// body starts below the header and ends above the footer even where the margins would let them overlap.
#include "shell/printing/print_setup.h"

namespace novrix::shell {

struct Box {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
};

struct PageFrame {
    Box body;
    Box header; // empty height when the header has no items
    Box footer;
};

struct PaperSize {
    double width = 0;
    double height = 0;
    double dotsPerMillimetre = 1;
};

PageFrame pageFrame(const PageMargins& margins, const PaperSize& paper, int pageNumber, double headerHeight,
                    double footerHeight);

} // namespace novrix::shell
