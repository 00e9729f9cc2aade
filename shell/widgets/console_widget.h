#pragma once
// The "Output Console" pane: paints a ConsoleModel's 255 x 255 character cells in a fixed-pitch font,
// follows the cursor, shows the caret while the model asks for it, and types the keys pressed while it
// has the focus into the model's type-ahead buffer.
//
// The model is written from the script's thread as well as the main thread, so the widget does not wait
// to be told: it polls the model's revision every 16 ms and repaints when it moved. The model's beep
// and focus requests may also come from the script's thread; the widget carries them over to the GUI
// thread. The widget installs those two handlers on the model and removes them when it goes; the model
// must outlive the widget.
#include "host/console_model.h"

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QSize>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>

namespace novrix::shell {

class ConsoleWidget : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ConsoleWidget(host::ConsoleModel& model, QWidget* parent = nullptr);
    ~ConsoleWidget() override;

    host::ConsoleModel& model() const { return model_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // What the widget shows, for tests and the main window: the size of a cell, a cell's rectangle in
    // viewport coordinates, whether the whole cell lies inside the viewport, and a row as painted
    // (Latin-1, trailing blanks removed). The view state is that of the last poll.
    QSize cellSize() const { return cell_; }
    QRect cellRect(int column, int row) const;
    bool isCellVisible(int column, int row) const;
    QString rowText(int row) const;
    bool caretShown() const { return caretShown_; }

    // The bytes a key press types into the console: Enter as CR, Backspace, Escape and Tab, otherwise
    // the printable Latin-1 characters of the key's text (none for Ctrl+letter or an arrow key).
    static QByteArray typedKeys(int key, const QString& text);

signals:
    // Emitted on the GUI thread after a beep requested by the model (BEL written) was sounded.
    void beepSounded();
    // Emitted on the GUI thread after the model asked for the keyboard focus and the widget took it.
    void focusTaken();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override; // Tab is a key the console types

private:
    struct Relay;

    void poll();
    void updateScrollRanges();
    void scrollToCursor();
    void soundBeep();
    void takeFocus();

    host::ConsoleModel& model_;
    std::shared_ptr<Relay> relay_;
    QTimer pollTimer_;
    QSize cell_;
    int ascent_ = 0;
    uint64_t shownRevision_ = 0;
    bool caretShown_ = false;
    int cursorColumn_ = 0;
    int cursorRow_ = 0;
};

} // namespace novrix::shell
