#include "host/console_functions.h"

#include "engine/runtime/date_format.h"
#include "engine/runtime/date_time.h"
#include "library/text_value.h"

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <utility>

namespace novrix::host {

using library::textOfValue;

namespace {

using engine::NativeCall;
using Clock = std::chrono::steady_clock;

constexpr char kEnter = '\r';
constexpr char kBackspace = '\b';
// How long an echo waits for output posted before it to reach the console. The pump drains every 11 ms;
// the bound keeps a host that does not pump from stalling the read.
constexpr std::chrono::milliseconds kEchoCatchUp{100};

class ConsoleFunctions {
public:
    ConsoleFunctions(host::ConsoleQueue& queue, host::ConsoleView& console, const ScriptContext& context,
                     ConsoleHooks hooks)
        : queue_(queue), console_(console), context_(context), hooks_(std::move(hooks)) {}

    void post(std::string record) { queue_.append(std::move(record)); }
    std::string text(const NativeCall& c) const { return textOfValue(c.variantArg(0), context_.locale); }

    void debugWriteLn(const NativeCall& c) {
        const double now = hooks_.clock ? hooks_.clock() : rt::now();
        // "mm" right after "hh" means minutes; ':' is the locale's time separator.
        post(host::debugLineRecord(rt::formatDateTime("hh:mm:ss", now, context_.locale), text(c)));
    }

    void gotoXY(const NativeCall& c) {
        // x - 1 in Integer arithmetic, wrapping as the script's own would.
        auto lessOne = [](int64_t v) { return int(int32_t(uint32_t(v) - 1u)); };
        post(host::gotoRecord(lessOne(c.intArg(0)), lessOne(c.intArg(1))));
    }

    void keypressed(NativeCall& c) {
        serviceEvents();
        c.returnBool(console_.keyAvailable());
    }

    void readKey(NativeCall& c) {
        char key = 0;
        if (console_.takeKey(key))
            return c.returnChar(key);
        console_.takeFocus();
        for (;;) {
            if (console_.takeKey(key))
                return c.returnChar(key);
            if (inputEndedForGood()) {
                if (hooks_.onInputEnded)
                    hooks_.onInputEnded();
                return c.returnChar('\0');
            }
            if (c.stopRequested())
                return c.returnChar('\0');
            pause();
        }
    }

    void readLn(NativeCall& c) {
        std::string line;
        bool readAny = false;
        console_.takeFocus();
        for (bool done = false; !done;) {
            pause();
            char key = 0;
            while (!done && console_.takeKey(key)) {
                readAny = true;
                if (key == kEnter) {
                    done = true;
                    break;
                }
                echo(c, key);
                if (key == kBackspace) {
                    if (!line.empty())
                        line.pop_back();
                } else {
                    line += key;
                }
            }
            if (done)
                break;
            if (inputEndedForGood()) {
                // A last line without Enter still counts; a read with nothing at all left ends the run.
                if (!readAny && hooks_.onInputEnded)
                    hooks_.onInputEnded();
                break;
            }
            if (c.stopRequested())
                break;
        }
        const char separator = context_.locale.decimalSeparator;
        if (separator != '\0')
            std::replace_if(
                line.begin(), line.end(), [](char ch) { return ch == '.' || ch == ','; }, separator);
        engine::NativeVariant v;
        v.tag = engine::NativeVariant::Tag::String;
        v.s = std::move(line);
        c.returnVariant(v);
    }

private:
    void serviceEvents() {
        if (hooks_.serviceEvents)
            hooks_.serviceEvents();
    }

    void pause() {
        std::this_thread::sleep_for(hooks_.pollInterval);
        serviceEvents();
    }

    // Checked after the buffer was found empty: a key typed just before the input ended still counts.
    bool inputEndedForGood() { return console_.inputEnded() && !console_.keyAvailable(); }

    // The echo goes to the console directly, so a prompt the script posted just before the read has to be
    // shown first.
    void echo(const NativeCall& c, char key) {
        const auto deadline = Clock::now() + kEchoCatchUp;
        while (queue_.size() > 0 && Clock::now() < deadline && !c.stopRequested()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            serviceEvents();
        }
        console_.write(std::string_view(&key, 1));
    }

    host::ConsoleQueue& queue_;
    host::ConsoleView& console_;
    const ScriptContext& context_;
    ConsoleHooks hooks_;
};

} // namespace

std::vector<NamedNative> consoleBindings(host::ConsoleQueue& queue, host::ConsoleView& console,
                                         const ScriptContext& context, ConsoleHooks hooks) {
    auto f = std::make_shared<ConsoleFunctions>(queue, console, context, std::move(hooks));
    return {
        {"NOVRIX_ScreenGotoXY", [f](NativeCall& c) { f->gotoXY(c); }},
        {"NOVRIX_ScreenClear", [f](NativeCall&) { f->post(host::clearRecord()); }},
        {"NOVRIX_ScreenClearEol", [f](NativeCall&) { f->post(host::clearEolRecord()); }},
        {"NOVRIX_ScreenWrite", [f](NativeCall& c) { f->post(host::writeRecord(f->text(c))); }},
        {"NOVRIX_ScreenWriteLn", [f](NativeCall& c) { f->post(host::writeLnRecord(f->text(c))); }},
        {"NOVRIX_ScreenCursorOn", [f](NativeCall&) { f->post(host::caretRecord(true)); }},
        {"NOVRIX_ScreenCursorOff", [f](NativeCall&) { f->post(host::caretRecord(false)); }},
        {"NOVRIX_DebugWriteLn", [f](NativeCall& c) { f->debugWriteLn(c); }},
        {"NOVRIX_KbdReadLn", [f](NativeCall& c) { f->readLn(c); }},
        {"NOVRIX_KbdKeypressed", [f](NativeCall& c) { f->keypressed(c); }},
        {"NOVRIX_KbdReadKey", [f](NativeCall& c) { f->readKey(c); }},
    };
}

} // namespace novrix::host
