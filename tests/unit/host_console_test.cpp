// The console command queue (record layouts, field extraction, the drain), the console model's write rules
// and type-ahead buffer, and the timer pump's counting.
#include "host/console_model.h"
#include "host/console_queue.h"
#include "host/pump.h"

#include <gtest/gtest.h>

#include "console_test_support.h"
#include <initializer_list>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace novrix::host;

namespace {

using novrix::test::rec;

// Writes down every console call, in order.
class RecordingConsole : public ConsoleView {
public:
    void write(std::string_view text) override { calls.push_back("write[" + std::string(text) + "]"); }
    void clear() override { calls.emplace_back("clear"); }
    void clearToEndOfLine() override { calls.emplace_back("clearEol"); }
    void gotoXY(int column, int row) override {
        calls.push_back("goto " + std::to_string(column) + "," + std::to_string(row));
    }
    void showCaret(bool on) override { calls.emplace_back(on ? "caret on" : "caret off"); }
    void takeFocus() override { calls.emplace_back("focus"); }
    bool keyAvailable() override { return false; }
    bool takeKey(char&) override { return false; }

    std::vector<std::string> calls;
};

std::vector<std::string> drainAll(ConsoleQueue& q, ConsoleView& console) {
    std::vector<std::string> messages;
    q.drain(console, [&](const std::string& line) { messages.push_back(line); });
    return messages;
}

} // namespace

// --- records

