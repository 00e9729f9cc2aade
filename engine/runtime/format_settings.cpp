#include "engine/runtime/format_settings.h"

#include <cctype>
#include <langinfo.h>
#include <locale.h>
#include <memory>
#include <string>
#include <vector>

namespace novrix::rt {
namespace {

// One reader for both the thread's current locale and a named one.
class LangInfo {
public:
    explicit LangInfo(locale_t loc) : loc_(loc) {}
    std::string text(nl_item item) const {
        const char* s = raw(item);
        return s ? s : "";
    }
    // LC_MONETARY numbers come back as the first byte of a string (so 0 reads as ""); CHAR_MAX means unset.
    int number(nl_item item, int fallback) const {
        const char* s = raw(item);
        if (!s)
            return fallback;
        const int v = static_cast<signed char>(s[0]);
        return v < 0 || v > 20 ? fallback : v;
    }

private:
    const char* raw(nl_item item) const { return loc_ ? nl_langinfo_l(item, loc_) : nl_langinfo(item); }

    locale_t loc_;
};

// A locale separator as one byte: the no-break spaces some locales use become a plain space.
char separatorByte(const std::string& s, char fallback) {
    if (s.size() == 1)
        return s[0];
    if (s == "\xC2\xA0" || s == "\xE2\x80\xAF" || s == "\xE2\x80\x89")
        return ' ';
    return fallback;
}

bool isDelphiSpecial(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '\'' || c == '"' || c == '/' || c == ':';
}

// Translates a strftime pattern into Delphi's format language. When `slot` is '/' or ':', the first
// punctuation between fields becomes the separator (written as the slot, stored in `sep`).
class PatternTranslator {
public:
    PatternTranslator(const LangInfo& info, char slot, char& sep) : info_(info), slot_(slot), sep_(sep) {}

    std::string translate(std::string_view p, int depth = 0) {
        std::string out;
        for (size_t i = 0; i < p.size(); ++i) {
            const char c = p[i];
            if (c != '%' || i + 1 >= p.size()) {
                literal(out, c);
                continue;
            }
            char conv = p[++i];
            if ((conv == 'E' || conv == 'O') && i + 1 < p.size())
                conv = p[++i];
            conversion(out, conv, depth);
        }
        return out;
    }

private:
    void literal(std::string& out, char c) {
        const bool punct = std::ispunct(static_cast<unsigned char>(c)) && c != '\'' && c != '"';
        if (slot_ && punct && (!sepFound_ || c == sep_)) {
            sep_ = c;
            sepFound_ = true;
            out += slot_;
        } else if (isDelphiSpecial(c)) {
            out += '"';
            out += c;
            out += '"';
        } else {
            out += c;
        }
    }

    void conversion(std::string& out, char conv, int depth) {
        switch (conv) {
        case 'd':
            out += "dd";
            break;
        case 'e':
            out += "d";
            break;
        case 'm':
            out += "mm";
            break;
        case 'y':
            out += "yy";
            break;
        case 'Y':
            out += "yyyy";
            break;
        case 'b':
        case 'h':
            out += "mmm";
            break;
        case 'B':
            out += "mmmm";
            break;
        case 'a':
            out += "ddd";
            break;
        case 'A':
            out += "dddd";
            break;
        case 'H':
            out += "hh";
            break;
        case 'k':
            out += "h";
            break;
        case 'I':
            out += "hh";
            break; // 12-hour because the pattern also has %p
        case 'l':
            out += "h";
            break;
        case 'M':
            out += "nn";
            break;
        case 'S':
            out += "ss";
            break;
        case 'p':
        case 'P':
            out += "ampm";
            break;
        case 'n':
        case 't':
            out += ' ';
            break;
        case '%':
            out += '%';
            break;
        // Composite conversions expand to their definition (bounded, a locale cannot loop us).
        case 'D':
            nested(out, "%m/%d/%y", depth);
            break;
        case 'F':
            nested(out, "%Y-%m-%d", depth);
            break;
        case 'T':
            nested(out, "%H:%M:%S", depth);
            break;
        case 'R':
            nested(out, "%H:%M", depth);
            break;
        case 'r':
            nested(out, info_.text(T_FMT_AMPM), depth);
            break;
        case 'x':
            nested(out, info_.text(D_FMT), depth);
            break;
        case 'X':
            nested(out, info_.text(T_FMT), depth);
            break;
        default:
            break; // time zone, week numbers and the like have no Delphi counterpart
        }
    }

    void nested(std::string& out, std::string_view p, int depth) {
        if (depth < 3)
            out += translate(p, depth + 1);
    }

