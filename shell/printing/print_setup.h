#pragma once
// What a printout of the source editor looks like: margins, the options, the text font, the header and
// the footer with their items, and the title the "$TITLE$" macro prints. Plain data without Qt, so the
// page set-up dialog, the renderer and the tests share one model. Nothing of it is saved: the program
// starts every time from PrintSetup::startup().
#include <string>
#include <vector>

namespace novrix::shell {

// The unit the page set-up dialog shows the margins in; the margins themselves are kept in millimetres.
enum class MarginUnits { Millimetres, Centimetres, Inches, ThousandthsOfInches };

// Millimetres per unit, and the conversions both ways.
double millimetresPerUnit(MarginUnits units);
double toUnits(double millimetres, MarginUnits units);
double toMillimetres(double value, MarginUnits units);

struct RgbColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const RgbColor&) const = default;
};

inline constexpr RgbColor kBlack{0, 0, 0};
inline constexpr RgbColor kWhite{255, 255, 255};
inline constexpr RgbColor kSilver{192, 192, 192};

struct FontSpec {
    std::string family;
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    RgbColor color = kBlack;
    bool operator==(const FontSpec&) const = default;
};

// A size given in screen pixels (96 per inch) as points.
double pointsFromPixels(int pixels);

// Margins and distances in millimetres. The header's top edge lies `header` below the paper's top, the
// footer's bottom edge `footer` above the paper's bottom; the indents move the header and footer texts
// in from the left and right margins; the internal margin lies between their frame and their text.
struct PageMargins {
    MarginUnits units = MarginUnits::Millimetres;
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
    double gutter = 0;
    double header = 0;
    double footer = 0;
    double leftHFTextIndent = 0;
    double rightHFTextIndent = 0;
    double hfInternalMargin = 0;
    bool mirrorMargins = false;
    bool operator==(const PageMargins&) const = default;
};

enum class HFAlignment { Left, Center, Right };

// One text of a header or footer; lineNumber 1 is the first line of the header or footer.
struct HeaderFooterItem {
    std::string text;
    FontSpec font;
    HFAlignment alignment = HFAlignment::Left;
    int lineNumber = 1;
    bool operator==(const HeaderFooterItem&) const = default;
};

// The frame of a header or footer: a line between it and the text body (under the header, above the
// footer), a box around it, and a shadow behind the box.
struct FrameSpec {
    bool line = false;
    bool box = false;
    bool shadow = false;
    RgbColor lineColor = kBlack;
    RgbColor shadowColor = kSilver;
    bool operator==(const FrameSpec&) const = default;
};

struct HeaderFooter {
    std::vector<HeaderFooterItem> items;
    FontSpec defaultFont;
    FrameSpec frame;
    // On even pages left and right aligned items swap sides.
    bool mirrorPosition = false;

    void add(std::string text, FontSpec font, HFAlignment alignment, int lineNumber);
    // The highest line number of the items, 0 without items.
    int lineCount() const;
    // The items in line order, keeping the order of items on the same line.
    std::vector<HeaderFooterItem> itemsByLine() const;
    bool operator==(const HeaderFooter&) const = default;
};

struct PrintOptions {
    bool lineNumbers = false;
    bool lineNumbersInMargin = false;
    bool syntaxPrint = true;
    bool useColors = true;
    bool wrapLines = true;
    bool operator==(const PrintOptions&) const = default;
};

struct PrintSetup {
    int copies = 1;
    PageMargins margins;
    PrintOptions options;
    FontSpec textFont;
    int tabWidth = 8;
    RgbColor background = kWhite;
    HeaderFooter header;
    HeaderFooter footer;
    // The current file name (with path) of the editor, set before every print and preview.
    std::string title;

    // The set-up every program start begins with, header and footer items included.
    static PrintSetup startup();
    bool operator==(const PrintSetup&) const = default;
};

} // namespace novrix::shell
