#pragma once
// The print preview's scale: the entries of its zoom menu and what a mouse click in the preview does to
// the scale. Scales are whole percentages.
#include <array>
#include <string_view>

namespace novrix::shell {

enum class PreviewViewMode { WholePage, PageWidth, Scale };

struct ZoomMenuEntry {
    std::string_view caption;
    PreviewViewMode mode;
    int percent; // for PreviewViewMode::Scale
};

inline constexpr std::array<ZoomMenuEntry, 7> kZoomMenu{{
    {"Whole page", PreviewViewMode::WholePage, 0},
    {"Page width", PreviewViewMode::PageWidth, 0},
    {"25%", PreviewViewMode::Scale, 25},
    {"50%", PreviewViewMode::Scale, 50},
    {"100%", PreviewViewMode::Scale, 100},
    {"200%", PreviewViewMode::Scale, 200},
    {"400%", PreviewViewMode::Scale, 400},
}};

inline constexpr int kMinimumClickScale = 25;
inline constexpr int kMaximumClickScale = 400;

enum class PreviewClick { LeftButton, OtherButton };

// The scale after a click: the left button gives 100% while the whole page is shown, else doubles the
// scale up to at most 400%; any other button halves it (integer division) down to at least 25%.
int scaleAfterClick(PreviewClick click, bool showingWholePage, int currentPercent);

} // namespace novrix::shell
