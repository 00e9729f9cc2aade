#include "engine/runtime/string_utils.h"

namespace novrix::rt {
namespace {

unsigned char upper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}
unsigned char lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

template <typename Map>
int compareBytes(std::string_view a, std::string_view b, Map map) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const int x = map(static_cast<unsigned char>(a[i]));
        const int y = map(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x - y;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

} // namespace

std::string upperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = static_cast<char>(upper(static_cast<unsigned char>(c)));
    return r;
}

std::string lowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = static_cast<char>(lower(static_cast<unsigned char>(c)));
    return r;
}

std::string trimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return std::string(s.substr(i));
}

std::string trimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && isBlank(s[n - 1]))
        --n;
    return std::string(s.substr(0, n));
}

std::string trim(std::string_view s) {
    return trimLeft(trimRight(s));
}

int compareStr(std::string_view a, std::string_view b) {
    return compareBytes(a, b, [](unsigned char c) { return c; });
}

int compareText(std::string_view a, std::string_view b) {
    return compareBytes(a, b, upper);
}

bool sameText(std::string_view a, std::string_view b) {
    return compareText(a, b) == 0;
}

std::string quotedStr(std::string_view s) {
    std::string r = "'";
    for (char c : s) {
        r += c;
        if (c == '\'')
            r += '\'';
    }
    r += '\'';
    return r;
}

std::string stringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          bool replaceAll, bool ignoreCase) {
    if (oldPattern.empty())
        return std::string(s);
    const std::string hay = ignoreCase ? upperCase(s) : std::string(s);
    const std::string needle = ignoreCase ? upperCase(oldPattern) : std::string(oldPattern);
    std::string result;
    size_t from = 0;
    for (;;) {
        const size_t at = hay.find(needle, from);
        if (at == std::string::npos)
            break;
        result.append(s.substr(from, at - from));
        result.append(newPattern);
        from = at + needle.size();
        if (!replaceAll)
            break;
    }
    result.append(s.substr(from));
    return result;
}

std::string boolToStr(bool b, bool useBoolStrs) {
    if (useBoolStrs)
        return b ? "True" : "False";
    return b ? "-1" : "0";
}

} // namespace novrix::rt
