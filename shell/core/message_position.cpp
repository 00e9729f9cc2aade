#include "shell/core/message_position.h"

#include <charconv>
#include <string>

namespace novrix::shell {
namespace {

// A whole decimal number, optionally signed, leading blanks allowed (as the classic string-to-integer
// conversion takes them); anything else fails.
std::optional<int> toInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace

std::optional<MessagePosition> messagePosition(std::string_view line) {
    size_t open = line.find('(');
    size_t close = line.find(')');
    if (open == std::string_view::npos || close == std::string_view::npos || open > close) return std::nullopt;
    std::string_view inside = line.substr(open + 1, close - open - 1);
    size_t insideColon = inside.find(':');
    if (insideColon == std::string_view::npos) return std::nullopt;
    std::optional<int> row = toInteger(inside.substr(0, insideColon));
    size_t colon = line.find(':');
    std::optional<int> column =
        colon < close ? toInteger(line.substr(colon + 1, close - colon - 1)) : std::nullopt;
    if (!row || !column) return std::nullopt;

    MessagePosition position{*row, *column, std::nullopt};
    size_t quote = line.find('\'');
    if (quote != std::string_view::npos) {
        size_t endQuote = line.find('\'', quote + 1);
        if (endQuote != std::string_view::npos) position.quotedLength = static_cast<int>(endQuote - quote - 1);
    }
    return position;
}

} // namespace novrix::shell
