// The IP address control: the address text utilities, and the control's fields driven through key
// presses, pastes, clicks and the AddressText value.
#include "engine/runtime/script_error.h"
#include "shell/core/ip_address_fields.h"
#include "shell/core/ip_address_utils.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace novrix::shell {
namespace {

// ---- utilities --------------------------------------------------------------------------------------

TEST(ShellIpUtils, StringHelpers) {
    EXPECT_EQ(pieceOf("a.bc.d", '.', 1), "a");
    EXPECT_EQ(pieceOf("a.bc.d", '.', 2), "bc");
    EXPECT_EQ(pieceOf("a.bc.d", '.', 3), "d");
    EXPECT_EQ(pieceOf("a.bc.d", '.', 4), "");
    EXPECT_EQ(pieceOf("a.bc.d", '.', 0), "");
    EXPECT_EQ(pieceOf("..x", '.', 1), "");
    EXPECT_EQ(pieceOf("..x", '.', 3), "x");
    EXPECT_EQ(pieceOf("", '.', 1), "");
    EXPECT_EQ(countChar("1.2.3.4", '.'), 3);
    EXPECT_EQ(countChar("", '.'), 0);
    EXPECT_EQ(countChar("...", '.'), 3);
    EXPECT_EQ(removeChars("1.2.3.4", "."), "1234");
    EXPECT_EQ(removeChars("a-b c", "- "), "abc");
    EXPECT_EQ(removeChars("abc", ""), "abc");
}

TEST(ShellIpUtils, DigitsFormPadsEachPartToThree) {
    const std::pair<const char*, const char*> cases[] = {
        {"192.168.1.20", "192168001020"},
        {"0.0.0.0", "000000000000"},
        {"255.255.255.255", "255255255255"},
        {"1.22.3.44", "001022003044"},
        // Only the shape is checked here: characters and ranges are left to checkIpDigits.
        {"a.b.c.d", "00a00b00c00d"},
        {"999.1.1.1", "999001001001"},
        {"-1.2.3.4", "0-1002003004"},
    };
    for (const auto& [address, digits] : cases) {
        EXPECT_EQ(ipStringToDigits(address), digits) << address;
    }
}

enum class Failure { None, Assertion, Error };

struct FailureCase {
    const char* address;
    Failure kind;
    const char* message;
};

// Runs `check` and reports what it threw: the kind, and the message without the assertion's location.
template <typename Check>
std::pair<Failure, std::string> failureOf(Check check) {
    try {
        check();
    } catch (const IpAssertionFailure& e) {
        return {Failure::Assertion, e.message()};
    } catch (const IpAddressError& e) {
        return {Failure::Error, e.what()};
    }
    return {Failure::None, ""};
}

TEST(ShellIpUtils, CheckIpStringMessages) {
    const FailureCase cases[] = {
        {"192.168.1.20", Failure::None, ""},
        {"255.255.255.255", Failure::None, ""}, // 15 characters is still allowed
        {"0.0.0.0", Failure::None, ""},
        {"1234567890.1.1.1", Failure::Assertion, "Illegal length for IPString![1234567890.1.1.1(16)]"},
        {"1.2.3", Failure::Assertion, "Must include exactly 3 dots! [1.2.3]"},
        {"1.2.3.4.5", Failure::Assertion, "Must include exactly 3 dots! [1.2.3.4.5]"},
        {"", Failure::Assertion, "Must include exactly 3 dots! []"},
        {"1..2.3", Failure::Error, "IPAddress must include 4 pieces of length 1..3. IPAddressString[1..2.3]"},
        {"1.2.3.", Failure::Error, "IPAddress must include 4 pieces of length 1..3. IPAddressString[1.2.3.]"},
        {"1234.1.1.1", Failure::Error,
         "IPAddress must include 4 pieces of length 1..3. IPAddressString[1234.1.1.1]"},
        {"010.1.1.1", Failure::Error, "Leading zero not allowed. IPAddressString[010.1.1.1]"},
        {"1.00.1.1", Failure::Error, "Leading zero not allowed. IPAddressString[1.00.1.1]"},
        // Parts are checked in order: part 1's leading zero before part 4's length.
        {"01.2.3.1234", Failure::Error, "Leading zero not allowed. IPAddressString[01.2.3.1234]"},
        {"1.2.3.256", Failure::Error, "Triplets must be of range 0..255  IPAddressString[1.2.3.256]"},
        {"999.1.1.1", Failure::Error, "Triplets must be of range 0..255  IPAddressString[999.1.1.1]"},
        {"1.2.x.4", Failure::Error, "IP Address contains illegal symbols. IPAddressString[1.2.x.4]"},
        {"-1.2.3.4", Failure::Error, "IP Address contains illegal symbols. IPAddressString[-1.2.3.4]"},
        {" 1.2.3.4", Failure::Error, "IP Address contains illegal symbols. IPAddressString[ 1.2.3.4]"},
        {"+1.2.3.4", Failure::Error, "IP Address contains illegal symbols. IPAddressString[+1.2.3.4]"},
        // Triplets are checked in order, symbols then range within each.
        {"300.x.1.1", Failure::Error, "Triplets must be of range 0..255  IPAddressString[300.x.1.1]"},
        {"x.300.1.1", Failure::Error, "IP Address contains illegal symbols. IPAddressString[x.300.1.1]"},
    };
    for (const FailureCase& c : cases) {
        const auto [kind, message] = failureOf([&] { checkIpString(c.address); });
        EXPECT_EQ(kind, c.kind) << '"' << c.address << '"';
        EXPECT_EQ(message, c.message) << '"' << c.address << '"';
    }
}

TEST(ShellIpUtils, CheckIpDigitsQuotesTheSourceText) {
    const std::pair<const char*, const char*> lengthCases[] = {
        {"12345678901", "Illegal length for IPString![src (Length:11) ]"},
        {"1234567890123", "Illegal length for IPString![src (Length:13) ]"},
        {"", "Illegal length for IPString![src (Length:0) ]"},
    };
    for (const auto& [digits, message] : lengthCases) {
        const auto [kind, text] = failureOf([&] { checkIpDigits(digits, "src"); });
        EXPECT_EQ(kind, Failure::Assertion) << digits;
        EXPECT_EQ(text, message) << digits;
    }
    EXPECT_EQ(failureOf([] { checkIpDigits("000000000255", "src"); }).first, Failure::None);
    EXPECT_EQ(failureOf([] { checkIpDigits("000000000256", "src"); }).second,
              "Triplets must be of range 0..255  IPAddressString[src]");
    EXPECT_EQ(failureOf([] { checkIpDigits("00000000025a", "src"); }).second,
              "IP Address contains illegal symbols. IPAddressString[src]");
}

TEST(ShellIpUtils, AssertionTextCarriesTheSourceLocation) {
    try {
        ipStringToDigits("1.2.3");
        FAIL() << "no assertion failure";
    } catch (const IpAssertionFailure& e) {
        const std::string what = e.what();
        const std::string expectedStart = "Must include exactly 3 dots! [1.2.3] (ip_address_utils.cpp, line ";
        EXPECT_EQ(what.substr(0, expectedStart.size()), expectedStart) << what;
        EXPECT_EQ(what.back(), ')') << what;
    }
    // Ordinary errors carry exactly their message.
    try {
        ipStringToDigits("010.1.1.1");
        FAIL() << "no error";
    } catch (const IpAddressError& e) {
        EXPECT_STREQ(e.what(), "Leading zero not allowed. IPAddressString[010.1.1.1]");
    }
}

TEST(ShellIpUtils, OctetsAfterTheChecks) {
    EXPECT_EQ(ipOctet("192.168.1.20", 1), 192);
    EXPECT_EQ(ipOctet("192.168.1.20", 2), 168);
    EXPECT_EQ(ipOctet("192.168.1.20", 3), 1);
    EXPECT_EQ(ipOctet("192.168.1.20", 4), 20);
    EXPECT_EQ(ipOctet("192.168.1.20", 0), 0);
    EXPECT_EQ(ipOctet("192.168.1.20", 5), 0);
    EXPECT_EQ(ipOctet("0.0.0.255", 4), 255);
    // A bad address fails whatever part is asked for.
    EXPECT_THROW(ipOctet("1.2.3.256", 1), IpAddressError);
    EXPECT_THROW(ipOctet("1.2.3.256", 5), IpAddressError);
    EXPECT_THROW(ipOctet("1.2.3", 1), IpAssertionFailure);
}

// ---- the control's fields ---------------------------------------------------------------------------

constexpr const char* kBadAddress = "Bad IP address string given to component";
constexpr const char* kNotValid =
    " is not a valid entry. Please specify a value between 0 and 255 for this field.";

IpKeyPress keyFor(char c) {
    switch (c) {
    case '.':
        return {.key = IpKey::FullStop};
    case ' ':
        return {.key = IpKey::Space};
    case '<':
        return {.key = IpKey::Backspace};
    case '~':
        return {.key = IpKey::Delete};
    case 'L':
        return {.key = IpKey::Left};
    case 'R':
        return {.key = IpKey::Right};
    case 'a':
        return {.key = IpKey::Other};
    default:
        return {.key = IpKey::Digit, .digit = c};
    }
}

class ShellIpFields : public ::testing::Test {
protected:
    // Each character one key, pressed in the focused field and released: digits, '.', ' ', '<' Backspace,
    // '~' Delete, 'L'/'R' arrows, 'a' a letter.
    void type(std::string_view keys) {
        for (const char c : keys) {
            ASSERT_TRUE(ip.focusedField().has_value()) << "no field has the focus";
            ip.keyPress(*ip.focusedField(), keyFor(c));
            ip.keyRelease();
        }
    }
    std::array<std::string, 4> fields() const {
        return {ip.fieldText(0), ip.fieldText(1), ip.fieldText(2), ip.fieldText(3)};
    }
    void expectFocus(int field, IpFieldSelection selection) const {
        EXPECT_EQ(ip.focusedField(), std::optional<int>(field));
        EXPECT_EQ(ip.selection(field), selection) << "field " << field;
    }

