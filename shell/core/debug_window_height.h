#pragma once
// The debug window's height rule: the console shows whole lines of 13 pixels above a fixed part of 110
// pixels, so a height asked for is raised to at least 110 and then to the next 110 + 13k.

namespace novrix::shell {

inline constexpr int kDebugWindowMinimumHeight = 110;
inline constexpr int kDebugWindowLineStep = 13;

// The height the debug window takes when `requested` is asked for; never lower than `requested`
// (except that anything below 110 becomes 110).
int debugWindowHeight(int requested);

} // namespace novrix::shell
