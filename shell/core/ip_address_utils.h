#pragma once
// IPv4 address text utilities (UIPAddrUtils): the checks the IP address control runs on an address given
// to it, and the string helpers they are built from.
//
// Two kinds of failure, as the original Pascal unit raised them: an assertion failure (a broken
// precondition: wrong length, wrong number of dots), whose text carries the source location the way the
// run-time library's Assert adds it, and an ordinary error whose text is exactly the message.
#include <source_location>
#include <stdexcept>
#include <string>
#include <string_view>

namespace novrix::shell {

// what() is "<message> (<file>, line <n>)"; message() is the text without the location.
class IpAssertionFailure : public std::logic_error {
public:
    explicit IpAssertionFailure(std::string message,
                                std::source_location where = std::source_location::current());
    const std::string& message() const { return message_; }

private:
    std::string message_;
};

class IpAddressError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The n-th piece (1-based) of `s` split at `separator`; empty past the last piece and for n < 1.
std::string pieceOf(std::string_view s, char separator, int n);
// How often `c` occurs in `s`.
int countChar(std::string_view s, char c);
// `s` without any of the characters in `set`.
std::string removeChars(std::string_view s, std::string_view set);

// "192.168.1.20" -> "192168001020": each of the four parts left-padded with zeros to three characters.
// Only the shape is checked here (length, dots, part lengths, leading zeros); the characters and ranges
// are checkIpDigits' business, so "a.b.c.d" passes as "00a00b00c00d".
std::string ipStringToDigits(std::string_view s);
// Checks the 12-character form: digits only, each triplet 0..255. `source` is the dotted text it came
// from, quoted in the messages.
void checkIpDigits(std::string_view digits, std::string_view source);
// ipStringToDigits followed by checkIpDigits.
void checkIpString(std::string_view s);
// Part `part` (1..4) of a checked address; 0 for any other part number once the address has passed.
int ipOctet(std::string_view s, int part);

} // namespace novrix::shell