    std::vector<std::string> messages;
    IpAddressFields ip{[this](const std::string& m) { messages.push_back(m); }};
};

struct TypingCase {
    const char* keys;
    std::array<const char*, 4> fields;
    int focus;
    const char* message; // "" when none
};

TEST_F(ShellIpFields, TypingSequences) {
    const TypingCase cases[] = {
        {"192.168.1.1", {"192", "168", "1", "1"}, 3, ""},
        {"192 168 1 1", {"192", "168", "1", "1"}, 3, ""},
        {"10.20.30.40", {"10", "20", "30", "40"}, 3, ""},
        {"1921681", {"192", "168", "1", ""}, 2, ""}, // three digits move on by themselves
        {"1..", {"1", "", "", ""}, 1, ""},           // a dot in an empty field stays there
        {"1.2.3.4.5", {"1", "2", "3", "45"}, 3, ""}, // and so does one in the last field
        {"1a2", {"12", "", "", ""}, 0, ""},          // letters are not typed
        {"255", {"255", "", "", ""}, 1, ""},
        {"300", {"255", "", "", ""}, 0, "300"},
        {"256", {"255", "", "", ""}, 0, "256"},
        {"3001", {"1", "", "", ""}, 0, "300"}, // the clamped 255 is selected, so the next digit replaces it
        {"1.999", {"1", "255", "", ""}, 1, "999"},
        {"1.2.3.256", {"1", "2", "3", "255"}, 3, "256"},
    };
    for (const TypingCase& c : cases) {
        ip = IpAddressFields{[this](const std::string& m) { messages.push_back(m); }};
        messages.clear();
        ip.focusControl();
        type(c.keys);
        EXPECT_EQ(fields(), (std::array<std::string, 4>{c.fields[0], c.fields[1], c.fields[2], c.fields[3]}))
            << c.keys;
        EXPECT_EQ(ip.focusedField(), std::optional<int>(c.focus)) << c.keys;
        if (*c.message) {
            EXPECT_EQ(messages, std::vector<std::string>{std::string(c.message) + kNotValid}) << c.keys;
        } else {
            EXPECT_TRUE(messages.empty()) << c.keys;
        }
    }
}

TEST_F(ShellIpFields, ClampSelectsTheFieldAndDoesNotMoveOn) {
    ip.focusControl();
    type("300");
    expectFocus(0, {0, 3});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "300 is not a valid entry. Please specify a value between 0 and 255 for this field.");
}

