#include "shell/widgets/ip_address_edit.h"

#include "engine/runtime/script_error.h"
#include "shell/core/ip_address_utils.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <algorithm>
#include <utility>

namespace novrix::shell {
namespace {

// The fields start just inside the panel's border.
constexpr int kFirstFieldX = 2;
constexpr int kBorder = 1;
// Below this the digits would no longer be readable; wider fonts are clipped instead.
constexpr int kSmallestPixelSize = 8;

// How the model sees a key press: the keypad's digits and decimal key are told apart from the main
// keyboard's, the modifiers and the left mouse button are part of the press.
IpKeyPress keyPressOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    IpKeyPress press;
    press.shift = modifiers.testFlag(Qt::ShiftModifier);
    press.control = modifiers.testFlag(Qt::ControlModifier);
    press.alt = modifiers.testFlag(Qt::AltModifier);
    press.leftButtonDown = QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);

    const int key = event.key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        press.key = keypad ? IpKey::KeypadDigit : IpKey::Digit;
        press.digit = static_cast<char>('0' + (key - Qt::Key_0));
        return press;
    }
    switch (key) {
    case Qt::Key_Period:
        press.key = keypad ? IpKey::KeypadDecimal : IpKey::FullStop;
        break;
    case Qt::Key_Comma: // the keypad's decimal key on layouts with a decimal comma
        press.key = keypad ? IpKey::KeypadDecimal : IpKey::Other;
        break;
    case Qt::Key_Space:
        press.key = IpKey::Space;
        break;
    case Qt::Key_Backspace:
        press.key = IpKey::Backspace;
        break;
    case Qt::Key_Delete:
        press.key = IpKey::Delete;
        break;
    case Qt::Key_Left:
        press.key = IpKey::Left;
        break;
    case Qt::Key_Right:
        press.key = IpKey::Right;
        break;
    case Qt::Key_Home:
        press.key = IpKey::Home;
        break;
    case Qt::Key_End:
        press.key = IpKey::End;
        break;
    case Qt::Key_Shift:
        press.key = IpKey::Shift;
        break;
    case Qt::Key_Control:
        press.key = IpKey::Control;
        break;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        press.key = IpKey::Alt;
        break;
    default:
        press.key = IpKey::Other;
        break;
    }
    return press;
}

// Keys that neither edit nor type (Return, Escape, function keys, Up and Down, lone modifiers) go on to
// the window, so that its default and cancel handling still work.
bool belongsToField(const QKeyEvent& event, IpKey key) {
    switch (key) {
    case IpKey::Other:
    case IpKey::Shift:
    case IpKey::Control:
    case IpKey::Alt:
        break;
    default:
        return true;
    }
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

IpFieldSelection selectionOf(const QLineEdit& edit) {
    if (edit.hasSelectedText()) {
        return {edit.selectionStart(), edit.selectionLength()};
    }
    return {edit.cursorPosition(), 0};
}

// Sets a widget's selection without touching it when it already shows that range, so that a selection
// the user is still dragging keeps its anchor. The model puts the caret at the start of a selection.
void showSelection(QLineEdit& edit, IpFieldSelection selection) {
    if (selectionOf(edit) == selection) {
        return;
    }
    if (selection.length == 0) {
        edit.setCursorPosition(selection.start);
    } else {
        edit.setSelection(selection.start + selection.length, -selection.length);
    }
}

void showDefaultMessage(QWidget* parent, const QString& message) {
    QMessageBox::critical(parent, QObject::tr("Error"), message, QMessageBox::Ok);
}

} // namespace