TEST(HostConsoleQueue, RecordsHaveTheirLayouts) {
    struct Case {
        std::string built;
        std::string expected;
    } cases[] = {
        {writeRecord("ab c"), rec({"SCWR", "ab c"})},
        {writeLnRecord(""), rec({"SCWL", ""})},
        {clearRecord(), "CLRS"},
        {clearEolRecord(), "CLRE"},
        {caretRecord(true), "SWCS"},
        {caretRecord(false), "HDCS"},
        {gotoRecord(0, 0), rec({"CUTO", "0", "0"})},
        {gotoRecord(-6, 299), rec({"CUTO", "-6", "299"})},
        {gotoRecord(12, 7), rec({"CUTO", "12", "7"})},
        {debugLineRecord("14:03:07", "x"), rec({"SCWD", "14:03:07: x"})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.built, c.expected);
    EXPECT_EQ(rec({"SCWL", ""}).size(), 5u); // the empty text still has its NUL
}

TEST(HostConsoleQueue, FieldsAreTheRunsBetweenNuls) {
    struct Case {
        std::string record;
        int field;
        std::string expected;
    } cases[] = {
        {"SCWR", 1, "SCWR"}, // no NUL: the whole record is field 1
        {"SCWR", 2, ""},
        {rec({"SCWR", "ab"}), 1, "SCWR"},
        {rec({"SCWR", "ab"}), 2, "ab"},
        {rec({"SCWR", "ab"}), 3, ""}, // beyond the last field
        {rec({"CUTO", " 3", "-4"}), 2, " 3"},
        {rec({"CUTO", " 3", "-4"}), 3, "-4"},
        {rec({"SCWR", "ab", "cd"}), 2, "ab"}, // a NUL inside a text ends it
        {rec({"SCWR", "ab", ""}), 3, ""},
        {rec({"", "x"}), 1, ""},
        {rec({"", "x"}), 2, "x"},
        {rec({"a", "", "b"}), 2, ""},
        {rec({"a", "", "b"}), 3, "b"},
        {rec({"a", "b"}), 0, ""},
        {"", 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(recordField(c.record, c.field), c.expected) << "field " << c.field;
}

// --- the drain

TEST(HostConsoleQueue, DrainAppliesEveryKnownCodeAndDropsTheRest) {
    ConsoleQueue q;
    for (std::string r :
         {rec({"SCWR", "a\tb"}), rec({"SCWL", "line"}), rec({"SCWL", ""}), std::string("CLRS"),
          std::string("CLRE"), std::string("SWCS"), std::string("HDCS"), rec({"CUTO", " 7", "-2"}),
          rec({"SCWD", "14:03:07: x"}), rec({"scwr", "lower case"}), rec({"SCWRX", "longer code"}),
          rec({"XXXX", "y"}), std::string("CLRS\t"), rec({"SCWR", "ab", "cd"}), rec({"SCWR"}),
          rec({"SCWD", "tab\there"})})
        q.append(r);
    RecordingConsole console;
    std::vector<std::string> messages = drainAll(q, console);

    EXPECT_EQ(console.calls,
              (std::vector<std::string>{"write[a b]", "write[line\r\n]", "write[\r\n]", "clear", "clearEol",
                                        "caret on", "caret off", "goto 7,-2", "write[ab]", "write[]"}));
    EXPECT_EQ(messages, (std::vector<std::string>{"14:03:07: x", "tab here"}));
    EXPECT_EQ(q.size(), 0u);
}

TEST(HostConsoleQueue, GotoCoordinatesThatAreMissingOrMalformedCountAsMinusOne) {
    struct Case {
        std::string record;
        std::string expected;
    } cases[] = {
        {rec({"CUTO", "0", "0"}), "goto 0,0"},
        {rec({"CUTO", "  12", "+3"}), "goto 12,3"},
        {rec({"CUTO", "x", "5"}), "goto -1,5"},
        {rec({"CUTO", "5"}), "goto 5,-1"},
        {"CUTO", "goto -1,-1"},
        {rec({"CUTO", "", ""}), "goto -1,-1"},
        {rec({"CUTO", "3 ", "4"}), "goto -1,4"},
        {rec({"CUTO", "99999999999", "1"}), "goto -1,1"},
    };
    for (const Case& c : cases) {
        ConsoleQueue q;
        q.append(c.record);
        RecordingConsole console;
        drainAll(q, console);
        EXPECT_EQ(console.calls, std::vector<std::string>{c.expected});
    }
}

TEST(HostConsoleQueue, ClampedGotoOnTheModel) {
    ConsoleQueue q;
    ConsoleModel console;
    q.append(gotoRecord(-6, 299));
    drainAll(q, console);
    EXPECT_EQ(console.cursorColumn(), 0);
    EXPECT_EQ(console.cursorRow(), 254);
    q.append(rec({"CUTO", "x"}));
    drainAll(q, console);
    EXPECT_EQ(console.cursorColumn(), 0);
    EXPECT_EQ(console.cursorRow(), 0);
}

TEST(HostConsoleQueue, TenThousandWritesFromAnotherThreadAllArriveInOrder) {
    constexpr int kWrites = 10000;
    ConsoleQueue q;
    std::string expected;
    for (int i = 0; i < kWrites; ++i)
        expected += std::to_string(i) + ",";

    std::string shown;
    class Collector : public RecordingConsole {
    public:
        explicit Collector(std::string& out) : out_(out) {}
        void write(std::string_view text) override { out_ += text; }

    private:
        std::string& out_;
    } console(shown);

    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < kWrites; ++i)
            q.append(writeRecord(std::to_string(i) + ","));
        done = true;
    });
    int passes = 0;
    while (!done || q.size() > 0) {
        drainAll(q, console);
        ++passes;
    }
    writer.join();
    EXPECT_EQ(shown, expected);
    EXPECT_GE(passes, 1);
}

