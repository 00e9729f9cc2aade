#include "shell/widgets/console_widget.h"

#include "shell/widgets/fixed_font.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <mutex>
#include <string>

namespace novrix::shell {

namespace {

constexpr int kColumns = host::ConsoleModel::kColumns;
constexpr int kRows = host::ConsoleModel::kRows;
constexpr int kPollMilliseconds = 16;
constexpr int kCaretThickness = 2;
// The pane's natural size, in cells; the grid itself is reached by scrolling.
constexpr int kHintColumns = 80;
constexpr int kHintRows = 8;

} // namespace

// Carries a request from whatever thread the model calls its handler on to the GUI thread. The lock
// keeps the widget alive while the request is posted; a posted request dies with the widget.
struct ConsoleWidget::Relay {
    std::mutex lock;
    ConsoleWidget* widget = nullptr;

    template <typename Member>
    void post(Member member) {
        std::lock_guard guard(lock);
        if (widget == nullptr)
            return;
        ConsoleWidget* const target = widget;
        QMetaObject::invokeMethod(
            target, [target, member] { (target->*member)(); }, Qt::QueuedConnection);
    }
};

ConsoleWidget::ConsoleWidget(host::ConsoleModel& model, QWidget* parent)
    : QAbstractScrollArea(parent), model_(model), relay_(std::make_shared<Relay>()) {
    setFont(fixedPitchFont(QStringLiteral("Courier New"), 16));
    const QFontMetrics metrics(font());
    cell_ = QSize(std::max(1, metrics.horizontalAdvance(QLatin1Char('M'))), std::max(1, metrics.height()));
    ascent_ = metrics.ascent();

    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setAutoFillBackground(false);
    horizontalScrollBar()->setSingleStep(cell_.width());
    verticalScrollBar()->setSingleStep(cell_.height());
    updateScrollRanges();

    relay_->widget = this;
    model_.setBeepHandler([relay = relay_] { relay->post(&ConsoleWidget::soundBeep); });
    model_.setFocusHandler([relay = relay_] { relay->post(&ConsoleWidget::takeFocus); });

    pollTimer_.setInterval(kPollMilliseconds);
    connect(&pollTimer_, &QTimer::timeout, this, &ConsoleWidget::poll);
    pollTimer_.start();
    poll();
}

ConsoleWidget::~ConsoleWidget() {
    {
        std::lock_guard guard(relay_->lock);
        relay_->widget = nullptr;
    }
    model_.setBeepHandler({});
    model_.setFocusHandler({});
}

QSize ConsoleWidget::sizeHint() const {
    const int frame = 2 * frameWidth();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return {kHintColumns * cell_.width() + frame + bar, kHintRows * cell_.height() + frame + bar};
}

QSize ConsoleWidget::minimumSizeHint() const {
    const int frame = 2 * frameWidth();
    return {10 * cell_.width() + frame, 2 * cell_.height() + frame};
}

QRect ConsoleWidget::cellRect(int column, int row) const {
    return {column * cell_.width() - horizontalScrollBar()->value(),
            row * cell_.height() - verticalScrollBar()->value(), cell_.width(), cell_.height()};
}

bool ConsoleWidget::isCellVisible(int column, int row) const {
    return viewport()->rect().contains(cellRect(column, row));
}

QString ConsoleWidget::rowText(int row) const {
    const std::string text = model_.rowText(row);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QByteArray ConsoleWidget::typedKeys(int key, const QString& text) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QByteArray(1, '\r');
    case Qt::Key_Backspace:
        return QByteArray(1, '\b');
    case Qt::Key_Escape:
        return QByteArray(1, '\x1b');
    case Qt::Key_Tab:
        return QByteArray(1, '\t');
    default:
        break;
    }
    // Cells hold Latin-1 bytes; control codes (Ctrl+letter) and characters beyond Latin-1 type nothing.
    QByteArray keys;
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code >= 32 && code != 127 && !(code >= 128 && code < 160) && code <= 255)
            keys.append(char(code));
    }
    return keys;
}

void ConsoleWidget::poll() {
    const uint64_t revision = model_.revision();
    if (revision == shownRevision_)
        return;
    // The revision is read first: a change made while the state below is read moves it again, and the
    // next poll catches up.
    shownRevision_ = revision;
    cursorColumn_ = model_.cursorColumn();
    cursorRow_ = model_.cursorRow();
    caretShown_ = model_.caretVisible();
    scrollToCursor();
    viewport()->update();
}

void ConsoleWidget::updateScrollRanges() {
    const QSize area = viewport()->size();
    QScrollBar* const h = horizontalScrollBar();
    QScrollBar* const v = verticalScrollBar();
    h->setRange(0, std::max(0, kColumns * cell_.width() - area.width()));
    h->setPageStep(area.width());
    v->setRange(0, std::max(0, kRows * cell_.height() - area.height()));
    v->setPageStep(area.height());
}

void ConsoleWidget::scrollToCursor() {
    const auto follow = [](QScrollBar* bar, int start, int length, int visible) {
        if (start < bar->value())
            bar->setValue(start);
        else if (start + length > bar->value() + visible)
            bar->setValue(start + length - visible);
    };
    follow(horizontalScrollBar(), cursorColumn_ * cell_.width(), cell_.width(), viewport()->width());
    follow(verticalScrollBar(), cursorRow_ * cell_.height(), cell_.height(), viewport()->height());
}

void ConsoleWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, palette().color(QPalette::Base));
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));

    const int left = horizontalScrollBar()->value();
    const int top = verticalScrollBar()->value();
    const int firstRow = std::max(0, (top + area.top()) / cell_.height());
    const int lastRow = std::min(kRows - 1, (top + area.bottom()) / cell_.height());
    const int firstColumn = std::max(0, (left + area.left()) / cell_.width());
    const int lastColumn = std::min(kColumns - 1, (left + area.right()) / cell_.width());

    // One cell at a time, so that a glyph taken from a fallback font cannot push its neighbours off
    // their cells; blanks cost nothing.
    for (int row = firstRow; row <= lastRow; ++row) {
        const std::string text = model_.rowText(row);
        const int end = std::min(lastColumn, int(text.size()) - 1);
        for (int column = firstColumn; column <= end; ++column) {
            const char c = text[size_t(column)];
            if (c == ' ')
                continue;
            const QRect cell = cellRect(column, row);
            painter.drawText(QPoint(cell.left(), cell.top() + ascent_), QString(QChar(uchar(c))));
        }
    }

    if (caretShown_) {
        const QRect cell = cellRect(cursorColumn_, cursorRow_);
        painter.fillRect(
            QRect(cell.left(), cell.bottom() - kCaretThickness + 1, cell.width(), kCaretThickness),
            palette().color(QPalette::Text));
    }
}

void ConsoleWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

void ConsoleWidget::keyPressEvent(QKeyEvent* event) {
    // Ctrl and Meta combinations are commands, not characters.
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    const QByteArray keys = command ? QByteArray() : typedKeys(event->key(), event->text());
    if (keys.isEmpty()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    // A full type-ahead buffer loses the key, as the console always did.
    for (const char key : keys)
        model_.typeKey(key);
    event->accept();
}

bool ConsoleWidget::focusNextPrevChild(bool) {
    return false;
}

void ConsoleWidget::soundBeep() {
    QApplication::beep();
    emit beepSounded();
}

void ConsoleWidget::takeFocus() {
    setFocus(Qt::OtherFocusReason);
    emit focusTaken();
}

} // namespace novrix::shell
