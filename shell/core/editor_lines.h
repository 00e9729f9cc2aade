#pragma once
// How the editor shows the lines of a debug run: the colours of breakpoint and paused lines, and where it
// scrolls to show a paused line.
#include <optional>

namespace novrix::shell {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct LineColours {
    Rgb text;
    Rgb background;
    friend bool operator==(const LineColours&, const LineColours&) = default;
};

inline constexpr Rgb kRgbRed{255, 0, 0};
inline constexpr Rgb kRgbWhite{255, 255, 255};
inline constexpr Rgb kRgbBlue{0, 0, 255};

// A breakpoint line is white on red, the paused line white on blue, and the paused line on a breakpoint
// red on white; other lines keep the highlighter's colours (nothing).
constexpr std::optional<LineColours> specialLineColours(bool breakpoint, bool active) {
    if (breakpoint && active) return LineColours{kRgbRed, kRgbWhite};
    if (breakpoint) return LineColours{kRgbWhite, kRgbRed};
    if (active) return LineColours{kRgbWhite, kRgbBlue};
    return std::nullopt;
}

// The new top line (1-based) that brings paused row `row` into view, or nothing when it is already well
// inside the window: a row above topLine + 2 or below topLine + linesInWindow - 2 is centred.
constexpr std::optional<int> topLineToShow(int row, int topLine, int linesInWindow) {
    if (row < topLine + 2 || row > topLine + linesInWindow - 2) return row - linesInWindow / 2;
    return std::nullopt;
}

} // namespace novrix::shell
