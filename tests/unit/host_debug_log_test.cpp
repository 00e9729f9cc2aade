// The debug message log: what each writer puts in the list and in the file, the LogToFile switch, the
// file across program starts, and log files that cannot be opened or written.
#include "host/debug_log.h"
#include "settings_test_support.h"

#include <atomic>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>

using novrix::host::BusDirection;
using novrix::host::BusPath;
using novrix::host::busTag;
using novrix::host::DebugLog;
using novrix::test::readFile;
using novrix::test::TempDir;

namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<unterminated>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace

TEST(HostDebugLog, BusTagsLineUpBothDirections) {
    struct Case {
        BusPath path;
        BusDirection dir;
        const char* tag;
    };
    const Case cases[] = {
        {BusPath::Dll, BusDirection::Out, "DLL GPIB OUT: "},
        {BusPath::Dll, BusDirection::In, "DLL GPIB IN : "},
        {BusPath::PlNet, BusDirection::Out, "PLNET GPIB OUT: "},
        {BusPath::PlNet, BusDirection::In, "PLNET GPIB IN : "},
        {BusPath::PlUsb, BusDirection::Out, "PLUSB GPIB OUT: "},
        {BusPath::PlUsb, BusDirection::In, "PLUSB GPIB IN : "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(busTag(c.path, c.dir), c.tag);
}

// Each writer's style: bus lines unchanged, transport lines with an empty line after them, search lines
// only in the list, raw records only in the file.
TEST(HostDebugLog, EachWriterPutsItsLinesWhereItShould) {
    TempDir dir;
    const auto path = dir / "novrix_DebugLog.Txt";
    DebugLog log(path);
    ASSERT_TRUE(log.hasLogFile());
    log.setLogToFile(true);

    log.addBusLine("DLL GPIB OUT: *IDN?\r\n");
    EXPECT_EQ(readFile(path), "DLL GPIB OUT: *IDN?\r\n") << "a bus line is in the file when the call returns";
    log.addTransportLine("PLNET GPIB IN : 1.25E-3\r\n");
    log.addDiscoveryLine("Searching Prologix LAN controllers\r\n");
    log.addDiscoveryLine("\r\n");
    log.writeRawRecord("raw 3 bytes: 41 42 43\r\n");
    log.addBusLine("DLL GPIB IN : ACME,DMM1\r\n");

    EXPECT_EQ(readFile(path), "DLL GPIB OUT: *IDN?\r\n"
                              "PLNET GPIB IN : 1.25E-3\r\n\r\n"
                              "raw 3 bytes: 41 42 43\r\n"
                              "DLL GPIB IN : ACME,DMM1\r\n");
    EXPECT_EQ(log.takePending(),
              (std::vector<std::string>{"DLL GPIB OUT: *IDN?\r\n", "PLNET GPIB IN : 1.25E-3\r\n",
                                        "Searching Prologix LAN controllers\r\n", "\r\n",
                                        "DLL GPIB IN : ACME,DMM1\r\n"}));
    EXPECT_EQ(log.pendingCount(), 0u);
}

TEST(HostDebugLog, SwitchingLogToFileAffectsOnlyLaterLines) {
    TempDir dir;
    const auto path = dir / "log.Txt";
    DebugLog log(path);
    EXPECT_FALSE(log.logToFile()) << "off until the settings switch it on";
    log.addBusLine("before\r\n");
    log.addTransportLine("before too\r\n");
    log.writeRawRecord("raw before\r\n");
    EXPECT_EQ(readFile(path), "");
    log.setLogToFile(true);
    log.addBusLine("during\r\n");
    log.setLogToFile(false);
    log.addBusLine("after\r\n");
    EXPECT_EQ(readFile(path), "during\r\n");
    EXPECT_EQ(log.pendingCount(), 4u) << "the list gets every line whatever the switch says";
}

TEST(HostDebugLog, ListIsTakenOldestFirst) {
    DebugLog log;
    EXPECT_FALSE(log.hasLogFile());
    EXPECT_EQ(log.takeFirst(), std::nullopt);
    log.addBusLine("1\r\n");
    log.addDiscoveryLine("2\r\n");
    log.addTransportLine("3\r\n");
    EXPECT_EQ(log.takeFirst(), "1\r\n");
    EXPECT_EQ(log.takePending(), (std::vector<std::string>{"2\r\n", "3\r\n"}));
    log.addBusLine("4\r\n");
    log.clear();
    EXPECT_EQ(log.pendingCount(), 0u);
    EXPECT_TRUE(log.takePending().empty());
}

// Each program start appends: the first lines of the second start follow the last of the first.
TEST(HostDebugLog, FileGrowsAcrossProgramStarts) {
    TempDir dir;
    const auto path = dir / "novrix_DebugLog.Txt";
    {
        DebugLog first(path);
        first.setLogToFile(true);
        first.addBusLine("first start, line 1\r\n");
        first.addTransportLine("first start, line 2\r\n");
    }
    {
        DebugLog second(path);
        second.setLogToFile(true);
        second.addBusLine("second start\r\n");
    }
    EXPECT_EQ(readFile(path), "first start, line 1\r\nfirst start, line 2\r\n\r\nsecond start\r\n");
}

// Without a usable file the program goes on: every line still reaches the list, and nothing waits.
TEST(HostDebugLog, UnusableLogFileLeavesTheListWorking) {
    TempDir dir;
    ::mkfifo((dir / "pipe").c_str(), 0600); // nobody reads it: opening it for writing would wait forever
    std::filesystem::create_directory(dir / "folder");
    const std::filesystem::path unusable[] = {dir / "missing" / "log.Txt", dir / "folder", dir / "pipe"};
    for (const auto& path : unusable) {
        DebugLog log(path);
        EXPECT_FALSE(log.hasLogFile()) << path;
        log.setLogToFile(true);
        log.addBusLine("a\r\n");
        log.addTransportLine("b\r\n");
        log.writeRawRecord("c\r\n");
        EXPECT_EQ(log.takePending(), (std::vector<std::string>{"a\r\n", "b\r\n"})) << path;
    }
}

// A full disk: every write fails with ENOSPC. The lines still reach the list and the calls return.
TEST(HostDebugLog, FailedWritesAreIgnored) {
    DebugLog log("/dev/full");
    ASSERT_TRUE(log.hasLogFile());
    log.setLogToFile(true);
    for (int i = 0; i < 100; ++i) {
        log.addBusLine("bus\r\n");
        log.addTransportLine("transport\r\n");
        log.writeRawRecord("raw\r\n");
    }
    EXPECT_EQ(log.pendingCount(), 200u);

    // A file size limit ends writes midway (EFBIG) where a full disk would: later lines still go to the list.
    TempDir dir;
    const auto path = dir / "log.Txt";
    const int status = novrix::test::runInChild([&] {
        if (!novrix::test::limitFileSize(10))
            return 10;
        DebugLog limited(path);
        limited.setLogToFile(true);
        for (int i = 0; i < 50; ++i)
            limited.addBusLine("0123456789abcdef\r\n");
        return limited.pendingCount() == 50 ? 0 : 11;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(path), "0123456789");
}

// Two writer threads while the main thread switches LogToFile on and off: the file holds whole lines,
// each writer's in its own order, some but not all of them, and the list holds every line in order.
TEST(HostDebugLog, LogToFileSwitchedWhileOtherThreadsWrite) {
    TempDir dir;
    const auto path = dir / "log.Txt";
    DebugLog log(path);
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    auto writer = [&](char who) {
        for (int i = 0; !stop.load(); ++i) {
            const std::string line =
                std::string(1, who) + " " + std::to_string(i) + " " + std::string(40, who) + "\r\n";
            if (who == 'A')
                log.addBusLine(line);
            else
                log.addTransportLine(line);
            written.fetch_add(1);
        }
    };
    std::thread a(writer, 'A');
    std::thread b(writer, 'B');
    // Each state lasts until the writers have written some lines in it.
    auto waitForLines = [&](int n) {
        const int target = written.load() + n;
        while (written.load() < target)
            std::this_thread::yield();
    };
    for (int round = 0; round < 20; ++round) {
        log.setLogToFile(true);
        waitForLines(20);
        log.setLogToFile(false);
        waitForLines(20);
    }
    stop = true;
    a.join();
    b.join();

    const auto inFile = splitLines(readFile(path));
    const auto inList = log.takePending();
    ASSERT_EQ(inList.size(), static_cast<std::size_t>(written.load()));
    // "A 17 AAAA..." back into its writer and number; false for anything that is not a whole line.
    auto parse = [](const std::string& line, char& who, int& number) {
        std::istringstream in(line);
        in >> who >> number;
        return !in.fail() &&
               line == std::string(1, who) + " " + std::to_string(number) + " " + std::string(40, who);
    };
    int lastInFile[2] = {-1, -1};
    std::size_t linesInFile = 0;
    for (std::size_t i = 0; i < inFile.size(); ++i) {
        if (inFile[i].empty())
            continue; // the empty line after a transport line
        char who = 0;
        int number = 0;
        ASSERT_TRUE(parse(inFile[i], who, number)) << "torn line: " << inFile[i];
        ASSERT_TRUE(who == 'A' || who == 'B');
        int& last = lastInFile[who - 'A'];
        EXPECT_GT(number, last) << inFile[i];
        last = number;
        ++linesInFile;
        if (who == 'B') {
            ASSERT_LT(i + 1, inFile.size());
            EXPECT_EQ(inFile[i + 1], "") << "a transport line is followed by an empty line";
        }
    }
    EXPECT_GT(linesInFile, 0u);
    EXPECT_LT(linesInFile, inList.size()) << "lines written while logging was off reached the file";

    int lastInList[2] = {-1, -1};
    for (const auto& entry : inList) {
        char who = 0;
        int number = 0;
        ASSERT_TRUE(entry.ends_with("\r\n"));
        ASSERT_TRUE(parse(entry.substr(0, entry.size() - 2), who, number)) << entry;
        EXPECT_EQ(number, lastInList[who - 'A'] + 1);
        lastInList[who - 'A'] = number;
    }
}
