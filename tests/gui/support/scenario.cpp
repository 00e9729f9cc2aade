#include "support/scenario.h"

namespace novrix::guitest {

Scenario::Scenario() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &Scenario::poll);
}

Scenario& Scenario::step(std::string name, std::function<bool()> until, std::function<void()> then) {
    steps_.push_back({std::move(name), std::move(until), std::move(then)});
    return *this;
}

void Scenario::start() { timer_.start(); }

void Scenario::poll() {
    // A step's action may itself wait in the event loop (a step command while paused): the polls that
    // arrive meanwhile wait for it.
    if (acting_ || steps_.empty()) return;
    if (!steps_.front().until()) return;
    Step current = std::move(steps_.front());
    steps_.pop_front();
    if (steps_.empty()) timer_.stop();
    acting_ = true;
    current.then();
    acting_ = false;
}

} // namespace novrix::guitest