TEST(HostConsoleQueue, RecordsAppendedDuringAPassWaitForTheNext) {
    ConsoleQueue q;
    // Appends one record while the first is being applied, as a script thread would.
    class Appending : public RecordingConsole {
    public:
        explicit Appending(ConsoleQueue& q) : q_(q) {}
        void write(std::string_view text) override {
            RecordingConsole::write(text);
            if (calls.size() == 1)
                q_.append(writeRecord("late"));
        }

    private:
        ConsoleQueue& q_;
    } console(q);

    q.append(writeRecord("one"));
    q.append(writeRecord("two"));
    EXPECT_EQ(q.drain(console, {}), 2u);
    EXPECT_EQ(console.calls, (std::vector<std::string>{"write[one]", "write[two]"}));
    ASSERT_EQ(q.copyHead(), std::vector<std::string>{writeRecord("late")});

    EXPECT_EQ(q.drain(console, {}), 1u);
    EXPECT_EQ(console.calls.back(), "write[late]");
    EXPECT_EQ(q.size(), 0u);
}

TEST(HostConsoleQueue, ADrainAskedForWhileOneAppliesDoesNothing) {
    ConsoleQueue q;
    RecordingConsole console;
    std::vector<std::string> messages;
    // The message sink flushes the console before each line, as a terminal does.
    std::function<void(const std::string&)> sink = [&](const std::string& line) {
        EXPECT_EQ(q.drain(console, sink), 0u);
        messages.push_back(line);
    };
    q.append(writeRecord("before"));
    q.append(debugLineRecord("14:03:07", "x"));
    q.append(writeRecord("after"));
    EXPECT_EQ(q.drain(console, sink), 3u);
    EXPECT_EQ(console.calls, (std::vector<std::string>{"write[before]", "write[after]"}));
    EXPECT_EQ(messages, std::vector<std::string>{"14:03:07: x"});
    EXPECT_EQ(q.size(), 0u);

    q.append(writeRecord("next")); // the guard is released after a pass
    EXPECT_EQ(q.drain(console, sink), 1u);
}

// --- the console model

TEST(HostConsoleModel, WrapsAfterTheLastColumn) {
    ConsoleModel m;
    std::string row(ConsoleModel::kColumns, 'a');
    m.write(row);
    EXPECT_EQ(m.cursorColumn(), 0);
    EXPECT_EQ(m.cursorRow(), 1);
    m.write("bc");
    EXPECT_EQ(m.rowText(0), row);
    EXPECT_EQ(m.rowText(1), "bc");
    EXPECT_EQ(m.cursorColumn(), 2);
}

TEST(HostConsoleModel, ScrollsAfterTheLastRow) {
    ConsoleModel m;
    m.write("top\r\nsecond");
    m.gotoXY(0, 254);
    m.write("last\r\nnext");
    EXPECT_EQ(m.rowText(0), "second");
    EXPECT_EQ(m.rowText(253), "last");
    EXPECT_EQ(m.rowText(254), "next");
    EXPECT_EQ(m.cursorRow(), 254);
    EXPECT_EQ(m.cursorColumn(), 4);

    // Wrapping at the end of the last row scrolls too.
    m.gotoXY(254, 254);
    m.write("yz");
    EXPECT_EQ(m.cell(254, 253), 'y');
    EXPECT_EQ(m.rowText(254), "z");
    EXPECT_EQ(m.rowText(252), "last");
}

TEST(HostConsoleModel, ControlCodes) {
    struct Case {
        std::string text;
        std::string row0;
        std::string row1;
        int column;
        int row;
    } cases[] = {
        {"abc\rX", "Xbc", "", 1, 0},
        {"ab\ncd", "ab", "  cd", 4, 1}, // LF keeps the column
        {"abc\b\bX", "aX", "", 2, 0},   // BS blanks the cell it moves onto
        {"\bq", "q", "", 1, 0},         // nothing at column 0
        {"a\nb\r\b", "a", " b", 0, 1},  // BS does not reach back into the row above
        {"a\x01\t\x1b\x7f"
         "b",
         "a\x7f"
         "b",
         "", 3, 0}, // codes below 32 are dropped, 127 is shown
        {"\r\n", "", "", 0, 1},
    };
    for (const Case& c : cases) {
        ConsoleModel m;
        m.write(c.text);
        EXPECT_EQ(m.rowText(0), c.row0) << c.text;
        EXPECT_EQ(m.rowText(1), c.row1) << c.text;
        EXPECT_EQ(m.cursorColumn(), c.column) << c.text;
        EXPECT_EQ(m.cursorRow(), c.row) << c.text;
    }
}

