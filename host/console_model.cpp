#include "host/console_model.h"

#include <algorithm>

namespace novrix::host {

namespace {
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kBs = '\b';
constexpr char kBel = '\a';
} // namespace

ConsoleModel::ConsoleModel() : rows_(kRows, std::string(kColumns, ' ')) {}

void ConsoleModel::lineFeed() {
    if (row_ < kRows - 1) {
        ++row_;
        return;
    }
    rows_.pop_front();
    rows_.emplace_back(kColumns, ' ');
}

void ConsoleModel::putChar(char c) {
    rows_[size_t(row_)][size_t(column_)] = c;
    if (++column_ == kColumns) {
        column_ = 0;
        lineFeed();
    }
}

void ConsoleModel::write(std::string_view text) {
    int beeps = 0;
    {
        std::lock_guard guard(gridLock_);
        for (char c : text) {
            const auto code = static_cast<unsigned char>(c);
            if (code >= 32) {
                putChar(c);
            } else if (c == kCr) {
                column_ = 0;
            } else if (c == kLf) {
                lineFeed();
            } else if (c == kBs) {
                if (column_ > 0)
                    rows_[size_t(row_)][size_t(--column_)] = ' ';
            } else if (c == kBel) {
                ++beeps;
            }
            // Every other control code is dropped.
        }
        changed();
    }
    if (beeps == 0)
        return;
    beeps_.fetch_add(beeps, std::memory_order_acq_rel);
    std::function<void()> onBeep;
    {
        std::lock_guard guard(handlersLock_);
        onBeep = onBeep_;
    }
    if (onBeep)
        for (int k = 0; k < beeps; ++k)
            onBeep();
}

void ConsoleModel::clear() {
    std::lock_guard guard(gridLock_);
    for (std::string& r : rows_)
        std::fill(r.begin(), r.end(), ' ');
    column_ = 0;
    row_ = 0;
    changed();
}

void ConsoleModel::clearToEndOfLine() {
    std::lock_guard guard(gridLock_);
    std::string& r = rows_[size_t(row_)];
    std::fill(r.begin() + column_, r.end(), ' ');
    changed();
}

void ConsoleModel::gotoXY(int column, int row) {
    std::lock_guard guard(gridLock_);
    column_ = std::clamp(column, 0, kColumns - 1);
    row_ = std::clamp(row, 0, kRows - 1);
    changed();
}

void ConsoleModel::showCaret(bool on) {
    std::lock_guard guard(gridLock_);
    caret_ = on;
    changed();
}

void ConsoleModel::takeFocus() {
    focusRequests_.fetch_add(1, std::memory_order_acq_rel);
    std::function<void()> onFocus;
    {
        std::lock_guard guard(handlersLock_);
        onFocus = onFocus_;
    }
    if (onFocus)
        onFocus();
}

bool ConsoleModel::keyAvailable() {
    std::lock_guard guard(keysLock_);
    return !keys_.empty();
}

bool ConsoleModel::takeKey(char& key) {
    std::lock_guard guard(keysLock_);
    if (keys_.empty())
        return false;
    key = keys_.front();
    keys_.pop_front();
    return true;
}

bool ConsoleModel::typeKey(char key) {
    std::lock_guard guard(keysLock_);
    if (keys_.size() >= kTypeAheadLimit)
        return false;
    keys_.push_back(key);
    return true;
}

char ConsoleModel::cell(int column, int row) const {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return ' ';
    std::lock_guard guard(gridLock_);
    return rows_[size_t(row)][size_t(column)];
}

std::string ConsoleModel::rowText(int row) const {
    if (row < 0 || row >= kRows)
        return {};
    std::lock_guard guard(gridLock_);
    const std::string& r = rows_[size_t(row)];
    return r.substr(0, r.find_last_not_of(' ') + 1);
}

int ConsoleModel::cursorColumn() const {
    std::lock_guard guard(gridLock_);
    return column_;
}

int ConsoleModel::cursorRow() const {
    std::lock_guard guard(gridLock_);
    return row_;
}

bool ConsoleModel::caretVisible() const {
    std::lock_guard guard(gridLock_);
    return caret_;
}

void ConsoleModel::setBeepHandler(std::function<void()> h) {
    std::lock_guard guard(handlersLock_);
    onBeep_ = std::move(h);
}

void ConsoleModel::setFocusHandler(std::function<void()> h) {
    std::lock_guard guard(handlersLock_);
    onFocus_ = std::move(h);
}

} // namespace novrix::host
