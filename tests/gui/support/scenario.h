#pragma once
// A debug run started by Run or a step command runs inside the command, on the GUI thread, and waits in
// the event loop while paused. A test drives such a run with a Scenario: steps that wait for a condition,
// then act, polled by a timer from inside that event loop.
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>

namespace novrix::guitest {

class Scenario : public QObject {
    Q_OBJECT
public:
    Scenario();

    // When `until` holds, `then` runs and the next step begins.
    Scenario& step(std::string name, std::function<bool()> until, std::function<void()> then);
    void start();
    bool finished() const { return steps_.empty(); }
    // The step still waiting, for failure messages.
    std::string waitingFor() const { return steps_.empty() ? std::string() : steps_.front().name; }

private:
    struct Step {
        std::string name;
        std::function<bool()> until;
        std::function<void()> then;
    };
    void poll();

    std::deque<Step> steps_;
    QTimer timer_;
    bool acting_ = false;
};

} // namespace novrix::guitest
