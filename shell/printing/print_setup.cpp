#include "shell/printing/print_setup.h"

#include <algorithm>

namespace novrix::shell {

double millimetresPerUnit(MarginUnits units) {
    switch (units) {
    case MarginUnits::Millimetres:
        return 1.0;
    case MarginUnits::Centimetres:
        return 10.0;
    case MarginUnits::Inches:
        return 25.4;
    case MarginUnits::ThousandthsOfInches:
        return 0.0254;
    }
    return 1.0;
}

double toUnits(double millimetres, MarginUnits units) {
    return millimetres / millimetresPerUnit(units);
}

double toMillimetres(double value, MarginUnits units) {
    return value * millimetresPerUnit(units);
}

double pointsFromPixels(int pixels) {
    return pixels * 72.0 / 96.0;
}

void HeaderFooter::add(std::string text, FontSpec font, HFAlignment alignment, int lineNumber) {
    items.push_back({std::move(text), std::move(font), alignment, lineNumber});
}

int HeaderFooter::lineCount() const {
    int count = 0;
    for (const HeaderFooterItem& item : items)
        count = std::max(count, item.lineNumber);
    return count;
}

std::vector<HeaderFooterItem> HeaderFooter::itemsByLine() const {
    std::vector<HeaderFooterItem> sorted = items;
    std::stable_sort(sorted.begin(), sorted.end(), [](const HeaderFooterItem& a, const HeaderFooterItem& b) {
        return a.lineNumber < b.lineNumber;
    });
    return sorted;
}

namespace {

FontSpec fontAtPixels(std::string family, int pixels) {
    FontSpec font;
    font.family = std::move(family);
    font.pointSize = pointsFromPixels(pixels);
    font.color = kBlack;
    return font;
}

FontSpec withPointSize(FontSpec font, double points) {
    font.pointSize = points;
    return font;
}

HeaderFooter band(const FontSpec& defaultFont) {
    HeaderFooter hf;
    hf.defaultFont = defaultFont;
    hf.frame.line = true;
    hf.frame.lineColor = kBlack;
    hf.frame.shadowColor = kSilver;
    return hf;
}

} // namespace

PrintSetup PrintSetup::startup() {
    PrintSetup setup;
    setup.copies = 1;

    PageMargins& m = setup.margins;
    m.units = MarginUnits::Millimetres;
    m.left = 25;
    m.right = 15;
    m.top = 25;
    m.bottom = 25;
    m.gutter = 0;
    m.header = 15;
    m.footer = 15;
    m.leftHFTextIndent = 2;
    m.rightHFTextIndent = 2;
    m.hfInternalMargin = 0.5;
    m.mirrorMargins = false;

    setup.options = PrintOptions{};
    setup.textFont = fontAtPixels("MS Sans Serif", 14);
    setup.tabWidth = 8;
    setup.background = kWhite;

    const FontSpec bandFont = fontAtPixels("Arial", 14);
    setup.header = band(bandFont);
    setup.footer = band(bandFont);

    HeaderFooter& h = setup.header;
    h.add("This is the first line in the header", bandFont, HFAlignment::Left, 1);
    h.add("Page: $PAGENUM$ of $PAGECOUNT$", bandFont, HFAlignment::Right, 1);
    h.add("$TITLE$", bandFont, HFAlignment::Left, 2);
    h.add("Print Date: $DATE$. Time: $TIME$", withPointSize(bandFont, 6), HFAlignment::Right, 2);

    HeaderFooter& f = setup.footer;
    f.add("$PAGENUM$/$PAGECOUNT$", bandFont, HFAlignment::Right, 1);
    f.add("Printed by Sam Sample", withPointSize(bandFont, 6), HFAlignment::Left, 1);
    return setup;
}

} // namespace novrix::shell
