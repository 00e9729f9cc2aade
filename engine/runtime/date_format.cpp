#include "engine/runtime/date_format.h"

#include "engine/runtime/date_time.h"

#include <string>

namespace novrix::rt {
namespace {

bool startsWithNoCase(std::string_view s, size_t pos, std::string_view word) {
    if (s.size() - pos < word.size())
        return false;
    for (size_t k = 0; k < word.size(); ++k) {
        char c = s[pos + k];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
        if (c != word[k])
            return false;
    }
    return true;
}

std::string number(int value, int digits) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < digits)
        s.insert(0, static_cast<size_t>(digits) - s.size(), '0');
    return s;
}

// Delphi's DateTimeToString, one AppendFormat per nesting level.
class DateTimeWriter {
public:
    DateTimeWriter(double dt, const FormatSettings& fs) : dt_(dt), fs_(fs) {}

    void append(std::string_view fmt) {
        if (level_ >= 2)
            return;
        ++level_;
        Parts parts;
        char lastToken = ' ';
        size_t i = 0;
        // PChar semantics: the format ends at a NUL.
        fmt = fmt.substr(0, fmt.find('\0'));
        while (i < fmt.size()) {
            const char starter = fmt[i++];
            char token = starter;
            if (token >= 'a' && token <= 'z')
                token = static_cast<char>(token - 32);
            if (token >= 'A' && token <= 'Z') {
                if (token == 'M' && lastToken == 'H')
                    token = 'N';
                lastToken = token;
            }
            // Count of the repeated letter, the first one included (Delphi's GetCount).
            auto count = [&] {
                const size_t from = i;
                while (i < fmt.size() && fmt[i] == starter)
                    ++i;
                return static_cast<int>(i - from) + 1;
            };
            switch (token) {
            case 'Y': {
                const int n = count();
                date(parts);
                out_ += n <= 2 ? number(parts.year % 100, 2) : number(parts.year, 4);
                break;
            }
            case 'G': // era name; the Gregorian calendar has none
                count();
                break;
            case 'E': {
                const int n = count();
                date(parts);
                std::string s = std::to_string(parts.year);
                if (static_cast<int>(s.size()) < n)
                    s.insert(0, static_cast<size_t>(n) - s.size(), '0');
                if (static_cast<int>(s.size()) > n)
                    s.erase(0, s.size() - static_cast<size_t>(n));
                out_ += s;
                break;
            }
            case 'M': {
                const int n = count();
                date(parts);
                if (n <= 2)
                    out_ += number(parts.month, n);
                else
                    out_ += (n == 3 ? fs_.shortMonthNames : fs_.longMonthNames)[monthIndex(parts)];
                break;
            }
            case 'D': {
                const int n = count();
                if (n <= 2) {
                    date(parts);
                    out_ += number(parts.day, n);
                } else if (n == 3) {
                    out_ += fs_.shortDayNames[dayIndex()];
                } else if (n == 4) {
                    out_ += fs_.longDayNames[dayIndex()];
                } else {
                    append(n == 5 ? fs_.shortDateFormat : fs_.longDateFormat);
                }
                break;
            }
            case 'H': {
                int n = count();
                time(parts);
                // 12-hour when the next am/pm marker outside quotes comes before another hour.
                bool betweenQuotes = false;
                for (size_t p = i; p < fmt.size(); ++p) {
                    const char c = fmt[p];
                    if ((c == 'A' || c == 'a') && !betweenQuotes) {
                        if (startsWithNoCase(fmt, p, "AM/PM") || startsWithNoCase(fmt, p, "A/P") ||
                            startsWithNoCase(fmt, p, "AMPM"))
                            parts.twelveHour = true;
                        break;
                    }
                    if (c == 'H' || c == 'h')
                        break;
                    if (c == '\'' || c == '"')
                        betweenQuotes = !betweenQuotes;
                }
                int h = parts.hour;
                if (parts.twelveHour)
                    h = h == 0 ? 12 : (h > 12 ? h - 12 : h);
                out_ += number(h, n > 2 ? 2 : n);
                break;
            }
            case 'N': {
                const int n = count();
                time(parts);
                out_ += number(parts.minute, n > 2 ? 2 : n);
                break;
            }
            case 'S': {
                const int n = count();
                time(parts);
                out_ += number(parts.second, n > 2 ? 2 : n);
                break;
            }
            case 'T':
                append(count() == 1 ? fs_.shortTimeFormat : fs_.longTimeFormat);
                break;
            case 'Z': {
                const int n = count();
                time(parts);
                out_ += number(parts.msec, n > 3 ? 3 : n);
                break;
            }
            case 'A':
                ampm(fmt, i, parts);
                break;
            case 'C':
                count();
                append(fs_.shortDateFormat);
                time(parts);
                if (parts.hour != 0 || parts.minute != 0 || parts.second != 0) {
                    out_ += ' ';
                    append(fs_.longTimeFormat);
                }
                break;
            case '/':
                if (fs_.dateSeparator)
                    out_ += fs_.dateSeparator;
                break;
            case ':':
                if (fs_.timeSeparator)
                    out_ += fs_.timeSeparator;
                break;
            case '\'':
            case '"': {
                const size_t end = fmt.find(starter, i);
                out_ += fmt.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
                i = end == std::string_view::npos ? fmt.size() : end + 1;
                break;
            }
            default:
                out_ += starter;
                break;
            }
        }
        --level_;
    }

