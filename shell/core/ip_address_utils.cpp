#include "shell/core/ip_address_utils.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace novrix::shell {
namespace {

std::string withLocation(const std::string& message, const std::source_location& where) {
    const std::string file = std::filesystem::path(where.file_name()).filename().string();
    return message + " (" + file + ", line " + std::to_string(where.line()) + ")";
}

std::string quoted(std::string_view source) {
    return " IPAddressString[" + std::string(source) + "]";
}

int tripletValue(std::string_view digits, int part) {
    const auto at = [&](int k) { return digits[static_cast<std::size_t>((part - 1) * 3 + k)] - '0'; };
    return at(0) * 100 + at(1) * 10 + at(2);
}

} // namespace

IpAssertionFailure::IpAssertionFailure(std::string message, std::source_location where)
    : std::logic_error(withLocation(message, where)), message_(std::move(message)) {}

std::string pieceOf(std::string_view s, char separator, int n) {
    if (n < 1) {
        return {};
    }
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) {
        const std::size_t next = s.find(separator, start);
        if (next == std::string_view::npos) {
            return {};
        }
        start = next + 1;
    }
    const std::size_t end = s.find(separator, start);
    return std::string(s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

int countChar(std::string_view s, char c) {
    return static_cast<int>(std::count(s.begin(), s.end(), c));
}

std::string removeChars(std::string_view s, std::string_view set) {
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        if (set.find(c) == std::string_view::npos) {
            out += c;
        }
    }
    return out;
}

std::string ipStringToDigits(std::string_view s) {
    if (s.size() > 15) {
        throw IpAssertionFailure("Illegal length for IPString![" + std::string(s) + "(" +
                                 std::to_string(s.size()) + ")]");
    }
    if (countChar(s, '.') != 3) {
        throw IpAssertionFailure("Must include exactly 3 dots! [" + std::string(s) + "]");
    }
    std::string digits;
    for (int part = 1; part <= 4; ++part) {
        const std::string piece = pieceOf(s, '.', part);
        if (piece.empty() || piece.size() > 3) {
            throw IpAddressError("IPAddress must include 4 pieces of length 1..3." + quoted(s));
        }
        if (piece.size() > 1 && piece.front() == '0') {
            throw IpAddressError("Leading zero not allowed." + quoted(s));
        }
        digits += std::string(3 - piece.size(), '0') + piece;
    }
    return removeChars(digits, ".");
}

void checkIpDigits(std::string_view digits, std::string_view source) {
    if (digits.size() != 12) {
        throw IpAssertionFailure("Illegal length for IPString![" + std::string(source) +
                                 " (Length:" + std::to_string(digits.size()) + ") ]");
    }
    for (int part = 1; part <= 4; ++part) {
        const std::string_view triplet = digits.substr(static_cast<std::size_t>((part - 1) * 3), 3);
        if (!std::all_of(triplet.begin(), triplet.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            throw IpAddressError("IP Address contains illegal symbols." + quoted(source));
        }
        if (tripletValue(digits, part) > 255) {
            throw IpAddressError("Triplets must be of range 0..255 " + quoted(source));
        }
    }
}

void checkIpString(std::string_view s) {
    checkIpDigits(ipStringToDigits(s), s);
}

int ipOctet(std::string_view s, int part) {
    const std::string digits = ipStringToDigits(s);
    checkIpDigits(digits, s);
    return part >= 1 && part <= 4 ? tripletValue(digits, part) : 0;
}

} // namespace novrix::shell