TEST_F(ShellIpFields, AutoAdvanceNeedsTheCaretAfterTheThirdCharacter) {
    ip.focusControl();
    type("12");
    ip.focusField(0, {1, 0});
    type("3");
    EXPECT_EQ(ip.fieldText(0), "132");
    expectFocus(0, {2, 0});
    type("4"); // full: nothing is inserted
    EXPECT_EQ(ip.fieldText(0), "132");
}

TEST_F(ShellIpFields, FullStopMovesOnWithTheNextFieldSelected) {
    ip.setAddressText("192.168.1.1");
    ip.focusField(0, {3, 0});
    type(".");
    EXPECT_EQ(ip.fieldText(0), "192");
    expectFocus(1, {0, 3});
    type("10.");
    EXPECT_EQ(fields(), (std::array<std::string, 4>{"192", "10", "1", "1"}));
    expectFocus(2, {0, 1});
}

TEST_F(ShellIpFields, KeypadKeysCountAsDigitsAndFullStop) {
    ip.focusControl();
    ip.keyPress(0, {.key = IpKey::KeypadDigit, .digit = '7'});
    ip.keyRelease();
    ip.keyPress(0, {.key = IpKey::KeypadDecimal});
    ip.keyRelease();
    EXPECT_EQ(ip.fieldText(0), "7");
    expectFocus(1, {0, 0});
}