    std::string take() { return std::move(out_); }

private:
    struct Parts {
        bool dateDone = false, timeDone = false, twelveHour = false;
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
    };

    void date(Parts& p) const {
        if (!p.dateDone)
            decodeDate(dt_, p.year, p.month, p.day);
        p.dateDone = true;
    }
    void time(Parts& p) const {
        if (!p.timeDone)
            decodeTime(dt_, p.hour, p.minute, p.second, p.msec);
        p.timeDone = true;
    }
    // Dates before year 1 decode as month 0; Delphi then reads outside its name table, we take the first.
    static size_t monthIndex(const Parts& p) { return p.month >= 1 && p.month <= 12 ? p.month - 1 : 0; }
    size_t dayIndex() const {
        const int d = dayOfWeek(dt_);
        return d >= 1 && d <= 7 ? static_cast<size_t>(d - 1) : 0;
    }

    // Called with `i` just past an 'a' or 'A'.
    void ampm(std::string_view fmt, size_t& i, Parts& parts) {
        time(parts);
        const size_t p = i - 1;
        if (startsWithNoCase(fmt, p, "AM/PM")) {
            out_ += fmt.substr(parts.hour >= 12 ? p + 3 : p, 2); // as written: "am" or "PM"
            i += 4;
            parts.twelveHour = true;
        } else if (startsWithNoCase(fmt, p, "A/P")) {
            out_ += fmt.substr(parts.hour >= 12 ? p + 2 : p, 1);
            i += 2;
            parts.twelveHour = true;
        } else if (startsWithNoCase(fmt, p, "AMPM")) {
            out_ += parts.hour < 12 ? fs_.timeAMString : fs_.timePMString;
            i += 3;
            parts.twelveHour = true;
        } else if (startsWithNoCase(fmt, p, "AAAA")) {
            out_ += fs_.longDayNames[dayIndex()];
            i += 3;
        } else if (startsWithNoCase(fmt, p, "AAA")) {
            out_ += fs_.shortDayNames[dayIndex()];
            i += 2;
        } else {
            out_ += fmt[p];
        }
    }

    double dt_;
    const FormatSettings& fs_;
    std::string out_;
    int level_ = 0;
};

} // namespace

std::string formatDateTime(std::string_view fmt, double dt, const FormatSettings& fs) {
    DateTimeWriter w(dt, fs);
    w.append(fmt.empty() ? std::string_view("C") : fmt);
    return w.take();
}

std::string dateToStr(double dt, const FormatSettings& fs) {
    return formatDateTime(fs.shortDateFormat, dt, fs);
}

std::string timeToStr(double dt, const FormatSettings& fs) {
    return formatDateTime(fs.longTimeFormat, dt, fs);
}

std::string dateTimeToStr(double dt, const FormatSettings& fs) {
    return formatDateTime("", dt, fs);
}

} // namespace novrix::rt