// One of the four fields: a borderless, centred line edit whose keys, focus changes and context menu go
// to the control; the line edit's own editing is never used.
class IpAddressEdit::Field : public QLineEdit {
public:
    Field(IpAddressEdit& owner, int index, QWidget* parent)
        : QLineEdit(parent), owner_(owner), index_(index) {
        setObjectName(QStringLiteral("field%1").arg(index));
        setFrame(false);
        setAlignment(Qt::AlignCenter);
        setMaxLength(IpAddressFields::kMaxFieldLength);
        // The line edit's inner margins would leave no room for three digits in 21 pixels.
        setTextMargins(-2, 0, -2, 0);
        setAcceptDrops(false);
        setAttribute(Qt::WA_InputMethodEnabled, false);
        setFocusPolicy(index == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        connect(this, &QLineEdit::cursorPositionChanged, this, [this] { owner_.fieldCaretMoved(index_); });
        connect(this, &QLineEdit::selectionChanged, this, [this] { owner_.fieldCaretMoved(index_); });
        connect(this, &QLineEdit::textChanged, this, [this] { owner_.fieldCaretMoved(index_); });
    }

protected:
    void keyPressEvent(QKeyEvent* event) override { owner_.fieldKeyPress(index_, event); }
    void keyReleaseEvent(QKeyEvent*) override { owner_.fieldKeyRelease(); }

    void focusInEvent(QFocusEvent* event) override {
        withoutEcho([&] { QLineEdit::focusInEvent(event); });
        owner_.fieldFocusIn(index_, event->reason());
    }
    void focusOutEvent(QFocusEvent* event) override {
        withoutEcho([&] { QLineEdit::focusOutEvent(event); });
        owner_.fieldFocusOut(event->reason());
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        owner_.fieldContextMenu(index_, event->globalPos());
    }

private:
    // The line edit selects or deselects on focus changes; the model decides that instead.
    template <typename F>
    void withoutEcho(F&& f) {
        const bool was = std::exchange(owner_.mirroring_, true);
        f();
        owner_.mirroring_ = was;
    }

    IpAddressEdit& owner_;
    const int index_;
};

IpAddressEdit::IpAddressEdit(QWidget* parent)
    : QWidget(parent), model_([this](const std::string& message) {
          pendingMessages_.push_back(QString::fromStdString(message));
      }) {
    panel_ = new QFrame(this);
    panel_->setObjectName(QStringLiteral("panel"));
    panel_->setFrameShape(QFrame::Box);
    panel_->setFrameShadow(QFrame::Plain);
    panel_->setLineWidth(kBorder);
    panel_->setBackgroundRole(QPalette::Base);
    panel_->setAutoFillBackground(true);
    panel_->setCursor(Qt::IBeamCursor);
    panel_->installEventFilter(this);

    for (int i = 0; i < IpAddressFields::kFieldCount; ++i) {
        fields_[static_cast<std::size_t>(i)] = new Field(*this, i, panel_);
        if (i < IpAddressFields::kFieldCount - 1) {
            auto* dot = new QLabel(QStringLiteral("."), panel_);
            dot->setObjectName(QStringLiteral("dot%1").arg(i));
            dot->setAlignment(Qt::AlignCenter);
            dot->installEventFilter(this);
            dots_[static_cast<std::size_t>(i)] = dot;
        }
    }
    setFocusProxy(fields_[0]);
    resize(kWidth, kHeight);
    setMinimumWidth(kWidth);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    fitFieldFont();
    layoutChildren();
}

IpAddressEdit::~IpAddressEdit() = default;

std::optional<QString> IpAddressEdit::addressText(QString* error) {
    std::optional<QString> address;
    try {
        address = QString::fromStdString(model_.addressText());
    } catch (const rt::ScriptError& e) {
        if (error) {
            *error = QString::fromUtf8(e.what());
        }
    }
    mirrorModel();
    deliverMessages();
    return address;
}

bool IpAddressEdit::setAddressText(const QString& address, QString* error) {
    try {
        model_.setAddressText(address.toStdString());
    } catch (const IpAssertionFailure& e) {
        if (error) {
            *error = QString::fromStdString(e.message());
        }
        return false;
    }
    mirrorModel();
    deliverMessages();
    return true;
}

void IpAddressEdit::setMessageSink(MessageSink sink) {
    messageSink_ = std::move(sink);
}

void IpAddressEdit::setTabStop(bool stop) {
    fields_[0]->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool IpAddressEdit::tabStop() const {
    return fields_[0]->focusPolicy() == Qt::StrongFocus;
}

QLineEdit* IpAddressEdit::field(int index) const {
    return fields_.at(static_cast<std::size_t>(index));
}

void IpAddressEdit::fieldKeyPress(int index, QKeyEvent* event) {
    const IpKeyPress press = keyPressOf(*event);
    model_.keyPress(index, press);
    // The model blocks Ctrl+C like every key with Ctrl held, but copying changes nothing.
    if (event->matches(QKeySequence::Copy)) {
        fields_[static_cast<std::size_t>(index)]->copy();
    }
    event->setAccepted(belongsToField(*event, press.key));
    mirrorModel();
    deliverMessages();
}

void IpAddressEdit::fieldKeyRelease() {
    model_.keyRelease();
}

void IpAddressEdit::fieldFocusIn(int index, Qt::FocusReason reason) {
    if (mirroring_) {
        return;
    }
    switch (reason) {
    case Qt::MouseFocusReason:
        // The click that follows places the caret; until then the field keeps what it shows.
        model_.focusField(index, selectionOf(*fields_[static_cast<std::size_t>(index)]));
        break;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
        // The window or a menu gives the focus back to where it was; the model never let it go.
        if (model_.focusedField() != index) {
            model_.focusField(index, model_.selection(index));
        }
        break;
    default:
        model_.focusControl();
        break;
    }
    mirrorModel();
}

void IpAddressEdit::fieldFocusOut(Qt::FocusReason reason) {
    if (mirroring_ || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
        return;
    }
    // The widget that is about to get the focus is already known; moving between fields is the next
    // field's focus-in.
    if (isOwnField(QApplication::focusWidget())) {
        return;
    }
    model_.focusLeavesControl();
    mirrorModel();
}

void IpAddressEdit::fieldCaretMoved(int index) {
    if (mirroring_) {
        return;
    }
    Field& field = *fields_[static_cast<std::size_t>(index)];
    // The mouse or the context menu moved the caret or the selection of the field being edited. Any other
    // change the line edit makes by itself is undone.
    if (field.text() == QString::fromStdString(model_.fieldText(index)) &&
        (field.hasFocus() || model_.focusedField() == index)) {
        model_.focusField(index, selectionOf(field));
    }
    mirrorModel();
}

void IpAddressEdit::fieldContextMenu(int index, const QPoint& globalPos) {
    Field* field = fields_[static_cast<std::size_t>(index)];
    const bool selected = field->hasSelectedText();
    const bool editable = !model_.isReadOnly(index);
    const QString clipboardText = QGuiApplication::clipboard()->text();

    // Pasting goes through the model like typing; an empty paste removes the selection.
    QMenu menu(field);
    QAction* cut = menu.addAction(tr("Cu&t"));
    cut->setEnabled(selected && editable);
    QAction* copy = menu.addAction(tr("&Copy"));
    copy->setEnabled(selected);
    QAction* paste = menu.addAction(tr("&Paste"));
    paste->setEnabled(editable && !clipboardText.isEmpty());
    QAction* remove = menu.addAction(tr("Delete"));
    remove->setEnabled(selected && editable);
    menu.addSeparator();
    QAction* selectAll = menu.addAction(tr("Select &All"));
    selectAll->setEnabled(!field->text().isEmpty());

    const QPointer<IpAddressEdit> alive(this);
    QAction* chosen = menu.exec(globalPos);
    if (!alive || chosen == nullptr) {
        return;
    }
    if (chosen == copy || chosen == cut) {
        field->copy();
    }
    if (chosen == cut || chosen == remove) {
        model_.paste(index, {});
    } else if (chosen == paste) {
        model_.paste(index, QGuiApplication::clipboard()->text().toStdString());
    } else if (chosen == selectAll) {
        model_.focusField(index, {0, static_cast<int>(model_.fieldText(index).size())});
    }
    mirrorModel();
    deliverMessages();
}

void IpAddressEdit::mirrorModel() {
    if (mirroring_) {
        return;
    }
    mirroring_ = true;
    const std::optional<int> focused = model_.focusedField();
    for (int i = 0; i < IpAddressFields::kFieldCount; ++i) {
        Field& field = *fields_[static_cast<std::size_t>(i)];
        const QString text = QString::fromStdString(model_.fieldText(i));
        if (field.text() != text) {
            field.setText(text);
        }
        // Like the edit boxes the control is built from, only the focused field shows its selection; the
        // model remembers the others'.
        const IpFieldSelection selection = model_.selection(i);
        showSelection(field, focused == i ? selection : IpFieldSelection{selection.start, 0});
    }
    if (focused && !fields_[static_cast<std::size_t>(*focused)]->hasFocus()) {
        fields_[static_cast<std::size_t>(*focused)]->setFocus(Qt::OtherFocusReason);
    }
    mirroring_ = false;
}

void IpAddressEdit::deliverMessages() {
    std::vector<QString> messages = std::exchange(pendingMessages_, {});
    const QPointer<IpAddressEdit> alive(this);
    for (const QString& message : messages) {
        emit invalidEntry(message);
        if (!alive) {
            return;
        }
        if (messageSink_) {
            messageSink_(message);
        } else {
            showDefaultMessage(this, message);
        }
        if (!alive) {
            return;
        }
    }
}

void IpAddressEdit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void IpAddressEdit::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitFieldFont();
    }
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (mouse->button() != Qt::LeftButton || widget == nullptr ||
        !widget->rect().contains(mouse->position().toPoint())) {
        return QWidget::eventFilter(watched, event);
    }
    if (watched == panel_) {
        model_.clickPanel();
    } else {
        for (int i = 0; i < static_cast<int>(dots_.size()); ++i) {
            if (watched == dots_[static_cast<std::size_t>(i)]) {
                model_.clickDot(i);
            }
        }
    }
    mirrorModel();
    return true;
}

