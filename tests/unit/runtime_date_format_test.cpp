// FormatDateTime and friends with the invariant settings. Results come from Free Pascal (fpc -Mdelphi)
// where it agrees with Delphi; rows marked "Delphi" follow Delphi 7's DateTimeToString.
#include "engine/runtime/date_format.h"
#include "engine/runtime/date_time.h"

#include <gtest/gtest.h>
#include <string>

namespace novrix::rt {
namespace {

const FormatSettings kInvariant = FormatSettings::invariant();
const double kAfternoon = encodeDate(2024, 3, 5) + encodeTime(14, 7, 39, 45); // a Tuesday
const double kMidnight = encodeDate(2024, 3, 5);
const double kMorning = encodeDate(1899, 12, 30) + encodeTime(0, 5, 6, 7);

TEST(RuntimeFormatDateTime, Specifiers) {
    const struct {
        const char* format;
        double dt;
        const char* expected;
    } cases[] = {
        {"yyyy-mm-dd hh:nn:ss.zzz", kAfternoon, "2024-03-05 14:07:39.045"},
        {"d/m/yy", kAfternoon, "5-3-24"}, // '/' is the date separator
        {"dddd dd mmmm yyyy", kAfternoon, "Tuesday 05 March 2024"},
        {"ddd mmm", kMorning, "Sat Dec"},
        {"h:n:s", kMorning, "0:5:6"},
        {"hh:mm", kAfternoon, "14:07"}, // m right after h means minutes
        {"m/d h:m", kAfternoon, "3-5 14:7"},
        {"hh:mm am/pm", kAfternoon, "02:07 pm"},
        {"h AM/PM", kAfternoon, "2 PM"},
        {"h a/p", kMorning, "12 a"},
        {"h A/P", kAfternoon, "2 P"},
        {"hh ampm", kMorning, "12 AM"},
        {"c", kAfternoon, "2024-03-05 14:07:39"},
        {"c", kMidnight, "2024-03-05"}, // no time at midnight
        {"", kAfternoon, "2024-03-05 14:07:39"},
        {"ddddd", kAfternoon, "2024-03-05"},
        {"dddddd", kAfternoon, "Tuesday, 5 March 2024"},
        {"t", kAfternoon, "14:07"},
        {"tt", kAfternoon, "14:07:39"},
        {"yyy y yyyyy", kMorning, "1899 99 1899"},
        {"mmmmm", kAfternoon, "March"},
        {"hhh nnn sss", kAfternoon, "14 07 39"},
        {"hh\"h\"nn", kAfternoon, "14h07"},
        {"[hh]", kAfternoon, "[14]"},
        {"d-mmm-yyyy", kMorning, "30-Dec-1899"},
        // Delphi where Free Pascal differs:
        {"z zz zzz zzzz", kAfternoon, "45 45 045 045"}, // zz is two digits at least (Free Pascal: three)
        {"\"quoted\" 'text' x", kAfternoon, "quoted text x"}, // other letters as written (FPC: "X")
        {"aaa aaaa", kAfternoon, "Tue Tuesday"},
        {"e ee eeee", kAfternoon, "4 24 2024"}, // the year in that many digits; Gregorian, so no era
        {"g", kAfternoon, ""},
        {"hh:nn 'am/pm'", kAfternoon, "14:07 am/pm"}, // quoted markers do not switch to 12 hours
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatDateTime(c.format, c.dt, kInvariant), c.expected) << c.format;
}

TEST(RuntimeFormatDateTime, NestedFormatsExpandOneLevel) {
    FormatSettings fs = kInvariant;
    fs.shortDateFormat = "dd/mm/yyyy c"; // refers to itself
    fs.longTimeFormat = "hh:nn:ss.zzz";
    // Inside the expansion of 'c' a further 'c' adds only its blank (Delphi's AppendLevel stops at 2).
    EXPECT_EQ(formatDateTime("c", kAfternoon, fs), "05-03-2024   14:07:39.045");
    EXPECT_EQ(dateToStr(kAfternoon, fs), "05-03-2024 05-03-2024   14:07:39.045");
}

TEST(RuntimeFormatDateTime, ToStrFunctionsUseTheSettings) {
    FormatSettings fs = kInvariant;
    fs.dateSeparator = '.';
    fs.timeSeparator = '-';
    fs.shortDateFormat = "dd/mm/yyyy";
    fs.longTimeFormat = "hh:nn:ss";
    fs.timePMString = "nachm.";
    EXPECT_EQ(dateToStr(kAfternoon, fs), "05.03.2024");
    EXPECT_EQ(timeToStr(kAfternoon, fs), "14-07-39");
    EXPECT_EQ(dateTimeToStr(kAfternoon, fs), "05.03.2024 14-07-39");
    EXPECT_EQ(dateTimeToStr(kMidnight, fs), "05.03.2024");
    EXPECT_EQ(formatDateTime("h ampm", kAfternoon, fs), "2 nachm.");
    fs.dateSeparator = '\0'; // a missing separator is left out
    EXPECT_EQ(dateToStr(kAfternoon, fs), "05032024");
}

} // namespace
} // namespace novrix::rt
