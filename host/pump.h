#pragma once
// The main window's 1 ms timer handler (Timer1Timer), without the timer: on every tick it serves the DDE
// request flags, drains the console command queue every 11th tick and switches the heartbeat LED every
// 51st. Both counters start at 0 and are never reset, so the LED blinks whether or not a script runs.
#include <functional>

#include "host/console_queue.h"
#include "host/frontend.h"

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
    static constexpr int kDrainAbove = 10; // the queue is drained when the counter passes this: every 11th tick
    static constexpr int kLedAbove = 50;   // every 51st tick

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
