#pragma once
// The console group of NOVRIX_ functions: screen output and the debug-log line, posted as records to the
// console command queue (they never touch the console and never wait), and the keyboard, read from the
// console's type-ahead buffer by polling.
#include "host/console_queue.h"
#include "host/frontend.h"
#include "library/named_native.h"
#include "library/script_context.h"

#include <chrono>
#include <functional>
#include <vector>

namespace novrix::host {

using library::NamedNative;
using library::ScriptContext;

struct ConsoleHooks {
    // Lets pending user-interface events be processed, so that keys just typed reach the buffer. The host
    // makes it do nothing while the script runs on the execution thread; empty: nothing to process.
    std::function<void()> serviceEvents;
    // A read found the buffer empty and the console's input ended, so no key can come: the host ends the
    // run as Reset does (and says why). Empty: the read just returns.
    std::function<void()> onInputEnded;
    // The local wall clock as a TDateTime, for the debug line's time stamp; empty: the real clock.
    std::function<double()> clock;
    // The pause between two looks at the type-ahead buffer.
    std::chrono::milliseconds pollInterval{10};
};

// NOVRIX_ScreenGotoXY, ScreenClear, ScreenClearEol, ScreenWrite, ScreenWriteLn, ScreenCursorOn,
// ScreenCursorOff, DebugWriteLn, KbdReadLn, KbdKeypressed, KbdReadKey, in registration order.
//
// NOVRIX_KbdReadKey takes the oldest typed character without echo, waiting for one when there is none; the
// wait ends with #0 when the run is stopped or the input ended. NOVRIX_KbdReadLn collects characters up to
// Enter, echoing each to the console (BS takes the last one back), and returns the line with every '.' and
// ',' made the locale's decimal separator; a stop or the end of the input returns what was typed so far,
// and the end of the input before any character ends the run as for ReadKey.
//
// The references must outlive every run of the compiled script.
std::vector<NamedNative> consoleBindings(host::ConsoleQueue& queue, host::ConsoleView& console,
                                         const ScriptContext& context, ConsoleHooks hooks = {});

} // namespace novrix::host
