// The window's logic that needs no widgets: where a message points, the recent-file list, the special
// line colours and the scroll rule of a paused line.
#include <gtest/gtest.h>

#include "shell/core/editor_lines.h"
#include "shell/core/message_position.h"
#include "shell/core/recent_files.h"

namespace novrix::shell {
namespace {

TEST(MessagePosition, FindsRowColumnAndQuotedName) {
    struct Case {
        const char* line;
        std::optional<MessagePosition> expected;
    };
    const Case cases[] = {
        {"[Error] Demo.488(3:5): Unknown identifier 'x'", MessagePosition{3, 5, 1}},
        {"[Hint] Unnamed(12:40): Variable 'Counter' never used", MessagePosition{12, 40, 7}},
        {"[Error] Unnamed(7:1): Semicolon (;) expected", MessagePosition{7, 1, std::nullopt}},
        {"[Warning] Unnamed(2:3): quote ' without its partner", MessagePosition{2, 3, std::nullopt}},
        {"[Error] Unnamed(2:3): empty name ''", MessagePosition{2, 3, 0}},
        {"Succesfully compiled", std::nullopt},
        {"Runtime Error: Division by Zero at [4:3] bytecode pos:1:20", std::nullopt},
        // a run-time error whose text brings parentheses of its own
        {"Runtime Error: Out of range (2:9) at [4:3] bytecode pos:1:20", std::nullopt},
        {"[Error] Unnamed(x:5): text", std::nullopt},
        {"[Error] Unnamed(3:y): text", std::nullopt},
        {"[Error] Unnamed(35): no colon inside", std::nullopt},
        {"a ) before ( (1:2)", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(messagePosition(c.line), c.expected) << c.line;
}

TEST(RecentFiles, NewestFirstEachOnceTwentyAtMost) {
    RecentFiles recent;
    for (int k = 1; k <= 22; ++k) recent.add("/scripts/s" + std::to_string(k) + ".488");
    ASSERT_EQ(recent.paths().size(), RecentFiles::kCapacity);
    EXPECT_EQ(recent.paths().front(), "/scripts/s22.488");
    EXPECT_EQ(recent.paths().back(), "/scripts/s3.488"); // s1 and s2 fell off

    recent.add("/scripts/s10.488"); // moved to the top, not repeated
    EXPECT_EQ(recent.paths().front(), "/scripts/s10.488");
    EXPECT_EQ(std::count(recent.paths().begin(), recent.paths().end(), "/scripts/s10.488"), 1);
    EXPECT_EQ(recent.paths().size(), RecentFiles::kCapacity);
}

TEST(RecentFiles, StoredListIsCleanedAndCaptionsShowTheName) {
    RecentFiles recent({"/a/x.488", "", "/a/y.488", "/a/x.488"});
    EXPECT_EQ(recent.paths(), (std::vector<std::string>{"/a/x.488", "/a/y.488"}));
    EXPECT_EQ(RecentFiles::caption("/home/lab/R&D/Volt & Amp.488"), "Volt && Amp.488");
    EXPECT_EQ(RecentFiles::caption("plain.488"), "plain.488");
}

TEST(EditorLines, SpecialColoursAndScrollRule) {
    EXPECT_EQ(specialLineColours(true, true), (LineColours{kRgbRed, kRgbWhite}));
    EXPECT_EQ(specialLineColours(true, false), (LineColours{kRgbWhite, kRgbRed}));
    EXPECT_EQ(specialLineColours(false, true), (LineColours{kRgbWhite, kRgbBlue}));
    EXPECT_EQ(specialLineColours(false, false), std::nullopt);

    // window showing lines 10 .. 29 (20 lines): rows 12 .. 28 stay, others are centred
    EXPECT_EQ(topLineToShow(12, 10, 20), std::nullopt);
    EXPECT_EQ(topLineToShow(28, 10, 20), std::nullopt);
    EXPECT_EQ(topLineToShow(11, 10, 20), 1);
    EXPECT_EQ(topLineToShow(29, 10, 20), 19);
    EXPECT_EQ(topLineToShow(2, 1, 21), -8); // the caller clamps to the first line
}

} // namespace
} // namespace novrix::shell

#include "shell/core/text_file_format.h"

namespace novrix::shell {
namespace {

TEST(TextFileFormat, LineEndsAndEncoding) {
    struct Case {
        std::string bytes;
        TextFileFormat expected;
    };
    const Case cases[] = {
        {"", {LineEnd::Lf, true}},
        {"begin\nend.\n", {LineEnd::Lf, true}},
        {"begin\r\nend.\r\n", {LineEnd::CrLf, true}},
        {"begin\rend.", {LineEnd::Cr, true}},
        {"one line", {LineEnd::Lf, true}},
        {"x := '\xC2\xB5V';\r\n", {LineEnd::CrLf, true}},  // µ in UTF-8
        {"x := '\xB5V';\n", {LineEnd::Lf, false}},         // µ in Latin-1
        {"cut \xE2\x82", {LineEnd::Lf, false}},            // a sequence cut short at the end
        {"over-long \xC0\xAF", {LineEnd::Lf, false}},
        {"surrogate \xED\xA0\x80", {LineEnd::Lf, false}},
        {"emoji \xF0\x9F\x98\x80\n", {LineEnd::Lf, true}},
    };
    for (const Case& c : cases) EXPECT_EQ(detectTextFileFormat(c.bytes), c.expected) << c.bytes;
}

} // namespace
} // namespace novrix::shell
