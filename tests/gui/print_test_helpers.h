#pragma once
// For the printing tests: answering a modal window (a dialog run by exec(), a message box) from inside
// the event loop that shows it.
#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace novrix::printtest {

// Polls for the active modal window of type T and runs `action` on it once.
template <typename T>
class ModalAnswer : public QObject {
public:
    explicit ModalAnswer(std::function<void(T&)> action) : action_(std::move(action)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
            if (window == nullptr || !window->isVisible())
                return;
            timer_.stop();
            answered_ = true;
            action_(*window);
        });
        timer_.start();
    }

    bool answered() const { return answered_; }

private:
    std::function<void(T&)> action_;
    QTimer timer_;
    bool answered_ = false;
};

} // namespace novrix::printtest
