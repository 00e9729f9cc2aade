#include "platform/process_spawn.h"

namespace novrix::platform {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// Inside double quotes a backslash escapes only the characters that are special there.
bool escapableInDoubleQuotes(char c) {
    return c == '$' || c == '`' || c == '"' || c == '\\' || c == '\n';
}

} // namespace

std::vector<std::string> splitArguments(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false; // a word has begun, even when it is still empty ('' or "")
    size_t k = 0;
    const size_t n = text.size();
    while (k < n) {
        const char c = text[k];
        if (isBlank(c)) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            ++k;
        } else if (c == '\'') {
            inWord = true;
            const size_t close = text.find('\'', k + 1);
            const size_t end = close == std::string_view::npos ? n : close;
            word.append(text.substr(k + 1, end - k - 1));
            k = close == std::string_view::npos ? n : close + 1;
        } else if (c == '"') {
            inWord = true;
            ++k;
            while (k < n && text[k] != '"') {
                if (text[k] == '\\' && k + 1 < n && escapableInDoubleQuotes(text[k + 1])) {
                    if (text[k + 1] != '\n') // an escaped line break joins the lines
                        word += text[k + 1];
                    k += 2;
                } else {
                    word += text[k++];
                }
            }
            ++k; // the closing quote, or past the end
        } else if (c == '\\') {
            if (k + 1 >= n) { // a trailing backslash stands for itself
                inWord = true;
                word += c;
                ++k;
            } else if (text[k + 1] == '\n') {
                k += 2; // line continuation
            } else {
                inWord = true;
                word += text[k + 1];
                k += 2;
            }
        } else {
            inWord = true;
            word += c;
            ++k;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

} // namespace novrix::platform
