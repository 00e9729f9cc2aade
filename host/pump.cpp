#include "host/pump.h"

namespace novrix::host {

void Pump::tick() {
    for (const auto* hook : {&dde_.clientCreateRequest, &dde_.clientReadRequest, &dde_.serverAssignRequest})
        if (*hook)
            (*hook)();

    if (++drainCounter_ > kDrainAbove) {
        drainCounter_ = 0;
        queue_.drain(frontend_.console(), [this](const std::string& line) { frontend_.addMessage(line); });
    }
    if (++ledCounter_ > kLedAbove) {
        ledCounter_ = 0;
        frontend_.toggleLed(Led::Heartbeat);
    }
}

} // namespace novrix::host
