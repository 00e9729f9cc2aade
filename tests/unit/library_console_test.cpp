// The console group of NOVRIX_ functions, run from scripts: the records the output functions post, what a
// drain then shows, and the keyboard reads against the console model's type-ahead buffer.
#include "engine/engine.h"
#include "engine/runtime/date_time.h"
#include "host/console_model.h"
#include "host/console_queue.h"
#include "library/catalogue.h"
#include "host/console_functions.h"

#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>

#include "console_test_support.h"
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

using namespace novrix;
using namespace std::chrono_literals;

namespace {

using novrix::test::rec;

class LibraryConsole : public ::testing::Test {
protected:
    void SetUp() override {
        context.locale = rt::FormatSettings::invariant();
        hooks.pollInterval = 1ms;
    }

    // Registers the console rows of the catalogue with their implementations, then compiles.
    void compile(const std::string& script) {
        std::vector<library::NamedNative> bindings = host::consoleBindings(queue, console, context, hooks);
        engine.onCompile = [bindings](engine::Engine& e) {
            for (const library::NovrixFunction& f : library::novrixFunctions()) {
                if (f.group != library::FunctionGroup::Console)
                    continue;
                for (const library::NamedNative& b : bindings)
                    if (b.name == f.name)
                        e.addDeclaration(std::string(f.text), b.fn);
            }
        };
        engine.setOutput([this](std::string_view s) {
            std::lock_guard guard(outputLock);
            output.append(s);
        });
        ASSERT_TRUE(engine.compile(script)) << ::testing::PrintToString(engine.messageLines());
    }

    std::string run(const std::string& script) {
        compile(script);
        if (!engine.execute())
            output += engine.runtimeErrorLine();
        return output;
    }

    // Starts the script on its own thread, as the execution thread runs it.
    std::future<bool> start(const std::string& script) {
        compile(script);
        return std::async(std::launch::async, [this] { return engine.execute(); });
    }

    // Waits for a started run; a run that does not end is released with keys so that the test can finish.
    bool finishes(std::future<bool>& run, std::chrono::milliseconds within) {
        if (run.wait_for(within) == std::future_status::ready)
            return true;
        engine.stop();
        for (int i = 0; i < 3; ++i)
            console.typeKey('\r');
        run.wait();
        return false;
    }

    std::string typed(const std::string& keys) {
        for (char k : keys)
            EXPECT_TRUE(console.typeKey(k));
        return keys;
    }

    host::ConsoleQueue queue;
    host::ConsoleModel console;
    library::ScriptContext context;
    host::ConsoleHooks hooks;
    engine::Engine engine;
    std::mutex outputLock;
    std::string output;
};

} // namespace

TEST_F(LibraryConsole, BindsEveryConsoleRowOfTheCatalogueInItsOrder) {
    std::vector<std::string_view> rows;
    for (const library::NovrixFunction& f : library::novrixFunctions())
        if (f.group == library::FunctionGroup::Console)
            rows.push_back(f.name);
    const std::vector<library::NamedNative> bindings = host::consoleBindings(queue, console, context);
    std::vector<std::string_view> bound;
    for (const library::NamedNative& b : bindings) {
        bound.push_back(b.name);
        EXPECT_TRUE(bool(b.fn)) << b.name;
    }
    EXPECT_EQ(bound, rows);
}

