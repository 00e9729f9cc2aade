// Round: banker's rounding as the FPU does it (values from Free Pascal, which agrees with Delphi).
#include "engine/runtime/rounding.h"
#include "engine/runtime/script_error.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace novrix::rt {
namespace {

TEST(RuntimeRound, HalvesGoToEven) {
    const struct {
        double value;
        int64_t expected;
    } cases[] = {{0.5, 0},
                 {1.5, 2},
                 {2.5, 2},
                 {-0.5, 0},
                 {-1.5, -2},
                 {-2.5, -2},
                 {3.49999, 3},
                 {2.5000000001, 3},
                 {0.0, 0},
                 {1e18, 1000000000000000000},
                 {-1e18, -1000000000000000000},
                 {9.2e18, 9200000000000000000}};
    for (const auto& c : cases)
        EXPECT_EQ(roundBankers(c.value), c.expected) << c.value;
}

TEST(RuntimeRound, OutOfRangeIsAnInvalidOperation) {
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          9.3e18,
                          -9.3e18,
                          9223372036854775808.0};
    for (double v : bad) {
        try {
            roundBankers(v);
            ADD_FAILURE() << v;
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.cls, ExcClass::EInvalidOp);
            EXPECT_STREQ(e.what(), "Invalid Floating Point Operation");
        }
    }
    EXPECT_EQ(roundBankers(-9223372036854775808.0), INT64_MIN);
}

} // namespace
} // namespace novrix::rt
