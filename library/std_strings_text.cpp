// StrUtils: searching, comparing, replacing and cutting strings.
#include "engine/runtime/script_error.h"
#include "engine/runtime/string_utils.h"
#include "library/std_strings.h"

#include <algorithm>
#include <climits>

namespace novrix::library::strutils {

namespace {

// The routines that go through PChar comparisons (AnsiPos, AnsiStrComp) see a string only up to its
// first #0.
std::string_view untilNul(std::string_view s) {
    size_t end = s.find('\0');
    return end == std::string_view::npos ? s : s.substr(0, end);
}

// AnsiPos(subText, text) > 0: an empty string on either side finds nothing.
bool containsUntilNul(std::string_view text, std::string_view subText) {
    text = untilNul(text);
    subText = untilNul(subText);
    if (text.empty() || subText.empty())
        return false;
    return text.find(subText) != std::string_view::npos;
}

// The part of `text` AnsiEndsStr/AnsiEndsText compare with `subText`, or nothing when they answer False
// without comparing (an empty sub-text, or one longer than the text).
std::optional<std::string_view> endingFor(std::string_view subText, std::string_view text) {
    if (subText.empty() || subText.size() > text.size())
        return std::nullopt;
    return untilNul(text.substr(text.size() - subText.size()));
}

} // namespace

std::string_view delphiCopy(std::string_view s, int64_t index, int64_t count) {
    const int64_t len = int64_t(s.size());
    int64_t from = index < 1 ? 0 : std::min(index - 1, len);
    int64_t n = count < 0 ? 0 : std::min(count, len - from);
    return s.substr(size_t(from), size_t(n));
}

bool ansiResemblesText(std::string_view text, std::string_view other) {
    return soundexProc(text, other);
}

bool ansiContainsText(std::string_view text, std::string_view subText) {
    return containsUntilNul(rt::upperCase(text), rt::upperCase(subText));
}

bool ansiStartsText(std::string_view subText, std::string_view text) {
    if (subText.size() > text.size())
        return false;
    return rt::sameText(text.substr(0, subText.size()), subText);
}

bool ansiEndsText(std::string_view subText, std::string_view text) {
    std::optional<std::string_view> ending = endingFor(subText, text);
    return ending && rt::sameText(untilNul(subText), *ending);
}

std::string ansiReplaceText(std::string_view text, std::string_view fromText, std::string_view toText) {
    return rt::stringReplace(text, fromText, toText, true, true);
}

int32_t ansiIndexText(std::string_view text, std::span<const std::string_view> values) {
    for (size_t i = 0; i < values.size(); ++i)
        if (rt::sameText(text, values[i]))
            return int32_t(i);
    return -1;
}

bool ansiMatchText(std::string_view text, std::span<const std::string_view> values) {
    return ansiIndexText(text, values) != -1;
}

bool ansiContainsStr(std::string_view text, std::string_view subText) {
    return containsUntilNul(text, subText);
}

bool ansiStartsStr(std::string_view subText, std::string_view text) {
    return subText == delphiCopy(text, 1, int64_t(subText.size()));
}

bool ansiEndsStr(std::string_view subText, std::string_view text) {
    std::optional<std::string_view> ending = endingFor(subText, text);
    return ending && untilNul(subText) == *ending;
}

std::string ansiReplaceStr(std::string_view text, std::string_view fromText, std::string_view toText) {
    return rt::stringReplace(text, fromText, toText, true, false);
}

int32_t ansiIndexStr(std::string_view text, std::span<const std::string_view> values) {
    for (size_t i = 0; i < values.size(); ++i)
        if (text == values[i])
            return int32_t(i);
    return -1;
}

bool ansiMatchStr(std::string_view text, std::span<const std::string_view> values) {
    return ansiIndexStr(text, values) != -1;
}

std::string dupeString(std::string_view text, int32_t count) {
    // Delphi sizes the result with the 32-bit product: a product that wraps to zero or below gives '',
    // one that wraps to a smaller positive size would overrun the buffer, which here is out of memory.
    const int64_t size = int64_t(text.size()) * count;
    const int32_t wrapped = int32_t(uint32_t(uint64_t(size)));
    if (wrapped <= 0)
        return {};
    if (size != wrapped)
        throw rt::ScriptError(rt::ExcClass::EOutOfMemory, "Out of memory");
    std::string result;
    result.reserve(size_t(size));
    for (int32_t k = 0; k < count; ++k)
        result.append(text);
    return result;
}

std::string reverseString(std::string_view text) {
    return std::string(text.rbegin(), text.rend());
}

std::string stuffString(std::string_view text, uint32_t start, uint32_t length, std::string_view subText) {
    // Cardinal sums and differences wrap, and Copy takes them as Integer.
    const int32_t headCount = int32_t(start - 1u);
    const int32_t tailIndex = int32_t(start + length);
    std::string result(delphiCopy(text, 1, headCount));
    result.append(subText);
    result.append(delphiCopy(text, tailIndex, INT32_MAX));
    return result;
}

std::string leftStr(std::string_view text, int32_t count) {
    return std::string(delphiCopy(text, 1, count));
}

std::string rightStr(std::string_view text, int32_t count) {
    const int32_t index = int32_t(uint32_t(text.size()) + 1u - uint32_t(count));
    return std::string(delphiCopy(text, index, count));
}

std::string midStr(std::string_view text, int32_t start, int32_t count) {
    return std::string(delphiCopy(text, start, count));
}

} // namespace novrix::library::strutils
