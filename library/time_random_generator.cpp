// The program's random generator: a 32-bit linear congruential generator, reproducible from a seed.
#include "library/time_random.h"

#include <cmath>

namespace novrix::library::timing {

double randomDraw(uint32_t& seed, int32_t which) {
    seed = seed * 134775813u + 1u;
    if (which == 0)
        return std::ldexp(static_cast<double>(seed), -32);
    const uint64_t product = uint64_t{static_cast<uint32_t>(which)} * seed;
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(product >> 32)));
}

uint32_t randomizeSeed(std::chrono::system_clock::time_point when) {
    constexpr int64_t kMsPerDay = 86400000;
    const int64_t ms = std::chrono::floor<std::chrono::milliseconds>(when.time_since_epoch()).count();
    return static_cast<uint32_t>((ms % kMsPerDay + kMsPerDay) % kMsPerDay);
}

} // namespace novrix::library::timing
