// FormatSettings from the system locale. The test process runs in the C locale (it never calls
// setlocale); the comma locale is read by name and skipped where the system lacks it.
#include "engine/runtime/date_format.h"
#include "engine/runtime/date_time.h"
#include "engine/runtime/float_parse.h"
#include "engine/runtime/float_text.h"
#include "engine/runtime/format.h"
#include "engine/runtime/format_settings.h"
#include "engine/runtime/text_write.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace novrix::rt {
namespace {

const double kAfternoon = encodeDate(2024, 3, 5) + encodeTime(14, 7, 39, 45);

TEST(RuntimeLocale, InvariantSettings) {
    const FormatSettings fs = FormatSettings::invariant();
    EXPECT_EQ(fs.decimalSeparator, '.');
    EXPECT_EQ(fs.thousandSeparator, ',');
    EXPECT_EQ(dateTimeToStr(kAfternoon, fs), "2024-03-05 14:07:39");
    EXPECT_EQ(formatDateTime("dddddd", kAfternoon, fs), "Tuesday, 5 March 2024");
    EXPECT_EQ(format("%m", {FormatArg::real(-1234.5)}, fs), "-$1,234.50");
}

TEST(RuntimeLocale, TheCLocale) {
    const FormatSettings fs = FormatSettings::fromLocale();
    EXPECT_EQ(fs.decimalSeparator, '.');
    EXPECT_EQ(fs.thousandSeparator, ','); // the C locale has no grouping; Delphi's ',' stands in
    EXPECT_EQ(fs.shortDateFormat, "mm/dd/yy");
    EXPECT_EQ(fs.dateSeparator, '/');
    EXPECT_EQ(fs.longTimeFormat, "hh:nn:ss");
    EXPECT_EQ(fs.shortTimeFormat, "hh:nn");
    EXPECT_EQ(fs.longMonthNames[2], "March");
    EXPECT_EQ(fs.shortDayNames[0], "Sun");
    EXPECT_EQ(dateTimeToStr(kAfternoon, fs), "03/05/24 14:07:39");
    FormatSettings named;
    ASSERT_TRUE(FormatSettings::fromLocaleName("C", named));
    EXPECT_EQ(named.shortDateFormat, fs.shortDateFormat);
    EXPECT_FALSE(FormatSettings::fromLocaleName("xx_NOWHERE.UTF-8", named));
}

TEST(RuntimeLocale, GermanUsesCommaAndPoint) {
    FormatSettings de;
    if (!FormatSettings::fromLocaleName("de_DE.UTF-8", de))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (Debian: apt-get install locales-all)";
    EXPECT_EQ(de.decimalSeparator, ',');
    EXPECT_EQ(de.thousandSeparator, '.');
    EXPECT_EQ(de.dateSeparator, '.');
    EXPECT_EQ(dateToStr(kAfternoon, de), "05.03.2024");
    EXPECT_EQ(timeToStr(kAfternoon, de), "14:07:39");
    EXPECT_EQ(formatDateTime("dddd, d. mmmm", kAfternoon, de), "Dienstag, 5. M\xc3\xa4rz");
    EXPECT_EQ(floatToStr(-1234.5, de), "-1234,5");
    EXPECT_EQ(format("%n|%.1f|%m",
                     {FormatArg::real(1234567.891), FormatArg::real(2.25), FormatArg::real(-1234.5)}, de),
              "1.234.567,89|2,3|-1.234,50 \xe2\x82\xac");
    EXPECT_EQ(formatFloat("#,##0.00", 1234.5, de), "1.234,50");
    EXPECT_EQ(strToFloat("1,5", de), 1.5);
    EXPECT_THROW(strToFloat("1.5", de), std::exception);
}

// Sets the process-wide C locale for one test and puts the old one back.
class GlobalLocale {
public:
    explicit GlobalLocale(const char* name) : saved_(std::setlocale(LC_ALL, nullptr)) {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~GlobalLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    GlobalLocale(const GlobalLocale&) = delete;
    GlobalLocale& operator=(const GlobalLocale&) = delete;
    bool ok() const { return ok_; }

private:
    std::string saved_;
    bool ok_ = false;
};

TEST(RuntimeLocale, ConversionsDoNotDependOnTheCLibraryLocale) {
    // A host that calls setlocale(LC_ALL, "") with a comma locale must not change what the routines
    // with explicit settings do (printf and strtod would switch to a decimal comma).
    GlobalLocale german("de_DE.UTF-8");
    if (!german.ok())
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (Debian: apt-get install locales-all)";
    const FormatSettings fs = FormatSettings::invariant();
    EXPECT_EQ(writeReal(1.5), " 1.50000000000000E+0000");
    EXPECT_EQ(writeReal(-2.25, 0, 1), "-2.3");
    EXPECT_EQ(floatToStr(0.1, fs), "0.1");
    EXPECT_EQ(strToFloat("1.5e1", fs), 15.0);
    EXPECT_EQ(format("%.2f", {FormatArg::real(2.5)}, fs), "2.50");
    // fromLocale now reads the German settings.
    EXPECT_EQ(FormatSettings::fromLocale().decimalSeparator, ',');
}

} // namespace
} // namespace novrix::rt
