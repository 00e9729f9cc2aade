// StrUtils Soundex family: codes of any length, and their packing into an Integer or a Word.
#include "engine/runtime/script_error.h"
#include "library/std_strings.h"

#include <array>

namespace novrix::library::strutils {

namespace {

// The digit of each letter; 0 for vowels, Y and everything that is not a letter (they separate equal
// digits), -1 for H and W (they do not).
constexpr std::array<int8_t, 26> kLetterScore{
    // A  B  C  D  E  F  G  H   I  J  K  L  M  N  O  P  Q  R  S  T  U  V  W   X  Y  Z
    0, 1, 2, 3, 0, 1, 2, -1, 0, 2, 2, 4, 5, 5, 0, 1, 2, 6, 2, 3, 0, 1, -1, 2, 0, 2};

int score(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return kLetterScore[c - 'A'];
    if (c >= 'a' && c <= 'z')
        return kLetterScore[c - 'a'];
    return 0;
}

char upCase(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 32) : c;
}

// SoundexInt and SoundexWord index the first character of the code; Delphi reads it through the nil
// string that an empty text gives.
const std::string& nonEmptyCode(const std::string& code) {
    if (code.empty())
        throw rt::ScriptError(rt::ExcClass::Exception, "Access violation");
    return code;
}

int digitOf(char c) {
    return c - '0';
}

} // namespace

std::string soundex(std::string_view text, int32_t length) {
    std::string result;
    if (text.empty())
        return result;
    result += upCase(text[0]);
    int prev = score(static_cast<unsigned char>(text[0]));
    for (size_t i = 1; i < text.size(); ++i) {
        const int s = score(static_cast<unsigned char>(text[i]));
        if (s > 0 && s != prev) {
            result += char('0' + s);
            if (int64_t(result.size()) == length)
                break;
        }
        if (s != -1)
            prev = s;
    }
    if (int64_t(result.size()) < length) {
        if (length > (1 << 30))
            throw rt::ScriptError(rt::ExcClass::EOutOfMemory, "Out of memory");
        result.resize(size_t(length), '0');
    }
    return result;
}

int32_t soundexInt(std::string_view text, int32_t length) {
    const std::string code = soundex(text, length);
    const std::string& c = nonEmptyCode(code);
    // Integer arithmetic that wraps, as Delphi's does without overflow checks.
    uint32_t result = uint32_t(static_cast<unsigned char>(c[0])) - uint32_t('A');
    if (length > 1) {
        result = result * 26u + uint32_t(digitOf(c[1]));
        for (int32_t i = 3; i <= length; ++i)
            result = result * 7u + uint32_t(digitOf(c[size_t(i - 1)]));
    }
    return int32_t(result * 9u + uint32_t(length));
}

std::string decodeSoundexInt(int32_t value) {
    std::string result;
    const int32_t length = value % 9;
    value /= 9;
    for (int32_t i = length; i >= 3; --i) {
        result.insert(0, std::to_string(value % 7));
        value /= 7;
    }
    // Delphi writes the second character only for codes of three or more: a two-character code decodes
    // to its letter alone.
    if (length > 2)
        result.insert(0, std::to_string(value % 26));
    value /= 26;
    result.insert(result.begin(), char(uint8_t(value + 'A')));
    return result;
}

uint16_t soundexWord(std::string_view text) {
    const std::string code = soundex(text, 4);
    const std::string& c = nonEmptyCode(code);
    uint16_t result = uint16_t(static_cast<unsigned char>(c[0]) - 'A');
    result = uint16_t(result * 26 + digitOf(c[1]));
    result = uint16_t(result * 7 + digitOf(c[2]));
    result = uint16_t(result * 7 + digitOf(c[3]));
    return result;
}

std::string decodeSoundexWord(uint16_t value) {
    std::string result = std::to_string(value % 7);
    value /= 7;
    result.insert(0, std::to_string(value % 7));
    value /= 7;
    result.insert(0, std::to_string(value % 26));
    value /= 26;
    result.insert(result.begin(), char(value + 'A'));
    return result;
}

bool soundexSimilar(std::string_view text, std::string_view other, int32_t length) {
    return soundex(text, length) == soundex(other, length);
}

int32_t soundexCompare(std::string_view text, std::string_view other, int32_t length) {
    const int c = soundex(text, length).compare(soundex(other, length));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool soundexProc(std::string_view text, std::string_view other) {
    return soundexSimilar(text, other, 4);
}

} // namespace novrix::library::strutils
