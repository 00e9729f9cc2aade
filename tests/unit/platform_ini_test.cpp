// The settings file: reading and writing keys, keeping what it does not understand, rewriting only when
// changed, and never leaving a half-written file.
#include "platform/ini_file.h"
#include "settings_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using novrix::platform::IniFile;
using novrix::test::readFile;
using novrix::test::TempDir;
using novrix::test::writeFile;

namespace {

struct stat statOf(const std::filesystem::path& p) {
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0)
        ADD_FAILURE() << "cannot stat " << p;
    return st;
}

std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(PlatformIniFile, ValuesAndSectionsSurviveASaveAndReload) {
    TempDir dir;
    const auto path = dir / "novrix.ini";
    {
        IniFile ini(path);
        EXPECT_FALSE(ini.value("General", "UserFileName"));
        ini.writeString("General", "UserFileName", "/home/u/data.txt");
        ini.writeBool("General", "SearchLAN", false);
        ini.writeString("SerialPorts", "COM3", "/dev/ttyUSB0");
        ini.writeString("General", "ConnectURL", "192.168.1.7");
        EXPECT_TRUE(ini.modified());
        ASSERT_TRUE(ini.save());
        EXPECT_FALSE(ini.modified());
    }
    EXPECT_EQ(readFile(path), "[General]\n"
                              "UserFileName=/home/u/data.txt\n"
                              "SearchLAN=False\n"
                              "ConnectURL=192.168.1.7\n"
                              "\n"
                              "[SerialPorts]\n"
                              "COM3=/dev/ttyUSB0\n");
    IniFile again(path);
    EXPECT_EQ(again.readString("general", "userfilename", "x"), "/home/u/data.txt"); // names ignore case
    EXPECT_FALSE(again.readBool("General", "SearchLAN", true));
    EXPECT_EQ(again.readString("SerialPorts", "COM3", ""), "/dev/ttyUSB0");
    EXPECT_EQ(again.readString("SerialPorts", "COM4", "none"), "none");
    EXPECT_EQ(again.readString("Missing", "COM3", "none"), "none");
    EXPECT_FALSE(again.modified());
}

TEST(PlatformIniFile, BooleansAreExactlyTrueOrFalseElseTheDefault) {
    TempDir dir;
    struct Case {
        const char* value;
        bool withDefaultTrue;
        bool withDefaultFalse;
    };
    const Case cases[] = {
        {"True", true, true},     {"False", false, false}, {"true", true, false},  {"TRUE", true, false},
        {"false", true, false},   {"yes", true, false},    {"no", true, false},    {"1", true, false},
        {"0", true, false},       {"", true, false},       {"Truee", true, false}, {"T", true, false},
        {"  True  ", true, true}, // blanks around a value are not part of it
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const auto path = dir / ("b" + std::to_string(i) + ".ini");
        writeFile(path, std::string("[General]\nFlag=") + c.value + "\n");
        IniFile ini(path);
        EXPECT_EQ(ini.readBool("General", "Flag", true), c.withDefaultTrue) << '"' << c.value << '"';
        EXPECT_EQ(ini.readBool("General", "Flag", false), c.withDefaultFalse) << '"' << c.value << '"';
    }
    IniFile none(dir / "absent.ini");
    EXPECT_TRUE(none.readBool("General", "Flag", true));
    EXPECT_FALSE(none.readBool("General", "Flag", false));
}

// A hand-edited file: byte-order mark, CR LF, comments, keys before any section, broken section headers,
// lines without "=", duplicated keys and sections, blanks around "=". Changing one value and adding a key
// rewrites exactly those lines.
TEST(PlatformIniFile, RewriteKeepsEveryLineItDoesNotChange) {
    TempDir dir;
    const auto path = dir / "hand.ini";
    const std::string original = "\xEF\xBB\xBF"
                                 "; written by hand\r\n"
                                 "Orphan=before any section\r\n"
                                 "\r\n"
                                 "[General]\r\n"
                                 "  SearchLAN = yes  \r\n"
                                 "ConnectURL=10.0.0.1\r\n"
                                 "ConnectURL=10.0.0.2\r\n"
                                 "just some words\r\n"
                                 "[broken section\r\n"
                                 "# another comment\r\n"
                                 "\r\n"
                                 "[Other]\r\n"
                                 "Key=Value=With=Equals\r\n"
                                 "[General]\r\n"
                                 "Hidden=second General section\r\n";
    writeFile(path, original);
    IniFile ini(path);
    EXPECT_FALSE(ini.value("General", "Orphan"));
    EXPECT_EQ(ini.value("General", "SearchLAN"), "yes");
    EXPECT_EQ(ini.value("General", "ConnectURL"), "10.0.0.1"); // the first one counts
    EXPECT_EQ(ini.value("Other", "Key"), "Value=With=Equals");
    EXPECT_FALSE(ini.value("General", "Hidden"));
    EXPECT_EQ(ini.text(), original); // nothing changed yet: the text is the file's

    ini.writeBool("General", "SearchLAN", true);
    ini.writeString("General", "NewKey", "new");
    ini.writeString("Other", "Added", "too");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile(path), "\xEF\xBB\xBF"
                              "; written by hand\r\n"
                              "Orphan=before any section\r\n"
                              "\r\n"
                              "[General]\r\n"
                              "SearchLAN=True\r\n"
                              "ConnectURL=10.0.0.1\r\n"
                              "ConnectURL=10.0.0.2\r\n"
                              "just some words\r\n"
                              "[broken section\r\n"
                              "# another comment\r\n"
                              "NewKey=new\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "Key=Value=With=Equals\r\n"
                              "Added=too\r\n"
                              "[General]\r\n"
                              "Hidden=second General section\r\n");
}