TEST(HostConsoleModel, BelBeepsWithoutTakingACell) {
    ConsoleModel m;
    int handled = 0;
    m.setBeepHandler([&] { ++handled; });
    m.write("a\ab\a\a");
    EXPECT_EQ(m.rowText(0), "ab");
    EXPECT_EQ(m.beepCount(), 3);
    EXPECT_EQ(handled, 3);
}

TEST(HostConsoleModel, ClearsAndCaret) {
    ConsoleModel m;
    m.write("abcdef\r\nsecond");
    m.gotoXY(2, 0);
    m.clearToEndOfLine();
    EXPECT_EQ(m.rowText(0), "ab");
    EXPECT_EQ(m.rowText(1), "second");
    EXPECT_EQ(m.cursorColumn(), 2);

    const uint64_t before = m.revision();
    m.showCaret(true);
    EXPECT_TRUE(m.caretVisible());
    EXPECT_GT(m.revision(), before);
    m.showCaret(false);
    EXPECT_FALSE(m.caretVisible());

    m.clear();
    EXPECT_EQ(m.rowText(0), "");
    EXPECT_EQ(m.rowText(1), "");
    EXPECT_EQ(m.cursorColumn(), 0);
    EXPECT_EQ(m.cursorRow(), 0);
}

TEST(HostConsoleModel, GotoClampsEachCoordinate) {
    struct Case {
        int column, row, wantColumn, wantRow;
    } cases[] = {{0, 0, 0, 0}, {-5, 300, 0, 254}, {254, 254, 254, 254}, {255, -1, 254, 0}, {10, 20, 10, 20}};
    for (const Case& c : cases) {
        ConsoleModel m;
        m.gotoXY(c.column, c.row);
        EXPECT_EQ(m.cursorColumn(), c.wantColumn);
        EXPECT_EQ(m.cursorRow(), c.wantRow);
    }
}

TEST(HostConsoleModel, TypeAheadHoldsSixtyFourCharactersOldestFirst) {
    ConsoleModel m;
    for (int i = 0; i < 64; ++i)
        EXPECT_TRUE(m.typeKey(char('0' + i % 64)));
    EXPECT_FALSE(m.typeKey('!')); // the 65th is lost
    EXPECT_TRUE(m.keyAvailable());
    EXPECT_TRUE(m.keyAvailable()); // asking takes nothing

    std::string taken;
    char k = 0;
    while (m.takeKey(k))
        taken += k;
    ASSERT_EQ(taken.size(), 64u);
    EXPECT_EQ(taken.front(), '0');
    EXPECT_EQ(taken.back(), char('0' + 63));
    EXPECT_EQ(taken.find('!'), std::string::npos);
    EXPECT_FALSE(m.keyAvailable());

    EXPECT_TRUE(m.typeKey('x')); // room again
    EXPECT_FALSE(m.inputEnded());
    m.setInputEnded();
    EXPECT_TRUE(m.inputEnded());
    EXPECT_TRUE(m.takeKey(k)); // a key typed before the end still counts
    EXPECT_EQ(k, 'x');
}

TEST(HostConsoleModel, TakeFocusReachesTheHandler) {
    ConsoleModel m;
    int focused = 0;
    m.setFocusHandler([&] { ++focused; });
    m.takeFocus();
    EXPECT_EQ(focused, 1);
    EXPECT_EQ(m.focusRequests(), 1);
}

// --- the timer pump

