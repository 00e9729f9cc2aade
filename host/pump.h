#pragma once
// The main window's 1 ms timer handler (Timer1Timer), without the timer: on every tick it serves the DDE
// request flags, drains the console command queue every 11th tick and switches the heartbeat LED every
// 51st. Both counters start at 0 and are never reset, so the LED blinks whether or not a script runs.
#include "host/console_queue.h"
#include "host/frontend.h"

#include <functional>
#include <utility>

namespace novrix::host {

// The three DDE request steps, carried out in this order at the start of every tick. Each checks its own
// request flag and clears it (the DDE functions own that handshake); an empty hook does nothing.
struct PumpDdeHooks {
    std::function<void()> clientCreateRequest;
    std::function<void()> clientReadRequest;
    std::function<void()> serverAssignRequest;
};

class Pump {
public:
    // A counter that passes its bound starts again at 0: the queue is drained every 11th tick, the LED
    // switched every 51st.
    static constexpr int kDrainAbove = 10;
    static constexpr int kLedAbove = 50;

    Pump(ConsoleQueue& queue, Frontend& frontend, PumpDdeHooks dde = {})
        : queue_(queue), frontend_(frontend), dde_(std::move(dde)) {}

    // One timer tick, on the main thread.
    void tick();

    int drainCounter() const { return drainCounter_; }
    int ledCounter() const { return ledCounter_; }

private:
    ConsoleQueue& queue_;
    Frontend& frontend_;
    PumpDdeHooks dde_;
    int drainCounter_ = 0;
    int ledCounter_ = 0;
};

} // namespace novrix::host
