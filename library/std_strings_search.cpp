// StrUtils.SearchBuf: a forward or backward search through a text buffer, skipping the selection, with
// Delphi's stepping (whole-word mode steps from word start to word start, except at the first position).
#include "engine/runtime/script_error.h"
#include "library/std_strings.h"

namespace novrix::library::strutils {

namespace {

unsigned char upper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

// WordDelimiters: every character except the ASCII letters and digits.
bool isDelimiter(unsigned char c) {
    return !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
}

class BufferSearch {
public:
    BufferSearch(std::string_view buf, std::string_view pattern, SearchOptions options)
        : buf_(buf), pattern_(pattern), options_(options), direction_(options.down ? 1 : -1) {
        if (!options.matchCase)
            for (char& c : pattern_)
                c = char(upper(static_cast<unsigned char>(c)));
    }

    std::optional<int64_t> run(int64_t start, int64_t count) {
        pos_ = start;
        count_ = count;
        // Delphi compares the first character of the search string before looking at its length.
        if (count_ > 0 && pattern_.empty())
            throw rt::ScriptError(rt::ExcClass::Exception, "Access violation");
        while (count_ > 0) {
            if (options_.wholeWord && pos_ != start && !findNextWordStart())
                break;
            for (size_t i = 0; mapped(pos_ + int64_t(i)) == static_cast<unsigned char>(pattern_[i]);) {
                if (++i < pattern_.size())
                    continue;
                if (!options_.wholeWord || count_ == 0 || isDelimiter(at(pos_ + int64_t(i))))
                    return pos_;
                break;
            }
            pos_ += direction_;
            --count_;
        }
        return std::nullopt;
    }

private:
    unsigned char at(int64_t i) const {
        return i >= 0 && i < int64_t(buf_.size()) ? static_cast<unsigned char>(buf_[size_t(i)]) : 0;
    }
    unsigned char mapped(int64_t i) const { return options_.matchCase ? at(i) : upper(at(i)); }

    // Forward: skip the rest of the current word, then the delimiters. Backward: skip delimiters, then
    // the word, and step back onto its first character.
    bool findNextWordStart() {
        while (count_ > 0 && ((direction_ == 1) != isDelimiter(at(pos_))))
            step();
        while (count_ > 0 && ((direction_ == -1) != isDelimiter(at(pos_))))
            step();
        const bool found = count_ > 0;
        if (direction_ == -1) {
            pos_ -= direction_;
            ++count_;
        }
        return found;
    }
    void step() {
        pos_ += direction_;
        --count_;
    }

    std::string_view buf_;
    std::string pattern_;
    SearchOptions options_;
    int direction_;
    int64_t pos_ = 0;
    int64_t count_ = 0;
};

} // namespace

std::optional<int64_t> searchBuf(std::string_view buf, int32_t bufLen, int32_t selStart, int32_t selLength,
                                 std::string_view searchString, SearchOptions options) {
    if (bufLen <= 0)
        return std::nullopt;
    const int64_t len = int64_t(searchString.size());
    int64_t start = selStart;
    int64_t count = 0;
    if (options.down) {
        start += selLength; // search from the end of the selection
        count = bufLen - start - len + 1;
        if (count < 0 || start + count > bufLen)
            return std::nullopt;
    } else {
        start -= len; // the last position where the whole string fits before the selection
        count = start + 1;
    }
    if (start < 0 || start > bufLen)
        return std::nullopt;
    return BufferSearch(buf, searchString, options).run(start, count);
}

} // namespace novrix::library::strutils
