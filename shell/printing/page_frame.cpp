#include "shell/printing/page_frame.h"

#include <algorithm>
#include <utility>

namespace novrix::shell {

PageFrame pageFrame(const PageMargins& margins, const PaperSize& paper, int pageNumber, double headerHeight,
                    double footerHeight) {
    const double d = paper.dotsPerMillimetre;
    double left = margins.left + margins.gutter;
    double right = margins.right;
    if (margins.mirrorMargins && pageNumber % 2 == 0)
        std::swap(left, right);

    PageFrame frame;
    frame.header.left = frame.footer.left = frame.body.left = left * d;
    frame.header.right = frame.footer.right = frame.body.right = paper.width - right * d;

    frame.header.top = margins.header * d;
    frame.header.bottom = frame.header.top + headerHeight;
    frame.footer.bottom = paper.height - margins.footer * d;
    frame.footer.top = frame.footer.bottom - footerHeight;

    frame.body.top = margins.top * d;
    if (headerHeight > 0)
        frame.body.top = std::max(frame.body.top, frame.header.bottom);
    frame.body.bottom = paper.height - margins.bottom * d;
    if (footerHeight > 0)
        frame.body.bottom = std::min(frame.body.bottom, frame.footer.top);
    return frame;
}

} // namespace novrix::shell
