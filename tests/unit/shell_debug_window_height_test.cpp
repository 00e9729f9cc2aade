// The debug window's height rule: at least 110 pixels, raised to the next 110 + 13k.
#include "shell/core/debug_window_height.h"

#include <climits>
#include <gtest/gtest.h>
#include <utility>

namespace novrix::shell {
namespace {

TEST(ShellDebugWindowHeight, RaisesToWholeLines) {
    const std::pair<int, int> cases[] = {
        {100, 110},
        {110, 110},
        {111, 123},
        {120, 123},
        {123, 123},
        {124, 136},
        {0, 110},
        {-1, 110},
        {-500, 110},
        {INT_MIN, 110},
        {306, 318},
        {318, 318},
        {INT_MAX, INT_MAX - (INT_MAX - 110) % 13}, // the largest whole-line height an int holds
    };
    for (const auto& [requested, expected] : cases)
        EXPECT_EQ(debugWindowHeight(requested), expected) << "requested " << requested;
}

TEST(ShellDebugWindowHeight, EveryResultIsAFixedPointAndNeverBelowTheRequest) {
    for (int requested = 110; requested < 2000; ++requested) {
        const int height = debugWindowHeight(requested);
        EXPECT_GE(height, requested);
        EXPECT_LT(height - requested, kDebugWindowLineStep);
        EXPECT_EQ((height - kDebugWindowMinimumHeight) % kDebugWindowLineStep, 0);
        EXPECT_EQ(debugWindowHeight(height), height);
    }
}

} // namespace
} // namespace novrix::shell