namespace {

class PumpFrontend : public Frontend {
public:
    void setStatusText(int, const std::string&) override {}
    void clearMessages() override { messages.clear(); }
    void addMessage(const std::string& line) override { messages.push_back(line); }
    void setActiveLine(int) override {}
    void repaintEditor() override {}
    std::string scriptText() override { return {}; }
    void collapseToConsole() override {}
    void restoreLayout() override {}
    void clearDebugConsole() override {}
    void toggleLed(Led led) override {
        if (led == Led::Heartbeat)
            ++heartbeatToggles;
    }
    void processEvents(bool) override {}
    ConsoleView& console() override { return model; }

    ConsoleModel model;
    std::vector<std::string> messages;
    int heartbeatToggles = 0;
};

} // namespace

TEST(HostPump, DrainsOnEveryEleventhTick) {
    ConsoleQueue q;
    PumpFrontend fe;
    Pump pump(q, fe);
    q.append(writeRecord("hello"));
    q.append(debugLineRecord("14:03:07", "x"));
    for (int i = 0; i < 10; ++i)
        pump.tick();
    EXPECT_EQ(q.size(), 2u);
    EXPECT_EQ(fe.model.rowText(0), "");
    EXPECT_EQ(pump.drainCounter(), 10);

    pump.tick(); // the 11th
    EXPECT_EQ(q.size(), 0u);
    EXPECT_EQ(fe.model.rowText(0), "hello");
    EXPECT_EQ(fe.messages, std::vector<std::string>{"14:03:07: x"});
    EXPECT_EQ(pump.drainCounter(), 0);

    q.append(writeRecord("!"));
    for (int i = 0; i < 10; ++i)
        pump.tick();
    EXPECT_EQ(q.size(), 1u);
    pump.tick(); // the 22nd
    EXPECT_EQ(fe.model.rowText(0), "hello!");
}

TEST(HostPump, TogglesTheHeartbeatOnEveryFiftyFirstTick) {
    ConsoleQueue q;
    PumpFrontend fe;
    Pump pump(q, fe);
    for (int i = 0; i < 50; ++i)
        pump.tick();
    EXPECT_EQ(fe.heartbeatToggles, 0);
    pump.tick();
    EXPECT_EQ(fe.heartbeatToggles, 1);
    EXPECT_EQ(pump.ledCounter(), 0);
    for (int i = 0; i < 50; ++i)
        pump.tick();
    EXPECT_EQ(fe.heartbeatToggles, 1);
    pump.tick();
    EXPECT_EQ(fe.heartbeatToggles, 2);
    for (int i = 0; i < 51 * 8; ++i)
        pump.tick();
    EXPECT_EQ(fe.heartbeatToggles, 10);
}

TEST(HostPump, ServesTheDdeRequestsFirstOnEveryTick) {
    ConsoleQueue q;
    std::vector<std::string> order;
    // The drain shows up in the order as the console write it causes.
    class Noting : public ConsoleModel {
    public:
        explicit Noting(std::vector<std::string>& order) : order_(order) {}
        void write(std::string_view text) override {
            order_.push_back("write");
            ConsoleModel::write(text);
        }

    private:
        std::vector<std::string>& order_;
    };
    struct NotingFrontend : PumpFrontend {
        explicit NotingFrontend(std::vector<std::string>& order) : noting(order) {}
        ConsoleView& console() override { return noting; }
        Noting noting;
    } nfe(order);
    Pump pump(q, nfe,
              PumpDdeHooks{[&] { order.push_back("create"); }, [&] { order.push_back("read"); },
                           [&] { order.push_back("assign"); }});
    q.append(writeRecord("x"));
    for (int i = 0; i < 11; ++i)
        pump.tick();
    ASSERT_EQ(order.size(), 11u * 3 + 1);
    for (size_t t = 0; t < 11; ++t) {
        EXPECT_EQ(order[t * 3], "create");
        EXPECT_EQ(order[t * 3 + 1], "read");
        EXPECT_EQ(order[t * 3 + 2], "assign");
    }
    EXPECT_EQ(order.back(), "write");
}