TEST_F(LibraryConsole, OutputFunctionsPostOneRecordEach) {
    hooks.clock = [] { return rt::encodeDate(2024, 3, 5) + rt::encodeTime(14, 3, 7, 0); };
    context.locale.timeSeparator = '.';
    run("begin\n"
        "  NOVRIX_ScreenWrite(1.5);\n"
        "  NOVRIX_ScreenWrite(-0.00125);\n"
        "  NOVRIX_ScreenWrite(15);\n"
        "  NOVRIX_ScreenWrite('a'#9'b');\n"
        "  NOVRIX_ScreenWriteLn('');\n"
        "  NOVRIX_ScreenWriteLn('done');\n"
        "  NOVRIX_ScreenClear;\n"
        "  NOVRIX_ScreenClearEol;\n"
        "  NOVRIX_ScreenCursorOn;\n"
        "  NOVRIX_ScreenCursorOff;\n"
        "  NOVRIX_ScreenGotoXY(1, 1);\n"
        "  NOVRIX_ScreenGotoXY(0, 0);\n"
        "  NOVRIX_ScreenGotoXY(-5, 300);\n"
        "  NOVRIX_DebugWriteLn('x');\n"
        "  NOVRIX_DebugWriteLn(2.5);\n"
        "end.");
    EXPECT_EQ(output, "");
    EXPECT_EQ(queue.copyHead(), (std::vector<std::string>{
                                    rec({"SCWR", " 1.50000000000000E+0000"}),
                                    rec({"SCWR", "-1.25000000000000E-0003"}),
                                    rec({"SCWR", "15"}),
                                    rec({"SCWR", "a\tb"}), // TABs are replaced when the record is applied
                                    rec({"SCWL", ""}),
                                    rec({"SCWL", "done"}),
                                    "CLRS",
                                    "CLRE",
                                    "SWCS",
                                    "HDCS",
                                    rec({"CUTO", "0", "0"}),
                                    rec({"CUTO", "-1", "-1"}),
                                    rec({"CUTO", "-6", "299"}),
                                    rec({"SCWD", "14.03.07: x"}),
                                    rec({"SCWD", "14.03.07:  2.50000000000000E+0000"}),
                                }));
}

TEST_F(LibraryConsole, PostedOutputAppearsAfterADrain) {
    hooks.clock = [] { return rt::encodeTime(9, 5, 0, 0); };
    run("begin\n"
        "  NOVRIX_ScreenWrite('a'#9'b');\n"
        "  NOVRIX_ScreenWriteLn('');\n"
        "  NOVRIX_ScreenWrite(15);\n"
        "  NOVRIX_ScreenWrite('x'#0'hidden');\n"
        "  NOVRIX_DebugWriteLn('started');\n"
        "end.");
    std::vector<std::string> messages;
    queue.drain(console, [&](const std::string& l) { messages.push_back(l); });
    EXPECT_EQ(console.rowText(0), "a b");
    EXPECT_EQ(console.rowText(1), "15x");
    EXPECT_EQ(messages, std::vector<std::string>{"09:05:00: started"});

    output.clear();
    run("begin NOVRIX_ScreenGotoXY(-5, 300); end.");
    queue.drain(console, {});
    EXPECT_EQ(console.cursorColumn(), 0);
    EXPECT_EQ(console.cursorRow(), 254);
    run("begin NOVRIX_ScreenGotoXY(1, 1); end.");
    queue.drain(console, {});
    EXPECT_EQ(console.cursorColumn(), 0);
    EXPECT_EQ(console.cursorRow(), 0);
}

TEST_F(LibraryConsole, KeypressedDoesNotConsumeAndReadKeyDoesNotEcho) {
    typed("k");
    EXPECT_EQ(
        run("begin WriteLn(NOVRIX_KbdKeypressed, ' ', NOVRIX_KbdKeypressed, ' ', NOVRIX_KbdReadKey, ' ',"
            " NOVRIX_KbdKeypressed); end."),
        "TRUE TRUE k FALSE\n");
    EXPECT_EQ(console.rowText(0), "");
    EXPECT_EQ(queue.size(), 0u);
}

TEST_F(LibraryConsole, KeypressedLetsPendingEventsDeliverKeysFirst) {
    int serviced = 0;
    hooks.serviceEvents = [&] {
        if (++serviced == 1)
            console.typeKey('q');
    };
    EXPECT_EQ(run("begin WriteLn(NOVRIX_KbdKeypressed); end."), "TRUE\n");
    EXPECT_EQ(serviced, 1);
}

TEST_F(LibraryConsole, ReadLnEditsEchoesAndConvertsTheLine) {
    struct Case {
        std::string keys;
        char separator;
        std::string result;
        std::string echo;
    } cases[] = {
        {"3.5\r", ',', "3,5", "3.5"}, {"1,25\r", '.', "1.25", "1,25"}, {"1\b2\r", '.', "2", "2"},
        {"\r", ',', "", ""},          {"\b\bab\r", '.', "ab", "ab"},   {"a,b.c\r", ',', "a,b,c", "a,b.c"},
    };
    for (const Case& c : cases) {
        console.clear();
        output.clear();
        context.locale.decimalSeparator = c.separator;
        typed(c.keys);
        EXPECT_EQ(run("var s: Variant; begin s := NOVRIX_KbdReadLn; WriteLn('[', s, ']'); end."),
                  "[" + c.result + "]\n")
            << c.keys;
        // Enter is not echoed: the cursor stays after the last character typed.
        EXPECT_EQ(console.rowText(0), c.echo) << c.keys;
        EXPECT_EQ(console.cursorColumn(), int(c.echo.size())) << c.keys;
        EXPECT_EQ(console.cursorRow(), 0) << c.keys;
    }
    EXPECT_GE(console.focusRequests(), 1);
}

