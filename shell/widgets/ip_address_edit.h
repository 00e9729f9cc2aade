#pragma once
// The IP address control (CEditIPAddr): four numeric fields of at most three characters with dots between
// them, on a bordered panel. The widgets only show an IpAddressFields model: every key press and release,
// click and focus change goes to the model, and the model's texts, carets, selections and focused field
// are mirrored back into the widgets. The model never sees a widget's own editing.
#include "shell/core/ip_address_fields.h"

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;

namespace novrix::shell {

class IpAddressEdit : public QWidget {
    Q_OBJECT
public:
    // Receives the "... is not a valid entry ..." text; the default shows it in an error box with an OK
    // button.
    using MessageSink = std::function<void(const QString& message)>;

    static constexpr int kWidth = 100; // also the least width
    static constexpr int kHeight = 21;
    static constexpr int kFieldWidth = 21;
    static constexpr int kDotWidth = 3;

    explicit IpAddressEdit(QWidget* parent = nullptr);
    ~IpAddressEdit() override;

    // The address as AddressText reads it: "" when all four fields are empty, otherwise the four fields
    // joined by "." after every empty field became "0" and every other lost its leading zeros (the fields
    // show the rewritten texts). A field holding a pasted non-number gives nullopt, with the conversion
    // error ("'ab' is not a valid integer value") in `error`.
    std::optional<QString> addressText(QString* error = nullptr);
    // "" empties the fields. Any other text must be a dotted address with four parts 0..255 and no
    // leading zeros; otherwise the call returns false with "Bad IP address string given to component" in
    // `error`, and the fields keep what they held.
    bool setAddressText(const QString& address, QString* error = nullptr);

    // An empty sink restores the error box. The invalidEntry signal is emitted either way.
    void setMessageSink(MessageSink sink);

    // Whether the Tab key stops at the control (at field 0). Fields 1 to 3 are never tab stops.
    void setTabStop(bool stop);
    bool tabStop() const;

    QSize sizeHint() const override { return {kWidth, kHeight}; }
    QSize minimumSizeHint() const override { return {kWidth, kHeight}; }

    // The field widgets, for the window's tab order and for tests; 0 to 3 from the left.
    QLineEdit* field(int index) const;

signals:
    void invalidEntry(const QString& message);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Field;

    // The field widgets' events, after the widget's own handling where it has one.
    void fieldKeyPress(int index, QKeyEvent* event);
    void fieldKeyRelease();
    void fieldFocusIn(int index, Qt::FocusReason reason);
    void fieldFocusOut(Qt::FocusReason reason);
    void fieldCaretMoved(int index);
    void fieldContextMenu(int index, const QPoint& globalPos);

    // Copies the model into the widgets; does nothing while already copying, and the widgets' reactions
    // to being changed are ignored meanwhile.
    void mirrorModel();
    // Shows the messages the model raised during the last operation, once the widgets show its result.
    void deliverMessages();
    void layoutChildren();
    void fitFieldFont();
    bool isOwnField(const QWidget* widget) const;

    IpAddressFields model_;
    std::vector<QString> pendingMessages_;
    MessageSink messageSink_;
    bool mirroring_ = false;
    QFrame* panel_ = nullptr;
    std::array<Field*, IpAddressFields::kFieldCount> fields_{};
    std::array<QLabel*, IpAddressFields::kFieldCount - 1> dots_{};
};

} // namespace novrix::shell
