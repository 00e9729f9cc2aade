// The file functions: the row buffer and its all-or-nothing append, the read file's line ends and Ctrl-Z,
// the lock interplay between reading, writing and deleting, file tests with wildcards, and starting
// programs and documents (with marker scripts of our own, never a desktop). Every test works in a
// temporary folder of its own and removes it.
#include "engine/engine.h"
#include "engine/runtime/script_error.h"
#include "library/catalogue.h"
#include "library/files.h"
#include "library/files_ops.h"
#include "library/text_value.h"
#include "platform/process_spawn.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
namespace lib = novrix::library;
namespace plat = novrix::platform;
using lib::FileWriteResult;
using novrix::engine::Engine;
using novrix::engine::NativeVariant;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "novrix-files-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void writeScript(const std::string& path, const std::string& body) {
    writeBytes(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
}

// Waits (bounded) for a file that a started program writes when it is done.
bool waitForFile(const std::string& path) {
    for (int k = 0; k < 500; ++k) {
        if (fs::exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Runs a script against the file functions, registered under their catalogue declarations; returns what
// it wrote, followed by the run-time error line if the run ended with one.
std::string runScript(lib::FileState& state, const std::string& script) {
    Engine e;
    e.onCompile = [&state](Engine& en) {
        for (lib::NamedNative& binding : lib::fileBindings(state)) {
            for (const lib::NovrixFunction& f : lib::novrixFunctions())
                if (f.name == binding.name)
                    en.addDeclaration(std::string(f.text), binding.fn);
        }
    };
    std::string out;
    e.setOutput([&out](std::string_view s) { out.append(s); });
    if (!e.compile(script)) {
        for (const auto& l : e.messageLines())
            out += l + "\n";
        return out;
    }
    if (!e.execute())
        out += e.runtimeErrorLine() + "\n";
    return out;
}

// A Pascal string literal for a path.
std::string pascalText(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("''") : std::string(1, c);
    return q + "'";
}

class LibraryFiles : public ::testing::Test {
protected:
    LibraryFiles() { state.locale = novrix::rt::FormatSettings::invariant(); }
    TempDir dir;
    lib::FileState state;
};

// --- the bindings as a whole

TEST(LibraryFilesBindings, CoverEveryFileFunctionOfTheCatalogueInItsOrder) {
    lib::FileState state;
    std::vector<std::string> bound;
    for (const auto& b : lib::fileBindings(state)) {
        EXPECT_TRUE(b.fn) << b.name;
        bound.push_back(b.name);
    }
    std::vector<std::string> declared;
    for (const auto& f : lib::novrixFunctions())
        if (f.group == lib::FunctionGroup::File)
            declared.emplace_back(f.name);
    EXPECT_EQ(bound, declared);
}

// --- text of a value

TEST(LibraryFilesTextOfValue, RealsTakeTheExponentFormAndOtherValuesTheirPlainText) {
    using Tag = NativeVariant::Tag;
    const auto fs = novrix::rt::FormatSettings::invariant();
    struct Case {
        NativeVariant v;
        std::string text;
    };
    const Case cases[] = {
        {{Tag::Real, 0, 1.5, ""}, " 1.50000000000000E+0000"},
        {{Tag::Real, 0, 0.5, ""}, " 5.00000000000000E-0001"},
        {{Tag::Real, 0, -0.00125, ""}, "-1.25000000000000E-0003"},
        {{Tag::Real, 0, 0.0, ""}, " 0.00000000000000E+0000"},
        {{Tag::Real, 0, 123456789012345678.0, ""}, " 1.23456789012346E+0017"},
        {{Tag::Real, 0, std::nan(""), ""}, "                    Nan"},
        {{Tag::Real, 0, -HUGE_VAL, ""}, "                   -Inf"},
        {{Tag::Integer, -42, 0, ""}, "-42"},
        {{Tag::Int64, 9000000000LL, 0, ""}, "9000000000"},
        {{Tag::String, 0, 0, "a\tb"}, "a\tb"},
        {{Tag::Boolean, 1, 0, ""}, "True"},
        {{Tag::Boolean, 0, 0, ""}, "False"},
        {{Tag::Empty, 0, 0, ""}, ""},
        {{Tag::Null, 0, 0, ""}, ""},
        {{Tag::Date, 0, 45000.5, ""}, "2023-03-15 12:00:00"},
        {{Tag::Date, 0, 45000.0, ""}, "2023-03-15"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lib::textOfValue(c.v, fs), c.text) << "tag " << int(c.v.tag) << " value " << c.v.d;
}

// --- the row buffer

TEST(LibraryFilesBuffer, AddingBuildsTabSeparatedRowsAndCrLfStartsTheNext) {
    struct Case {
        std::vector<std::string> added;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {{"1", "2", "\r\n", "3"}, {"1\t2", "3"}},
        {{"a", "", "b"}, {"a\t\tb"}}, // an empty value is an empty field
        {{"a", ""}, {"a\t"}},         // ... even at the end: a trailing TAB
        {{""}, {""}},                 // to an empty row it adds nothing
        {{"", "x"}, {"x"}},           // so the next value is the first field
        {{"\r\n"}, {""}},             // CR LF into an empty buffer: one empty row ...
        {{"\r\n", "x"}, {"x"}},       // ... which the next value fills
        {{"x", "\r\n"}, {"x", ""}},   // a trailing CR LF leaves an empty last row
        {{"x", "\r\n", "\r\n", "y"}, {"x", "", "y"}},
        {{"a\r\nb", "c"}, {"a\r\nb\tc"}}, // only the text CR LF by itself starts a row
        {{"\n"}, {"\n"}},
    };
    for (const Case& c : cases) {
        lib::FileBuffer b;
        for (const std::string& t : c.added)
            b.add(t);
        EXPECT_EQ(b.lines(), c.rows) << ::testing::PrintToString(c.added);
    }
}

TEST_F(LibraryFiles, ScriptRowsAreAppendedWithCrLfAndTheBufferIsKeptSoASecondWriteRepeatsThem) {
    const std::string file = dir / "data.txt";
    const std::string out = runScript(state, "begin\n"
                                             "  NOVRIX_FileClearBuffer;\n"
                                             "  NOVRIX_FileAddToBuffer(1);\n"
                                             "  NOVRIX_FileAddToBuffer(2);\n"
                                             "  NOVRIX_FileAddToBuffer(#13#10);\n"
                                             "  NOVRIX_FileAddToBuffer(3);\n"
                                             "  NOVRIX_FileWrite(" +
                                                 pascalText(file) +
                                                 ");\n"
                                                 "  WriteLn(NOVRIX_FileExists(" +
                                                 pascalText(file) +
                                                 "));\n"
                                                 "  NOVRIX_FileWrite(" +
                                                 pascalText(file) +
                                                 ");\n"
                                                 "end.");
    EXPECT_EQ(out, "TRUE\n");
    EXPECT_EQ(readBytes(file), "1\t2\r\n3\r\n1\t2\r\n3\r\n");
}

TEST_F(LibraryFiles, ScriptValuesOfEveryKindBecomeFieldsAsTheyArePrinted) {
    const std::string file = dir / "kinds.txt";
    runScript(state, "var v: Variant; d: Double;\n"
                     "begin\n"
                     "  NOVRIX_FileAddToBuffer(0.5);\n"
                     "  d := -1250; NOVRIX_FileAddToBuffer(d);\n"
                     "  NOVRIX_FileAddToBuffer('text');\n"
                     "  NOVRIX_FileAddToBuffer(True);\n"
                     "  NOVRIX_FileAddToBuffer(v);\n" // an unassigned Variant: an empty field
                     "  NOVRIX_FileAddToBuffer(#13#10);\n"
                     "  NOVRIX_FileWrite(" +
                         pascalText(file) +
                         ");\n"
                         "end.");
    EXPECT_EQ(readBytes(file), " 5.00000000000000E-0001\t-1.25000000000000E+0003\ttext\tTrue\t\r\n\r\n");
}

TEST_F(LibraryFiles, TheBufferLivesOnAcrossRunsUntilAScriptClearsIt) {
    const std::string file = dir / "runs.txt";
    runScript(state, "begin NOVRIX_FileAddToBuffer('first'); end.");
    runScript(state,
              "begin NOVRIX_FileAddToBuffer('second'); NOVRIX_FileWrite(" + pascalText(file) + "); end.");
    runScript(state, "begin NOVRIX_FileClearBuffer; NOVRIX_FileAddToBuffer('third'); "
                     "NOVRIX_FileWrite(" +
                         pascalText(file) + "); end.");
    EXPECT_EQ(readBytes(file), "first\tsecond\r\nthird\r\n");
}

TEST_F(LibraryFiles, WritingCreatesMissingFoldersAndAnEmptyBufferStillCreatesTheFile) {
    const std::string deep = dir / "a/b/c/data.txt";
    state.buffer.add("x");
    EXPECT_EQ(state.buffer.appendTo(deep), FileWriteResult::Written);
    EXPECT_EQ(readBytes(deep), "x\r\n");

    const std::string empty = dir / "d/empty.txt";
    EXPECT_EQ(lib::FileBuffer().appendTo(empty), FileWriteResult::Written);
    EXPECT_TRUE(fs::is_regular_file(empty));
    EXPECT_EQ(fs::file_size(empty), 0u);
}

TEST_F(LibraryFiles, WritingThroughALinkToAFileNotYetThereCreatesThatFile) {
    fs::create_directory(dir / "real");
    fs::create_symlink(dir / "real/target.txt", dir / "link.txt");
    state.buffer.add("x");
    EXPECT_EQ(state.buffer.appendTo(dir / "link.txt"), FileWriteResult::Written);
    EXPECT_EQ(state.buffer.appendTo(dir / "link.txt"), FileWriteResult::Written);
    EXPECT_EQ(readBytes(dir / "real/target.txt"), "x\r\nx\r\n");
}

TEST_F(LibraryFiles, WritingWhereNoFileCanBeMadeFailsSilently) {
    state.buffer.add("x");
    fs::create_directory(dir / "folder");
    writeBytes(dir / "plain", "keep");
    EXPECT_EQ(state.buffer.appendTo(dir / "folder"), FileWriteResult::NotOpened);
    EXPECT_EQ(state.buffer.appendTo(dir / "plain/below.txt"),
              FileWriteResult::NotOpened); // a file in the way
    EXPECT_EQ(state.buffer.appendTo(""), FileWriteResult::NotOpened);
    EXPECT_EQ(readBytes(dir / "plain"), "keep");
    EXPECT_EQ(
        runScript(state, "begin NOVRIX_FileWrite(" + pascalText(dir / "folder") + "); WriteLn('on'); end."),
        "on\n");
}

// --- all or nothing when the disk refuses

// Lowers the process's file size limit for one call, with SIGXFSZ ignored so that an oversized write fails
// with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &oldAction_);
        rlimit lowered = old_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::sigaction(SIGXFSZ, &oldAction_, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    struct sigaction oldAction_ {};
};

lib::FileBuffer bigBuffer(size_t rows) {
    lib::FileBuffer b;
    for (size_t k = 0; k < rows; ++k) {
        b.add(std::to_string(k));
        b.add(" 1.50000000000000E+0000");
        b.add("\r\n");
    }
    return b;
}

TEST_F(LibraryFiles, AWriteCutShortLeavesTheFileAsItWasOrRemovesTheFileItCreated) {
    const std::string existing = dir / "existing.txt";
    const std::string before = "10\t 2.00000000000000E+0000\r\n";
    writeBytes(existing, before);
    const lib::FileBuffer big = bigBuffer(1000); // about 30 kB, more than the limit allows
    {
        FileSizeLimit limit(4096);
        EXPECT_EQ(big.appendTo(existing), FileWriteResult::WriteFailed);
        EXPECT_EQ(big.appendTo(dir / "new.txt"), FileWriteResult::WriteFailed);
    }
    EXPECT_EQ(readBytes(existing), before);
    EXPECT_FALSE(fs::exists(dir / "new.txt"));
    // The same rows go through once the disk takes them.
    EXPECT_EQ(big.appendTo(existing), FileWriteResult::Written);
    std::string rows;
    for (const std::string& line : big.lines())
        rows += line + "\r\n";
    EXPECT_EQ(readBytes(existing), before + rows);
}

TEST_F(LibraryFiles, ADeviceThatIsAlwaysFullTakesNothingAndNothingIsReported) {
    state.buffer.add("x");
    EXPECT_EQ(state.buffer.appendTo("/dev/full"), FileWriteResult::WriteFailed);
    EXPECT_EQ(runScript(state, "begin NOVRIX_FileWrite('/dev/full'); WriteLn('on'); end."), "on\n");
}

// A tiny tmpfs mounted in the test folder, unmounted again; needs the right to mount.
class TinyDisk {
public:
    explicit TinyDisk(const std::string& where) : where_(where) {
        fs::create_directory(where_);
        mounted_ = ::mount("tmpfs", where_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=16k,mode=0700") == 0;
    }
    ~TinyDisk() {
        if (mounted_)
            ::umount2(where_.c_str(), MNT_DETACH);
    }
    TinyDisk(const TinyDisk&) = delete;
    TinyDisk& operator=(const TinyDisk&) = delete;
    bool mounted() const { return mounted_; }

private:
    std::string where_;
    bool mounted_ = false;
};

TEST_F(LibraryFiles, AFullDiskLeavesTheFileAsItWas) {
    TinyDisk disk(dir / "disk");
    if (!disk.mounted())
        GTEST_SKIP() << "no right to mount a tmpfs here: " << std::strerror(errno);
    const std::string file = dir / "disk/data.txt";
    const std::string before(5000, 'k');
    writeBytes(file, before);
    EXPECT_EQ(bigBuffer(1000).appendTo(file), FileWriteResult::WriteFailed);
    EXPECT_EQ(readBytes(file), before);
}

// --- reading

struct ReadCase {
    std::string name;
    std::string content;
    std::vector<std::string> lines; // what successive readLine calls give until eof
};

TEST_F(LibraryFiles, LinesEndAtLfOrCrLfAndALoneCrBelongsToTheLine) {
    const std::string longLine(65535, 'x'); // the CR of its line end is the last byte of the first load
    const ReadCase cases[] = {
        {"crlf without final line end", "a\r\nb", {"a", "b"}},
        {"lf", "a\nb\n", {"a", "b"}},
        {"lone cr inside", "x\ry\n", {"x\ry"}},
        {"lone cr at the end", "a\r", {"a\r"}},
        {"cr before ctrl-z",
         "a\r\x1a"
         "b\r\n",
         {"a\r"}},
        {"ctrl-z ends the file",
         "a\x1a"
         "b\r\n",
         {"a"}},
        {"ctrl-z at the start",
         "\x1a"
         "a",
         {}},
        {"empty lines", "\r\n\n\r\n", {"", "", ""}},
        {"empty file", "", {}},
        {"cr lf across loads", longLine + "\r\nnext", {longLine, "next"}},
        {"lone cr across loads", longLine + "\ry\n", {longLine + "\ry"}},
        {"lf then crlf", "a\n\r\nb", {"a", "", "b"}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir / "lines.txt";
        writeBytes(file, c.content);
        ASSERT_TRUE(state.readFile.open(file));
        std::vector<std::string> got;
        while (!state.readFile.eof() && got.size() <= c.lines.size())
            got.push_back(state.readFile.readLine());
        EXPECT_EQ(got, c.lines);
        EXPECT_EQ(state.readFile.readLine(), ""); // at the end: the empty text, and it stays there
        EXPECT_TRUE(state.readFile.eof());
        EXPECT_EQ(state.readFile.readChar(), '\x1a');
        EXPECT_TRUE(state.readFile.close());
    }
}

TEST_F(LibraryFiles, CharactersComeOneByOneWithLineEndsAndCtrlZAtTheEndWithoutError) {
    writeBytes(dir / "chars.txt", "ab\r\nc\x1a"
                                  "d");
    ASSERT_TRUE(state.readFile.open(dir / "chars.txt"));
    std::string got;
    for (int k = 0; k < 7; ++k)
        got += state.readFile.readChar();
    EXPECT_EQ(got, "ab\r\nc\x1a\x1a");
    EXPECT_TRUE(state.readFile.eof());
    EXPECT_EQ(state.readFile.readRest(), "");
}

TEST_F(LibraryFiles, TheRestOfTheFileComesWithItsLineEndsUpToCtrlZ) {
    writeBytes(dir / "rest.txt", "l1\r\nl2\r\nl3\n\x1a"
                                 "hidden");
    ASSERT_TRUE(state.readFile.open(dir / "rest.txt"));
    EXPECT_EQ(state.readFile.readLine(), "l1");
    EXPECT_EQ(state.readFile.readRest(), "l2\r\nl3\n");
    EXPECT_TRUE(state.readFile.eof());

    const std::string big(200000, 'z'); // several buffer loads
    writeBytes(dir / "big.txt", big);
    ASSERT_TRUE(state.readFile.open(dir / "big.txt"));
    EXPECT_EQ(state.readFile.readRest(), big);
}

TEST_F(LibraryFiles, ScriptReadsByLineAndTheEndIsSeenAfterTheLastLine) {
    const std::string file = dir / "ab.txt";
    writeBytes(file, "a\r\nb");
    const std::string out =
        runScript(state, "begin\n"
                         "  WriteLn(NOVRIX_FileReadOpen(" +
                             pascalText(file) +
                             "));\n"
                             "  WriteLn('[', NOVRIX_FileReadLn, '] ', NOVRIX_FileReadEof);\n"
                             "  WriteLn('[', NOVRIX_FileReadLn, '] ', NOVRIX_FileReadEof);\n"
                             "  WriteLn('[', NOVRIX_FileReadLn, '] ', Ord(NOVRIX_FileRead));\n"
                             "  WriteLn(NOVRIX_FileReadClose, ' ', NOVRIX_FileReadClose);\n"
                             "end.");
    EXPECT_EQ(out, "TRUE\n[a] FALSE\n[b] TRUE\n[] 26\nTRUE FALSE\n");
}

TEST_F(LibraryFiles, TheReadFileStaysOpenAcrossRunsAndOpeningAnotherLetsGoOfTheFirst) {
    writeBytes(dir / "one.txt", "1a\r\n1b\r\n");
    writeBytes(dir / "two.txt", "2a\r\n");
    EXPECT_EQ(runScript(state, "begin WriteLn(NOVRIX_FileReadOpen(" + pascalText(dir / "one.txt") +
                                   "), NOVRIX_FileReadLn); end."),
              "TRUE1a\n");
    EXPECT_EQ(runScript(state, "begin WriteLn(NOVRIX_FileReadLn); end."), "1b\n");
    EXPECT_EQ(runScript(state, "begin WriteLn(NOVRIX_FileReadOpen(" + pascalText(dir / "two.txt") +
                                   "), NOVRIX_FileReadLn); end."),
              "TRUE2a\n");
    // one.txt is no longer held: it can be written.
    state.buffer.add("1c");
    EXPECT_EQ(state.buffer.appendTo(dir / "one.txt"), FileWriteResult::Written);
}

TEST_F(LibraryFiles, AFailedOpenLeavesNoFileOpen) {
    writeBytes(dir / "one.txt", "1a\r\n");
    fs::create_directory(dir / "folder");
    ASSERT_TRUE(state.readFile.open(dir / "one.txt"));
    for (const std::string& bad : {dir / "missing.txt", dir / "folder", std::string()}) {
        EXPECT_FALSE(state.readFile.open(bad)) << bad;
        EXPECT_FALSE(state.readFile.isOpen()) << bad;
        ASSERT_TRUE(state.readFile.open(dir / "one.txt"));
    }
}

TEST_F(LibraryFiles, WithoutAnOpenFileEofAndReadStopTheScriptWhileTheOthersAnswerNeutrally) {
    EXPECT_EQ(runScript(state, "begin\n"
                               "  WriteLn('[', NOVRIX_FileReadLn, '][', NOVRIX_FileReadGetBuffer, ']');\n"
                               "  WriteLn(NOVRIX_FileReadClose, ' ', NOVRIX_FileReadOpen('" +
                                   (dir / "no") +
                                   "'));\n"
                                   "end."),
              "[][]\nFALSE FALSE\n");
    const std::string eofOut = runScript(state, "begin WriteLn('before'); WriteLn(NOVRIX_FileReadEof); "
                                                "WriteLn('after'); end.");
    EXPECT_EQ(eofOut.rfind("before\nRuntime Error: I/O error 103 at [", 0), 0u) << eofOut;
    const std::string readOut =
        runScript(state, "var c: Char; begin c := NOVRIX_FileRead; WriteLn('after'); end.");
    EXPECT_EQ(readOut.rfind("Runtime Error: I/O error 103 at [", 0), 0u) << readOut;
    // It is an ordinary exception of the script, of the class of input/output errors.
    EXPECT_EQ(
        runScript(
            state,
            "begin\n"
            "  try NOVRIX_FileReadEof; except on E: EInOutError do WriteLn('caught ', E.Message); end;\n"
            "end."),
        "caught I/O error 103\n");
}

TEST_F(LibraryFiles, ReadingErrorsRaiseTheInputOutputErrorClass) {
    try {
        state.readFile.readChar();
        FAIL() << "no error";
    } catch (const novrix::rt::ScriptError& e) {
        EXPECT_EQ(e.cls, novrix::rt::ExcClass::EInOutError);
        EXPECT_STREQ(e.what(), "I/O error 103");
    }
}

// --- sharing: read sharing only

// A lock as another program holds it while it writes the file.
class OtherWriter {
public:
    explicit OtherWriter(const std::string& path) : fd_(::open(path.c_str(), O_WRONLY | O_CLOEXEC)) {
        locked_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
    }
    ~OtherWriter() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OtherWriter(const OtherWriter&) = delete;
    OtherWriter& operator=(const OtherWriter&) = delete;
    bool locked() const { return locked_; }

private:
    int fd_;
    bool locked_ = false;
};

TEST_F(LibraryFiles, TheFileOpenForReadingIsNeitherWrittenNorDeletedAndOthersCannotWriteIt) {
    const std::string file = dir / "held.txt";
    writeBytes(file, "row\r\n");
    const std::string alias = dir / "alias.txt";
    fs::create_hard_link(file, alias);
    ASSERT_TRUE(state.readFile.open(file));

    state.buffer.add("more");
    EXPECT_EQ(state.buffer.appendTo(file), FileWriteResult::Locked);
    EXPECT_EQ(state.buffer.appendTo(alias), FileWriteResult::Locked); // the same file under another name
    EXPECT_FALSE(lib::deleteFile(file));
    EXPECT_EQ(readBytes(file), "row\r\n");
    EXPECT_FALSE(OtherWriter(file).locked());
    EXPECT_EQ(state.readFile.readLine(), "row"); // reading is undisturbed

    EXPECT_TRUE(state.readFile.close());
    EXPECT_EQ(state.buffer.appendTo(file), FileWriteResult::Written);
    EXPECT_EQ(readBytes(file), "row\r\nmore\r\n");
}

TEST_F(LibraryFiles, AFileAnotherProgramIsWritingIsNotOpenedWrittenOrDeleted) {
    const std::string file = dir / "busy.txt";
    writeBytes(file, "theirs\r\n");
    OtherWriter other(file);
    ASSERT_TRUE(other.locked());
    EXPECT_FALSE(state.readFile.open(file));
    state.buffer.add("ours");
    EXPECT_EQ(state.buffer.appendTo(file), FileWriteResult::Locked);
    EXPECT_FALSE(lib::deleteFile(file));
    EXPECT_EQ(readBytes(file), "theirs\r\n");
}

TEST_F(LibraryFiles, AScriptWritingTheFileItReadsWritesNothing) {
    const std::string file = dir / "same.txt";
    writeBytes(file, "a\r\n");
    EXPECT_EQ(runScript(state, "begin\n"
                               "  NOVRIX_FileReadOpen(" +
                                   pascalText(file) +
                                   ");\n"
                                   "  NOVRIX_FileAddToBuffer('b');\n"
                                   "  NOVRIX_FileWrite(" +
                                   pascalText(file) +
                                   ");\n"
                                   "  WriteLn(NOVRIX_FileReadGetBuffer);\n"
                                   "  NOVRIX_FileReadClose;\n"
                                   "  NOVRIX_FileWrite(" +
                                   pascalText(file) +
                                   ");\n"
                                   "end."),
              "a\r\n\n");
    EXPECT_EQ(readBytes(file), "a\r\nb\r\n");
}

// --- exists and delete

TEST(LibraryFilesWildcards, StarAndQuestionMarkMatchAsOnTheDesktop) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*", "anything.txt", true},
        {"*.txt", "a.txt", true},
        {"*.txt", "a.txt.bak", false},
        {"?.txt", "a.txt", true},
        {"?.txt", "ab.txt", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"*.*", "README", true},
        {"data.*", "data", true},
        {"data.*", "data.csv", true},
        {"data.*", "database", false},
        {"d?ta", "data", true},
        {"DATA.TXT", "data.txt", false},
        {"", "", true},
        {"**", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lib::wildcardMatch(c.pattern, c.name), c.match) << c.pattern << " vs " << c.name;
}

TEST_F(LibraryFiles, ExistsFindsFilesNotFoldersAlsoByWildcard) {
    writeBytes(dir / "a.txt", "");
    fs::create_directories(dir / "dir.txt");
    fs::create_directories(dir / "sub");
    writeBytes(dir / "sub/m1.csv", "");
    struct Case {
        std::string name;
        bool exists;
    };
    const Case cases[] = {
        {dir / "a.txt", true},        {dir / "dir.txt", false},
        {dir / "missing.txt", false}, {dir / "*.txt", true},
        {dir / "?.txt", true},        {dir / "??.txt", false},
        {dir / "d*", false},                                      // only a folder matches
        {dir / "sub/*.csv", true},    {dir / "s*/m1.csv", false}, // wildcards only in the last part
        {dir / "nofolder/*", false},  {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lib::fileExists(c.name), c.exists) << c.name;
    EXPECT_EQ(runScript(state, "begin WriteLn(NOVRIX_FileExists(" + pascalText(dir / "*.txt") +
                                   "), ' ', "
                                   "NOVRIX_FileExists(" +
                                   pascalText(dir / "dir.txt") + ")); end."),
              "TRUE FALSE\n");
}

TEST_F(LibraryFiles, DeleteRemovesFilesOnlyAndIsSilentOtherwise) {
    writeBytes(dir / "gone.txt", "x");
    fs::create_directory(dir / "folder");
    EXPECT_EQ(runScript(state, "begin\n"
                               "  NOVRIX_FileDelete(" +
                                   pascalText(dir / "gone.txt") +
                                   ");\n"
                                   "  NOVRIX_FileDelete(" +
                                   pascalText(dir / "gone.txt") +
                                   ");\n"
                                   "  NOVRIX_FileDelete(" +
                                   pascalText(dir / "folder") +
                                   ");\n"
                                   "  NOVRIX_FileDelete('');\n"
                                   "  WriteLn('on');\n"
                                   "end."),
              "on\n");
    EXPECT_FALSE(fs::exists(dir / "gone.txt"));
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
}

// --- starting programs and opening documents

TEST(LibraryFilesArguments, ParameterTextSplitsLikeAShellWithoutExpanding) {
    struct Case {
        std::string text;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"a b\tc\n d", {"a", "b", "c", "d"}},
        {"'two words' \"and two\"", {"two words", "and two"}},
        {"''", {""}},
        {"a'b'\"c\"d", {"abcd"}},
        {"it\\'s a\\ b", {"it's", "a b"}},
        {"\"q\\\"uote \\$HOME \\x\"", {"q\"uote $HOME \\x"}},
        {"'no \\ escapes'", {"no \\ escapes"}},
        {"$HOME *.txt `ls` a|b;c", {"$HOME", "*.txt", "`ls`", "a|b;c"}},
        {"one\\\ntwo", {"onetwo"}},
        {"'open to the end", {"open to the end"}},
        {"tail\\", {"tail\\"}},
        {"C:\\data\\x.csv", {"C:datax.csv"}},
        {"-f \"C:\\data\\x.csv\"", {"-f", "C:\\data\\x.csv"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(plat::splitArguments(c.text), c.words) << c.text;
}

class LibraryFilesExecute : public LibraryFiles {
protected:
    LibraryFilesExecute() {
        // The document opener of these tests records what it was asked to open.
        opener = dir / "opener.sh";
        writeScript(opener, "printf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.out\"\n");
        state.documentOpener = opener;
        argsScript = dir / "args.sh";
        writeScript(argsScript, "printf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.out\"\n");
    }
    std::string opener;
    std::string argsScript;
};

TEST_F(LibraryFilesExecute, OpeningIsPlannedByWhatTheTargetIs) {
    writeBytes(dir / "notes.txt", "n");
    fs::create_directory(dir / "folder");
    using plat::OpenRoute;

    plat::OpenPlan p = plat::planShellOpen(argsScript, "-x 'a b'", opener);
    EXPECT_EQ(p.route, OpenRoute::Program);
    EXPECT_EQ(p.program, argsScript);
    EXPECT_EQ(p.args, (std::vector<std::string>{"-x", "a b"}));

    p = plat::planShellOpen("sh", "-c true", opener); // a program on PATH
    EXPECT_EQ(p.route, OpenRoute::Program);
    EXPECT_EQ(fs::path(p.program).filename(), "sh");
    EXPECT_TRUE(fs::path(p.program).is_absolute());

    for (const std::string& doc : {dir / "notes.txt", dir / "folder", std::string("https://example.org/x"),
                                   std::string("mailto:someone@example.org")}) {
        p = plat::planShellOpen(doc, "ignored", opener);
        EXPECT_EQ(p.route, OpenRoute::Document) << doc;
        EXPECT_EQ(p.program, opener) << doc;
        EXPECT_EQ(p.args, std::vector<std::string>{doc}) << doc;
    }
    for (const std::string& none :
         {dir / "missing.txt", std::string("no-such-program-novrix"), std::string()})
        EXPECT_EQ(plat::planShellOpen(none, "", opener).route, OpenRoute::None) << none;
    EXPECT_EQ(plat::planShellOpen(dir / "notes.txt", "", dir / "no-opener").route, OpenRoute::None);
}

TEST_F(LibraryFilesExecute, AProgramStartsWithItsParameterWords) {
    EXPECT_EQ(runScript(state, "begin NOVRIX_FileExecute(" + pascalText(argsScript) + ", " +
                                   pascalText("one \"two three\" 'four' $HOME") + "); WriteLn('on'); end."),
              "on\n");
    ASSERT_TRUE(waitForFile(argsScript + ".out"));
    EXPECT_EQ(readBytes(argsScript + ".out"), "one\ntwo three\nfour\n$HOME\n");
}

TEST_F(LibraryFilesExecute, ADocumentGoesToTheOpenerWithoutTheParameters) {
    writeBytes(dir / "notes.txt", "n");
    runScript(state, "begin NOVRIX_FileExecute(" + pascalText(dir / "notes.txt") + ", '-p'); end.");
    ASSERT_TRUE(waitForFile(opener + ".out"));
    EXPECT_EQ(readBytes(opener + ".out"), dir / "notes.txt" + "\n");
}

TEST_F(LibraryFilesExecute, WhatCannotBeStartedIsSilentlyIgnored) {
    const std::string broken = dir / "broken";
    writeBytes(broken, "\x7f"
                       "ELFnot really");
    ::chmod(broken.c_str(), 0755);
    EXPECT_FALSE(plat::spawnDetached(broken, {}));
    EXPECT_FALSE(plat::shellOpen(dir / "missing", "", opener));
    EXPECT_EQ(runScript(state, "begin NOVRIX_FileExecute(" + pascalText(broken) +
                                   ", 'x'); "
                                   "NOVRIX_FileExecute(" +
                                   pascalText(dir / "missing") +
                                   ", ''); "
                                   "NOVRIX_FileExecute('', ''); WriteLn('on'); end."),
              "on\n");
    EXPECT_FALSE(fs::exists(opener + ".out"));
}

// The started program waits for a go file that the test creates only after the call has returned: had
// the call waited for the program, the program would have given up and said so.
TEST_F(LibraryFilesExecute, TheCallReturnsWithoutWaitingAndTheProgramIsOnItsOwn) {
    const std::string waiter = dir / "waiter.sh";
    writeScript(waiter, "d=$(dirname \"$0\")\n"
                        "ls -l /proc/$$/fd > \"$d/fds\"\n"
                        "echo $$ > \"$d/pid.tmp\" && mv \"$d/pid.tmp\" \"$d/pid\"\n"
                        "i=0\n"
                        "while [ ! -e \"$d/go\" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n"
                        "if [ -e \"$d/go\" ]; then r=went; else r=gave-up; fi\n"
                        "echo $r > \"$d/result.tmp\" && mv \"$d/result.tmp\" \"$d/result\"\n");
    writeBytes(dir / "held.txt", "x");
    ASSERT_TRUE(state.readFile.open(dir / "held.txt")); // a descriptor and a lock the program must not get

    EXPECT_TRUE(plat::shellOpen(waiter, "", opener));
    ASSERT_TRUE(waitForFile(dir / "pid"));
    const pid_t pid = std::stoi(readBytes(dir / "pid"));
    EXPECT_NE(::getsid(pid), ::getsid(0)) << "the program should run in a session of its own";
    const std::string fds = readBytes(dir / "fds");
    EXPECT_EQ(fds.find("held.txt"), std::string::npos) << fds;
    EXPECT_NE(fds.find("0 -> /dev/null"), std::string::npos) << fds;
    state.buffer.add("y");
    EXPECT_EQ(state.readFile.close(), true);
    EXPECT_EQ(state.buffer.appendTo(dir / "held.txt"), FileWriteResult::Written); // no lock lives on

    writeBytes(dir / "go", "");
    ASSERT_TRUE(waitForFile(dir / "result"));
    EXPECT_EQ(readBytes(dir / "result"), "went\n");
}

} // namespace