TEST(PlatformIniFile, FileWithoutFinalLineEndOrSectionsTakesNewSectionsAtTheEnd) {
    TempDir dir;
    const auto path = dir / "plain.ini";
    writeFile(path, "no sections here");
    IniFile ini(path);
    ini.writeString("General", "A", "1");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile(path), "no sections here\n\n[General]\nA=1\n");
}

TEST(PlatformIniFile, ValuesStayOnOneLine) {
    TempDir dir;
    IniFile ini(dir / "v.ini");
    ini.writeString("General", "UserFileName", "a\r\nB=injected\nc");
    ASSERT_TRUE(ini.save());
    IniFile again(dir / "v.ini");
    EXPECT_EQ(again.value("General", "UserFileName"), "a  B=injected c");
    EXPECT_FALSE(again.value("General", "B"));
}

TEST(PlatformIniFile, EraseKeyAndSectionValuesInFileOrder) {
    TempDir dir;
    writeFile(dir / "s.ini", "[SerialPorts]\nCOM7=/dev/b\nCOM3=/dev/a\ncom7=/dev/dup\nnote\nCOM9=/dev/c\n");
    IniFile ini(dir / "s.ini");
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(ini.sectionValues("serialports"),
              (Pairs{{"COM7", "/dev/b"}, {"COM3", "/dev/a"}, {"COM9", "/dev/c"}}));
    ini.eraseKey("SerialPorts", "COM7");
    EXPECT_TRUE(ini.modified());
    EXPECT_EQ(ini.text(), "[SerialPorts]\nCOM3=/dev/a\nnote\nCOM9=/dev/c\n");
    EXPECT_TRUE(ini.sectionValues("None").empty());
}

// Whatever the bytes, loading succeeds, the text is the file's to the byte, nothing is lost when a key is
// added, and the key reads back.
TEST(PlatformIniFile, ArbitraryContentLoadsAndLosesNothing) {
    TempDir dir;
    const std::vector<std::string> pieces = {"[",           "]",
                                             "=",           ";",
                                             " ",           "\t",
                                             "General",     "Key",
                                             "x",           "\n",
                                             "\n",          "\r\n",
                                             "\r",          std::string(1, '\0'),
                                             "\xff",        "\xEF\xBB\xBF",
                                             "[General]\n", "Key=v\n"};
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        std::string content;
        const int n = static_cast<int>(random() % 40);
        for (int i = 0; i < n; ++i)
            content += pieces[random() % pieces.size()];
        // A new name each round: rewriting one file over and over makes the file system flush it each time.
        const auto path = dir / ("fuzz" + std::to_string(round) + ".ini");
        writeFile(path, content);

        IniFile ini(path);
        EXPECT_EQ(ini.text(), content) << round;
        ini.writeString("General", "Probe", "value");
        // save() syncs to disk, which is slow; most rounds write its text to a new file instead.
        auto saved = path;
        if (round % 100 == 0) {
            ASSERT_TRUE(ini.save()) << round;
        } else {
            saved += ".new";
            writeFile(saved, ini.text());
        }
        IniFile again(saved);
        EXPECT_EQ(again.value("General", "Probe"), "value") << round;

        // Every line of the old file is still there, in order, once line ends are set aside.
        auto lines = [](std::string s) {
            if (s.starts_with("\xEF\xBB\xBF"))
                s.erase(0, 3);
            std::vector<std::string> out;
            std::size_t start = 0;
            while (start < s.size()) {
                auto brk = s.find('\n', start);
                std::string line =
                    s.substr(start, brk == std::string::npos ? std::string::npos : brk - start);
                if (line.ends_with('\r'))
                    line.pop_back();
                out.push_back(line);
                start = brk == std::string::npos ? s.size() : brk + 1;
            }
            return out;
        };
        const auto before = lines(content);
        const auto after = lines(readFile(saved));
        std::size_t j = 0;
        for (const auto& line : after)
            if (j < before.size() && line == before[j])
                ++j;
        EXPECT_EQ(j, before.size()) << "round " << round << ": a line was lost";
    }
}

