#pragma once
// The output console without any window: 255 x 255 character cells, the cursor, the caret flag and the
// keyboard's type-ahead buffer. The desktop widget paints from it and feeds it key presses; the headless
// runner feeds it its stdin. Every member may be called from any thread: the pump writes on the main
// thread while a script reading a line echoes its keys from the thread that runs it.
#include "host/frontend.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace novrix::host {

class ConsoleModel : public ConsoleView {
public:
    static constexpr int kColumns = 255;
    static constexpr int kRows = 255;
    static constexpr size_t kTypeAheadLimit = 64;

    ConsoleModel();

    // --- ConsoleView
    // Cells hold bytes: a character of several UTF-8 bytes takes as many cells.
    void write(std::string_view text) override;
    void clear() override;
    void clearToEndOfLine() override;
    void gotoXY(int column, int row) override;
    void showCaret(bool on) override;
    void takeFocus() override;
    bool keyAvailable() override;
    bool takeKey(char& key) override;
    bool inputEnded() override { return inputEnded_.load(std::memory_order_acquire); }

    // --- the keyboard side
    // A typed character; false when the buffer is full and the character is lost.
    bool typeKey(char key);
    // No further key will be typed (the runner's stdin ended).
    void setInputEnded() { inputEnded_.store(true, std::memory_order_release); }

    // --- what the console shows
    char cell(int column, int row) const; // a blank outside the grid
    std::string rowText(int row) const;   // the row without its trailing blanks
    int cursorColumn() const;
    int cursorRow() const;
    bool caretVisible() const;
    // Grows with every change of cells, cursor or caret: a view repaints when it has moved.
    uint64_t revision() const { return revision_.load(std::memory_order_acquire); }

    // --- side effects the window carries out. Handlers run on the calling thread, without the model's locks.
    void setBeepHandler(std::function<void()> h);
    void setFocusHandler(std::function<void()> h);
    int beepCount() const { return beeps_.load(std::memory_order_acquire); }
    int focusRequests() const { return focusRequests_.load(std::memory_order_acquire); }

private:
    void putChar(char c); // gridLock_ held
    void lineFeed();      // gridLock_ held
    void changed() { revision_.fetch_add(1, std::memory_order_acq_rel); }

    mutable std::mutex gridLock_;
    std::deque<std::string> rows_; // kRows rows of kColumns cells; scrolling drops the first
    int column_ = 0;
    int row_ = 0;
    bool caret_ = false;

    std::mutex keysLock_;
    std::deque<char> keys_;
    std::atomic<bool> inputEnded_{false};

    std::mutex handlersLock_;
    std::function<void()> onBeep_;
    std::function<void()> onFocus_;
    std::atomic<int> beeps_{0};
    std::atomic<int> focusRequests_{0};
    std::atomic<uint64_t> revision_{0};
};

} // namespace novrix::host