    const LangInfo& info_;
    char slot_;
    char& sep_;
    bool sepFound_ = false;
};

// Drops strftime's time fields from the locale's date-and-time pattern, with the punctuation that joins
// them ("%H:%M:%S") and the blanks they leave.
std::string dateOnlyPattern(std::string_view p) {
    struct Token {
        std::string text;
        bool time = false;
    };
    std::vector<Token> tokens;
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i] == '%' && i + 1 < p.size()) {
            const char conv = p[i + 1];
            tokens.push_back({std::string(p.substr(i, 2)),
                              std::string_view("HIklMSpPrRTXZzs").find(conv) != std::string_view::npos});
            ++i;
        } else {
            tokens.push_back({std::string(1, p[i])});
        }
    }
    std::string out;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].time)
            continue;
        const bool afterTime = i > 0 && tokens[i - 1].time;
        if (afterTime && tokens[i].text != " " && tokens[i].text[0] != '%') {
            tokens[i].time = true; // a separator inside the time part
            continue;
        }
        if (tokens[i].text == " " && (out.empty() || out.back() == ' '))
            continue;
        out += tokens[i].text;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == ','))
        out.pop_back();
    return out;
}

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (size_t pos = 0; (pos = s.find(from, pos)) != std::string::npos; pos += to.size())
        s.replace(pos, from.size(), to);
}

// Delphi's NegCurrFormat from POSIX's precedes / separated-by-space / sign-position triple.
int negativeCurrencyFormat(bool precedes, bool space, int signPos) {
    static constexpr int kTable[2][2][5] = {
        // [space][precedes][sign position 0..4]
        {{4, 5, 7, 6, 7}, {0, 1, 3, 1, 2}},
        {{15, 8, 10, 13, 10}, {14, 9, 11, 9, 12}},
    };
    if (signPos < 0 || signPos > 4)
        signPos = 1;
    return kTable[space ? 1 : 0][precedes ? 1 : 0][signPos];
}

FormatSettings readSettings(const LangInfo& info) {
    FormatSettings fs;
    fs.decimalSeparator = separatorByte(info.text(RADIXCHAR), '.');
    // A locale without grouping (the C locale) still gets Delphi's ',' so %n and FormatFloat(',0') group.
    fs.thousandSeparator = separatorByte(info.text(THOUSEP), ',');
    if (fs.thousandSeparator == fs.decimalSeparator)
        fs.thousandSeparator = fs.decimalSeparator == ',' ? '.' : ',';

    {
        PatternTranslator t(info, '/', fs.dateSeparator);
        const std::string shortDate = t.translate(info.text(D_FMT));
        if (!shortDate.empty())
            fs.shortDateFormat = shortDate;
    }
    {
        char unused = 0;
        PatternTranslator t(info, 0, unused);
        std::string longDate = t.translate(dateOnlyPattern(info.text(D_T_FMT)));
        // Long dates spell names out in full.
        replaceAll(longDate, "dddd", "ddd");
        replaceAll(longDate, "ddd", "dddd");
        replaceAll(longDate, "mmmm", "mmm");
        replaceAll(longDate, "mmm", "mmmm");
        if (!longDate.empty())
            fs.longDateFormat = longDate;
    }
    {
        PatternTranslator t(info, ':', fs.timeSeparator);
        const std::string longTime = t.translate(info.text(T_FMT));
        if (!longTime.empty()) {
            fs.longTimeFormat = longTime;
            fs.shortTimeFormat = longTime;
            const size_t secs = longTime.find(":ss");
            if (secs != std::string::npos)
                fs.shortTimeFormat.erase(secs, 3);
        }
    }
    fs.timeAMString = info.text(AM_STR);
    fs.timePMString = info.text(PM_STR);

    for (int i = 0; i < 12; ++i) {
        fs.shortMonthNames[i] = info.text(ABMON_1 + i);
        fs.longMonthNames[i] = info.text(MON_1 + i);
    }
    for (int i = 0; i < 7; ++i) {
        fs.shortDayNames[i] = info.text(ABDAY_1 + i);
        fs.longDayNames[i] = info.text(DAY_1 + i);
    }

    fs.currencyString = info.text(__CURRENCY_SYMBOL);
    const bool posPrecedes = info.number(__P_CS_PRECEDES, 1) != 0;
    const bool posSpace = info.number(__P_SEP_BY_SPACE, 0) != 0;
    fs.currencyFormat = (posPrecedes ? 0 : 1) + (posSpace ? 2 : 0);
    fs.negCurrFormat =
        negativeCurrencyFormat(info.number(__N_CS_PRECEDES, posPrecedes) != 0,
                               info.number(__N_SEP_BY_SPACE, posSpace) != 0, info.number(__N_SIGN_POSN, 1));
    fs.currencyDecimals = info.number(__FRAC_DIGITS, 2);
    return fs;
}

} // namespace

FormatSettings FormatSettings::fromLocale() {
    return readSettings(LangInfo(nullptr));
}

bool FormatSettings::fromLocaleName(std::string_view name, FormatSettings& out) {
    const std::string n(name);
    const std::unique_ptr<std::remove_pointer_t<locale_t>, decltype(&freelocale)> loc(
        newlocale(LC_ALL_MASK, n.c_str(), static_cast<locale_t>(0)), &freelocale);
    if (!loc)
        return false;
    out = readSettings(LangInfo(loc.get()));
    return true;
}

} // namespace novrix::rt