TEST_F(LibraryConsole, ReadLnLeavesKeysAfterEnterForTheNextRead) {
    typed("ab\rcd\r");
    EXPECT_EQ(run("var s, t: Variant; begin s := NOVRIX_KbdReadLn; t := NOVRIX_KbdReadKey;"
                  " WriteLn(s, '|', t); end."),
              "ab|c\n");
    char k = 0;
    ASSERT_TRUE(console.takeKey(k));
    EXPECT_EQ(k, 'd');
}

TEST_F(LibraryConsole, ReadKeyWaitsForAKeyTypedLater) {
    auto result = start("begin WriteLn(NOVRIX_KbdReadKey); end.");
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(result.wait_for(0ms), std::future_status::timeout);
    console.typeKey('z');
    ASSERT_TRUE(finishes(result, 5s));
    EXPECT_TRUE(result.get());
    EXPECT_EQ(output, "z\n");
    EXPECT_EQ(console.focusRequests(), 1);
}

TEST_F(LibraryConsole, ReadKeyEndsWhenTheRunIsStopped) {
    auto result = start("var c: Char; begin c := NOVRIX_KbdReadKey; end.");
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(result.wait_for(0ms), std::future_status::timeout);
    engine.stop();
    ASSERT_TRUE(finishes(result, 5s));
    EXPECT_TRUE(result.get()); // a stop ends the run as a success
}

TEST_F(LibraryConsole, ReadLnEndsWhenTheRunIsStopped) {
    typed("12");
    auto result = start("var s: Variant; begin s := NOVRIX_KbdReadLn; end.");
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(result.wait_for(0ms), std::future_status::timeout);
    engine.stop();
    ASSERT_TRUE(finishes(result, 5s));
    EXPECT_TRUE(result.get());
    EXPECT_EQ(console.rowText(0), "12");
}

TEST_F(LibraryConsole, ReadKeyAtTheEndOfInputEndsTheRun) {
    int ended = 0;
    hooks.onInputEnded = [&] { ++ended; };
    typed("y");
    console.setInputEnded();
    // The key typed before the end is still read; the next read has nothing left.
    EXPECT_EQ(run("begin WriteLn(Ord(NOVRIX_KbdReadKey)); WriteLn(Ord(NOVRIX_KbdReadKey)); end."),
              "121\n0\n");
    EXPECT_EQ(ended, 1);
}

TEST_F(LibraryConsole, ReadLnAtTheEndOfInputReturnsWhatWasTyped) {
    int ended = 0;
    hooks.onInputEnded = [&] { ++ended; };
    typed("4.5");
    console.setInputEnded();
    context.locale.decimalSeparator = ',';
    EXPECT_EQ(run("var s: Variant; begin s := NOVRIX_KbdReadLn; WriteLn('[', s, ']'); "
                  "WriteLn(NOVRIX_KbdKeypressed);"
                  " s := NOVRIX_KbdReadLn; WriteLn('[', s, ']'); end."),
              "[4,5]\nFALSE\n[]\n");
    EXPECT_EQ(ended, 1); // only the read that found nothing at all ends the run
}

TEST_F(LibraryConsole, ReadLnEchoFollowsAPromptPostedJustBefore) {
    // A slow pump on another thread: the keys are there long before it drains the prompt.
    std::atomic<bool> pumping{true};
    std::thread pump([&] {
        while (pumping) {
            std::this_thread::sleep_for(20ms);
            queue.drain(console, {});
        }
    });
    typed("7\r");
    run("var s: Variant; begin NOVRIX_ScreenWrite('Value? '); s := NOVRIX_KbdReadLn; end.");
    pumping = false;
    pump.join();
    EXPECT_EQ(console.rowText(0), "Value? 7");
}