TEST_F(ShellIpFields, BackspaceAtTheStartDeletesInThePreviousField) {
    ip.setAddressText("192.168.1.1");
    ip.focusField(2, {0, 0});
    type("<");
    EXPECT_EQ(fields(), (std::array<std::string, 4>{"192", "16", "1", "1"}));
    expectFocus(1, {2, 0});

    // Typing on from there auto-advances again.
    type("9");
    EXPECT_EQ(ip.fieldText(1), "169");
    expectFocus(2, {0, 0});

    // An empty previous field just takes the focus.
    ip.setAddressText("");
    ip.focusField(1, {0, 0});
    type("<");
    expectFocus(0, {0, 0});
    EXPECT_EQ(fields(), (std::array<std::string, 4>{"", "", "", ""}));

    // Field 0 has no previous field.
    ip.setAddressText("1.2.3.4");
    ip.focusField(0, {0, 0});
    type("<");
    EXPECT_EQ(ip.fieldText(0), "1");
    expectFocus(0, {0, 0});
}

TEST_F(ShellIpFields, BackspaceAndDeleteWithinAField) {
    ip.focusControl();
    type("12<");
    EXPECT_EQ(ip.fieldText(0), "1");
    type("<192<<<"); // 192 moved on; back into field 0 and down to nothing
    EXPECT_EQ(fields(), (std::array<std::string, 4>{"", "", "", ""}));
    expectFocus(0, {0, 0});
    ip.setAddressText("123.4.5.6");
    ip.focusField(0, {1, 0});
    type("~");
    EXPECT_EQ(ip.fieldText(0), "13");
    ip.focusField(0, {0, 2});
    type("~");
    EXPECT_EQ(ip.fieldText(0), "");
}

TEST_F(ShellIpFields, ArrowsCrossFieldsOnlyAtTheirEnds) {
    ip.setAddressText("12.34.56.78");
    ip.focusField(0, {1, 0});
    type("R");
    expectFocus(0, {2, 0});
    type("R");
    expectFocus(1, {0, 0});
    type("L");
    expectFocus(0, {2, 0});
    type("LL");
    expectFocus(0, {0, 0});
    type("L"); // field 0 has nothing to its left
    expectFocus(0, {0, 0});
    ip.focusField(3, {2, 0});
    type("R"); // nor field 3 to its right
    expectFocus(3, {2, 0});
    EXPECT_EQ(fields(), (std::array<std::string, 4>{"12", "34", "56", "78"}));
}

TEST_F(ShellIpFields, BlockedKeysMakeTheFieldReadOnlyUntilRelease) {
    ip.focusControl();
    ip.keyPress(0, {.key = IpKey::Digit, .digit = '5', .shift = true});
    EXPECT_EQ(ip.fieldText(0), "");
    EXPECT_TRUE(ip.isReadOnly(0));
    ip.paste(0, "12"); // refused while read-only
    EXPECT_EQ(ip.fieldText(0), "");
    ip.keyRelease();
    EXPECT_FALSE(ip.isReadOnly(0));

    const IpKeyPress blocked[] = {
        {.key = IpKey::Digit, .digit = '5', .control = true},
        {.key = IpKey::Digit, .digit = '5', .alt = true},
        {.key = IpKey::Digit, .digit = '5', .leftButtonDown = true},
        {.key = IpKey::Backspace, .control = true},
        {.key = IpKey::Other},
        {.key = IpKey::Alt},
        {.key = IpKey::Space},
        {.key = IpKey::Home},
    };
    for (const IpKeyPress& press : blocked) {
        ip.keyPress(0, press);
        EXPECT_TRUE(ip.isReadOnly(0)) << static_cast<int>(press.key);
        EXPECT_FALSE(ip.isReadOnly(1));
        ip.keyRelease();
    }
    EXPECT_EQ(ip.fieldText(0), "");

    // Shift or Ctrl on their own are ignored altogether.
    ip.keyPress(0, {.key = IpKey::Shift, .shift = true});
    ip.keyPress(0, {.key = IpKey::Control, .control = true});
    EXPECT_FALSE(ip.isReadOnly(0));
    ip.keyPress(0, {.key = IpKey::Digit, .digit = '4'});
    EXPECT_FALSE(ip.isReadOnly(0));
    EXPECT_EQ(ip.fieldText(0), "4");
}

