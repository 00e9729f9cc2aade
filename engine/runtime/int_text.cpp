#include "engine/runtime/int_text.h"

#include "engine/runtime/script_error.h"

#include <cstdint>

namespace novrix::rt {
namespace {

std::string hexDigits(uint64_t v, int digits) {
    if (digits < 0 || digits > 32)
        digits = 0;
    std::string out;
    do {
        out.insert(out.begin(), "0123456789ABCDEF"[v & 15]);
        v >>= 4;
    } while (v != 0);
    if (static_cast<int>(out.size()) < digits)
        out.insert(0, static_cast<size_t>(digits) - out.size(), '0');
    return out;
}

// Delphi reads the string as a C string: past the end, and at an embedded NUL, it sees '\0'.
class CharSource {
public:
    explicit CharSource(std::string_view s) : s_(s) {}
    unsigned char at(size_t i) const { return i < s_.size() ? static_cast<unsigned char>(s_[i]) : 0; }

private:
    std::string_view s_;
};

// _ValLong, step for step. `i` is the index of the next character, so on an error it is the 1-based
// position of the character just read.
int valLong(std::string_view s, int32_t& result) {
    if (s.empty()) {
        result = 0;
        return 1;
    }
    const CharSource src(s);
    size_t i = 0;
    uint32_t v = 0;
    uint32_t limit = 0x7FFFFFFF / 10;
    bool negative = false;
    unsigned char c;
    do
        c = src.at(i++);
    while (c == ' ');

    auto fail = [&](uint32_t partial) {
        result = static_cast<int32_t>(partial);
        return static_cast<int>(i);
    };

    bool hex = false;
    bool checkFirst = true;
    if (c == '-' || c == '+') {
        negative = c == '-';
        c = src.at(i++);
    } else if (c == '$' || c == 'x' || c == 'X') {
        hex = true;
    } else if (c == '0') {
        c = src.at(i++);
        if (c == 'x' || c == 'X') {
            hex = true;
        } else if (c == 0) {
            result = 0;
            return 0;
        } else {
            checkFirst = false; // the '0' was a digit; go on with the next one
        }
    }

    if (hex) {
        limit = 0x0FFFFFFF;
        c = src.at(i++);
        if (c == 0) {
            ++i; // Delphi's "empty" exit counts one further
            return fail(v);
        }
        for (;;) {
            if (c >= 'a')
                c = static_cast<unsigned char>(c - ('a' - 'A'));
            unsigned d = static_cast<unsigned char>(c - '0');
            if (d > 9) {
                d = static_cast<unsigned char>(c - 'A');
                if (d > 5)
                    return fail(v);
                d += 10;
            }
            if (v > limit)
                return fail(v);
            v = (v << 4) + d;
            c = src.at(i++);
            if (c == 0)
                break;
        }
        result = static_cast<int32_t>(v);
        return 0;
    }

    if (checkFirst && c == 0)
        return fail(v);
    for (;;) {
        const unsigned d = static_cast<unsigned char>(c - '0');
        if (d > 9)
            return fail(v);
        if (v > limit)
            return fail(v);
        v = v * 10 + d;
        c = src.at(i++);
        if (c == 0)
            break;
    }
    if (negative) {
        if (v > 0x80000000u)
            return fail(0u - v);
        result = static_cast<int32_t>(0u - v);
        return 0;
    }
    if (v > 0x7FFFFFFFu)
        return fail(v);
    result = static_cast<int32_t>(v);
    return 0;
}

// _ValInt64, which Delphi writes in Pascal with 1-based indexes.
int valLongLong(std::string_view s, int64_t& result) {
    result = 0;
    if (s.empty())
        return 1;
    const CharSource src(s);
    auto at = [&](int i) { return src.at(static_cast<size_t>(i - 1)); };
    auto upper = [](unsigned char c) {
        return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
    };
    const int length = static_cast<int>(s.size());

    int i = 1;
    while (at(i) == ' ')
        ++i;
    bool sign = false;
    if (at(i) == '-') {
        sign = true;
        ++i;
    } else if (at(i) == '+') {
        ++i;
    }
    bool empty = true;
    uint64_t v = 0; // unsigned so that overflow wraps as Delphi's does
    auto asSigned = [](uint64_t x) { return static_cast<int64_t>(x); };
    if (at(i) == '$' || upper(at(i)) == 'X' || (at(i) == '0' && i < length && upper(at(i + 1)) == 'X')) {
        if (at(i) == '0')
            ++i;
        ++i;
        for (;;) {
            const unsigned char c = at(i);
            unsigned d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else
                break;
            if (asSigned(v) < 0 || asSigned(v) > (INT64_MAX >> 3))
                break;
            v = (v << 4) + d;
            ++i;
            empty = false;
        }
        if (sign)
            v = 0 - v;
    } else {
        for (;;) {
            const unsigned char c = at(i);
            if (c < '0' || c > '9')
                break;
            if (asSigned(v) < 0 || asSigned(v) > INT64_MAX / 10)
                break;
            v = v * 10 + (c - '0');
            ++i;
            empty = false;
        }
        if (sign)
            v = 0 - v;
        if (v != 0 && sign != (asSigned(v) < 0))
            --i;
    }
    result = asSigned(v);
    return at(i) != 0 || empty ? i : 0;
}

[[noreturn]] void notAnInteger(std::string_view s) {
    throw ScriptError(ExcClass::EConvertError, "'" + std::string(s) + "' is not a valid integer value");
}

} // namespace

std::string intToStr(int64_t v) {
    return std::to_string(v);
}

std::string intToHex(int64_t v, int digits) {
    return hexDigits(static_cast<uint64_t>(v), digits);
}

std::string intToHex32(int32_t v, int digits) {
    return hexDigits(static_cast<uint32_t>(v), digits);
}

void valInt(std::string_view s, int64_t& v, int& code) {
    int32_t r = 0;
    code = valLong(s, r);
    v = r;
}

void valInt64(std::string_view s, int64_t& v, int& code) {
    code = valLongLong(s, v);
}

bool tryStrToInt(std::string_view s, int64_t& out) {
    int32_t r = 0;
    if (valLong(s, r) != 0)
        return false;
    out = r;
    return true;
}

int64_t strToInt(std::string_view s) {
    int64_t v = 0;
    if (!tryStrToInt(s, v))
        notAnInteger(s);
    return v;
}

int64_t strToIntDef(std::string_view s, int64_t def) {
    int64_t v = 0;
    return tryStrToInt(s, v) ? v : def;
}

bool tryStrToInt64(std::string_view s, int64_t& out) {
    int64_t v = 0;
    if (valLongLong(s, v) != 0)
        return false;
    out = v;
    return true;
}

int64_t strToInt64(std::string_view s) {
    int64_t v = 0;
    if (!tryStrToInt64(s, v))
        notAnInteger(s);
    return v;
}

int64_t strToInt64Def(std::string_view s, int64_t def) {
    int64_t v = 0;
    return tryStrToInt64(s, v) ? v : def;
}

} // namespace novrix::rt