void IpAddressEdit::layoutChildren() {
    panel_->setGeometry(rect());
    const int innerHeight = std::max(height() - 2 * kBorder, 0);
    int x = kFirstFieldX;
    for (int i = 0; i < IpAddressFields::kFieldCount; ++i) {
        fields_[static_cast<std::size_t>(i)]->setGeometry(x, kBorder, kFieldWidth, innerHeight);
        x += kFieldWidth;
        if (i < IpAddressFields::kFieldCount - 1) {
            dots_[static_cast<std::size_t>(i)]->setGeometry(x, kBorder, kDotWidth, innerHeight);
            x += kDotWidth;
        }
    }
}

void IpAddressEdit::fitFieldFont() {
    // Three digits and the caret have to fit the 21-pixel field; a font wider than the one the control
    // was drawn for is made smaller until they do.
    QFont fitted = font();
    int pixelSize = QFontInfo(fitted).pixelSize();
    fitted.setPixelSize(pixelSize);
    while (pixelSize > kSmallestPixelSize &&
           QFontMetrics(fitted).horizontalAdvance(QStringLiteral("888")) + 1 > kFieldWidth) {
        fitted.setPixelSize(--pixelSize);
    }
    for (Field* field : fields_) {
        field->setFont(fitted);
    }
    for (QLabel* dot : dots_) {
        dot->setFont(fitted);
    }
}

bool IpAddressEdit::isOwnField(const QWidget* widget) const {
    for (const Field* field : fields_) {
        if (widget == field) {
            return true;
        }
    }
    return false;
}

} // namespace novrix::shell
