// Taking texts apart and cleaning them: fields of an answer, the numeric core of an answer, decimal
// separators, removal of a sub-text.
#include "library/convert.h"

#include <algorithm>

namespace novrix::library::convert {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string replaceChar(std::string_view text, char from, char to) {
    std::string out(text);
    std::replace(out.begin(), out.end(), from, to);
    return out;
}

} // namespace

std::string nthArgument(int32_t n, std::string_view text, char delimiter) {
    std::string field;
    int64_t finished = 0;
    for (char c : text) {
        if (c != delimiter) {
            field += c;
            continue;
        }
        if (++finished == n)
            return field;
        field.clear();
    }
    return n == finished + 1 ? field : std::string();
}

std::string stripToNumber(std::string_view text) {
    const auto last = std::find_if(text.rbegin(), text.rend(), isDigit);
    text.remove_suffix(static_cast<size_t>(last - text.rbegin()));
    const auto first =
        std::find_if(text.begin(), text.end(), [](char c) { return isDigit(c) || c == '+' || c == '-'; });
    text.remove_prefix(static_cast<size_t>(first - text.begin()));
    return replaceChar(text, ',', '.');
}

std::string toDecimalComma(std::string_view text) {
    return replaceChar(text, '.', ',');
}

std::string toDecimalPoint(std::string_view text) {
    return replaceChar(text, ',', '.');
}

// Deleting the first occurrence again and again is quadratic on long texts. One pass gives the same
// result: the kept prefix never holds an occurrence, so the first occurrence of the remaining text is the
// first place where the kept prefix comes to end with `what`; drop it there and read on.
std::string removeAll(std::string_view what, std::string_view text) {
    if (what.empty())
        return std::string(text);
    std::string kept;
    kept.reserve(text.size());
    for (char c : text) {
        kept += c;
        if (kept.size() >= what.size() && std::string_view(kept).substr(kept.size() - what.size()) == what)
            kept.resize(kept.size() - what.size());
    }
    return kept;
}

} // namespace novrix::library::convert
