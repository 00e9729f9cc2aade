#pragma once
// The locale-dependent texts of the run-time library: separators, date/time formats, month and day names,
// currency layout. Delphi keeps these in TFormatSettings; every routine that depends on them takes one.
#include <array>
#include <string>
#include <string_view>

namespace novrix::rt {

struct FormatSettings {
    // A separator of '\0' is left out of the output, as Delphi does.
    char decimalSeparator = '.';
    char thousandSeparator = ',';
    char dateSeparator = '-';
    char timeSeparator = ':';
    // Delphi date/time format strings; '/' and ':' in them stand for the two separators above.
    std::string shortDateFormat = "yyyy/mm/dd";
    std::string longDateFormat = "dddd, d mmmm yyyy";
    std::string shortTimeFormat = "hh:nn";
    std::string longTimeFormat = "hh:nn:ss";
    std::string timeAMString = "AM";
    std::string timePMString = "PM";
    // Index 0 is January / Sunday (Delphi's arrays start at 1).
    std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> longMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
    std::array<std::string, 7> shortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> longDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    // Currency as Delphi: CurrencyFormat 0 '$1', 1 '1$', 2 '$ 1', 3 '1 $'; NegCurrFormat 0..15 (see
    // format.h).
    std::string currencyString = "$";
    int currencyFormat = 0;
    int negCurrFormat = 1;
    int currencyDecimals = 2;

    // The invariant settings are the member defaults above: '.' and ',', ISO dates (2024-03-05),
    // 24-hour times, English names, '$1' / '-$1' with two decimals. Tests and the host's own
    // locale-independent conversions use them.
    static FormatSettings invariant() { return {}; }

    // Reads the calling thread's current locale (LC_NUMERIC, LC_TIME, LC_MONETARY), so the program calls
    // setlocale(LC_ALL, "") first. Formats are translated from the locale's strftime patterns.
    static FormatSettings fromLocale();

    // The same for a named locale ("de_DE.UTF-8"); false when the system does not have it.
    static bool fromLocaleName(std::string_view name, FormatSettings& out);
};

} // namespace novrix::rt
