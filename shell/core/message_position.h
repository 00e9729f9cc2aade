#pragma once
// Where a line of the message list points in the script: "[Error] Demo.488(3:5): Unknown identifier 'x'"
// points at row 3, column 5, and its quoted name is one character long. Lines without such a position
// ("Succesfully compiled", a run-time error line without parentheses in its text) point nowhere.
#include <optional>
#include <string_view>

namespace novrix::shell {

struct MessagePosition {
    int row = 0;    // 1-based, as written in the line
    int column = 0; // 1-based
    // The length of the first quoted text ('...') of the line, when it has one: the caret then selects
    // that many characters from the column.
    std::optional<int> quotedLength;

    friend bool operator==(const MessagePosition&, const MessagePosition&) = default;
};

// The row is the text between the first "(" and the first ")" up to its first ":"; the column is the line
// from just after its first ":" up to its first ")". Either not being a whole number means no position.
std::optional<MessagePosition> messagePosition(std::string_view line);

} // namespace novrix::shell