TEST(PlatformIniFile, UnchangedFileIsNotRewritten) {
    TempDir dir;
    const auto path = dir / "same.ini";
    const std::string content = "[General]\nSearchLAN=True\nConnectURL = 10.1.1.1\n";
    writeFile(path, content);
    const struct stat before = statOf(path);

    IniFile ini(path);
    ini.writeBool("General", "SearchLAN", true);
    ini.writeString("general", "connecturl", "10.1.1.1"); // same value, other spelling of the names
    EXPECT_FALSE(ini.modified());
    EXPECT_TRUE(ini.save());

    const struct stat after = statOf(path);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(readFile(path), content);

    IniFile absent(dir / "absent.ini");
    EXPECT_TRUE(absent.save());
    EXPECT_FALSE(std::filesystem::exists(dir / "absent.ini"));
}

// The new file is renamed over the old one: a second name (hard link) for the old file still shows the
// old text in full, and the file keeps its permissions. No temporary file stays behind.
TEST(PlatformIniFile, SaveReplacesTheFileAtomically) {
    TempDir dir;
    const auto path = dir / "novrix.ini";
    writeFile(path, "[General]\nSearchLAN=True\n");
    ::chmod(path.c_str(), 0640);
    std::filesystem::create_hard_link(path, dir / "witness");

    IniFile ini(path);
    ini.writeBool("General", "SearchLAN", false);
    ASSERT_TRUE(ini.save());

    EXPECT_EQ(readFile(dir / "witness"), "[General]\nSearchLAN=True\n");
    EXPECT_EQ(readFile(path), "[General]\nSearchLAN=False\n");
    EXPECT_NE(statOf(path).st_ino, statOf(dir / "witness").st_ino);
    EXPECT_EQ(statOf(path).st_mode & 07777, 0640u);
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"novrix.ini", "witness"}));
}

TEST(PlatformIniFile, SaveThroughASymbolicLinkKeepsTheLink) {
    TempDir dir;
    writeFile(dir / "real.ini", "[General]\nA=1\n");
    std::filesystem::create_symlink("real.ini", dir / "novrix.ini");
    IniFile ini(dir / "novrix.ini");
    ini.writeString("General", "A", "2");
    ASSERT_TRUE(ini.save());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "novrix.ini"));
    EXPECT_EQ(readFile(dir / "real.ini"), "[General]\nA=2\n");
}

// A write that cannot complete (here a file size limit; a full disk fails the same way) leaves the old
// file whole, no temporary file, and the copy still modified.
TEST(PlatformIniFile, FailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    const auto path = dir / "novrix.ini";
    const std::string old = "[General]\nUserFileName=/old/name.txt\n";
    writeFile(path, old);

    const int status = novrix::test::runInChild([&] {
        if (!novrix::test::limitFileSize(64))
            return 10;
        IniFile ini(path);
        ini.writeString("General", "UserFileName", std::string(4000, 'x'));
        if (ini.save())
            return 11;
        return ini.modified() ? 0 : 12;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(path), old);
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"novrix.ini"});
}

TEST(PlatformIniFile, FileThatCannotBeReadIsNeverOverwritten) {
    TempDir dir;
    // A folder where the file should be.
    std::filesystem::create_directory(dir / "folder.ini");
    IniFile folder(dir / "folder.ini");
    folder.writeString("General", "A", "1");
    EXPECT_FALSE(folder.save());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));

    // A file without read permission, in a folder the (unprivileged) writer may write to.
    const auto path = dir / "locked.ini";
    writeFile(path, "[General]\nA=precious\n");
    ::chmod(dir.path().c_str(), 0777);
    ::chmod(path.c_str(), 0222);
    const int status = novrix::test::runInChild([&] {
        if (!novrix::test::dropRootPrivileges())
            return 10;
        IniFile ini(path);
        if (ini.value("General", "A"))
            return 11;
        ini.writeString("General", "A", "clobbered");
        return ini.save() ? 12 : 0;
    });
    EXPECT_EQ(status, 0);
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(readFile(path), "[General]\nA=precious\n");
}

TEST(PlatformIniFile, FolderWithoutWritePermissionFailsTheSaveCleanly) {
    TempDir dir;
    const auto sub = dir / "ro";
    std::filesystem::create_directory(sub);
    writeFile(sub / "novrix.ini", "[General]\nA=1\n");
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(sub.c_str(), 0555);
    ::chmod((sub / "novrix.ini").c_str(), 0666);
    const int status = novrix::test::runInChild([&] {
        if (!novrix::test::dropRootPrivileges())
            return 10;
        IniFile ini(sub / "novrix.ini");
        ini.writeString("General", "A", "2");
        return ini.save() ? 11 : 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(sub / "novrix.ini"), "[General]\nA=1\n");
}