TEST_F(ShellIpFields, PasteReplacesTheSelectionAndRunsTheChangeRules) {
    ip.focusControl();
    ip.paste(0, "12345"); // cut to three characters, then the automatic advance
    EXPECT_EQ(ip.fieldText(0), "123");
    expectFocus(1, {0, 0});
    ip.paste(1, "300");
    EXPECT_EQ(ip.fieldText(1), "255");
    EXPECT_EQ(messages, std::vector<std::string>{std::string("300") + kNotValid});
    ip.focusField(1, {1, 1});
    ip.paste(1, "1");
    EXPECT_EQ(ip.fieldText(1), "215");
    expectFocus(1, {2, 0}); // the caret is after the second character: no advance
}

TEST_F(ShellIpFields, AddressTextRoundTrips) {
    const char* addresses[] = {"127.0.0.1", "0.0.0.0", "255.255.255.255", "10.0.0.138", "1.22.233.4"};
    for (const char* address : addresses) {
        ip.setAddressText(address);
        EXPECT_EQ(ip.addressText(), address);
    }
    ip.setAddressText("127.0.0.1");
    EXPECT_EQ(fields(), (std::array<std::string, 4>{"127", "0", "0", "1"}));
    EXPECT_EQ(ip.selection(0), (IpFieldSelection{0, 3}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ShellIpFields, BadAddressKeepsTheFields) {
    ip.setAddressText("192.168.1.1");
    const char* bad[] = {"010.1.1.1",        "1.2.3",   "1.2.3.256", "1.2.3.4.5",
                         "1234567890.1.1.1", "a.b.c.d", "1..2.3"};
    for (const char* address : bad) {
        try {
            ip.setAddressText(address);
            ADD_FAILURE() << address << " was accepted";
        } catch (const IpAssertionFailure& e) {
            EXPECT_EQ(e.message(), kBadAddress) << address;
        }
        EXPECT_EQ(fields(), (std::array<std::string, 4>{"192", "168", "1", "1"})) << address;
    }
}

TEST_F(ShellIpFields, ReadingFillsEmptyFieldsAndDropsLeadingZeros) {
    ip.focusControl();
    type("192.168..");
    ip.focusField(3, {0, 0});
    type("1");
    EXPECT_EQ(ip.addressText(), "192.168.0.1");
    EXPECT_EQ(fields(), (std::array<std::string, 4>{"192", "168", "0", "1"}));

    ip.setAddressText("");
    EXPECT_EQ(ip.addressText(), "");
    EXPECT_EQ(fields(), (std::array<std::string, 4>{"", "", "", ""}));

    ip.paste(0, "007");
    EXPECT_EQ(ip.addressText(), "7.0.0.0");
    EXPECT_EQ(ip.fieldText(0), "7");
}

TEST_F(ShellIpFields, ReadingANonNumberFailsWithTheConversionError) {
    ip.setAddressText("1.2.3.4");
    ip.focusField(2, {0, 1});
    ip.paste(2, "ab");
    try {
        ip.addressText();
        FAIL() << "read succeeded";
    } catch (const rt::ScriptError& e) {
        EXPECT_EQ(e.cls, rt::ExcClass::EConvertError);
        EXPECT_STREQ(e.what(), "'ab' is not a valid integer value");
    }
}

TEST_F(ShellIpFields, FocusAndClicks) {
    ip.setAddressText("1.22.133.4");
    ip.focusField(2, {1, 0});
    ip.focusControl();
    expectFocus(0, {0, 1});

    ip.focusField(0, {1, 0});
    ip.focusLeavesControl();
    EXPECT_EQ(ip.focusedField(), std::nullopt);
    EXPECT_EQ(ip.selection(0), (IpFieldSelection{0, 1}));

    ip.clickPanel();
    expectFocus(3, {1, 0});
    ip.clickDot(1);
    expectFocus(1, {2, 0});
    ip.clickDot(2);
    expectFocus(2, {3, 0});
    EXPECT_THROW(ip.clickDot(3), std::out_of_range);
}

} // namespace
} // namespace novrix::shell
