#pragma once
// The IP address control (CEditIPAddr) without its widgets: four numeric fields of at most three
// characters, the caret and selection of each, which field has the focus, and every rule for keys, text
// changes, clicks and the AddressText value. The window draws this state and forwards the user's input;
// the "not a valid entry" message box is raised through a callback so that the model shows no dialog.
//
// Each key press is handled as the platform's edit box sees it: first the control's own key handling
// (moving between fields, blocking keys), then the field's default editing of that key in the field the
// key was pressed in, unless the handling made that field read-only. Read-only lasts until a key is
// released. The caret of a field is the start of its selection, as the edit box reports it.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace novrix::shell {

enum class IpKey {
    Digit,         // 0..9 on the main keyboard; IpKeyPress::digit says which
    KeypadDigit,   // counts as Digit
    FullStop,      // '.'
    KeypadDecimal, // counts as FullStop
    Space,
    Backspace,
    Delete,
    Left,
    Right,
    Home,
    End,
    Shift,   // pressed alone, either side
    Control, // pressed alone, either side
    Alt,     // pressed alone
    Other,
};

struct IpKeyPress {
    IpKey key = IpKey::Other;
    char digit = '0'; // for Digit and KeypadDigit
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool leftButtonDown = false;
};

struct IpFieldSelection {
    int start = 0;
    int length = 0;
    friend bool operator==(const IpFieldSelection&, const IpFieldSelection&) = default;
};

class IpAddressFields {
public:
    static constexpr int kFieldCount = 4;
    static constexpr int kMaxFieldLength = 3;
    static constexpr int kMaxValue = 255;

    // Receives the text of the "not a valid entry" error box (shown with an OK button).
    using InvalidEntryHandler = std::function<void(const std::string& message)>;

    explicit IpAddressFields(InvalidEntryHandler onInvalidEntry = {});

    const std::string& fieldText(int field) const;
    IpFieldSelection selection(int field) const;
    bool isReadOnly(int field) const;
    // The field holding the keyboard focus; none while the focus is outside the control.
    std::optional<int> focusedField() const { return focused_; }

    // Reading normalises the fields: an empty one becomes "0", the others lose leading zeros. Four empty
    // fields read as "" and stay empty. A field holding a non-number (pasted) makes the read fail with the
    // run-time library's number conversion error (rt::ScriptError, EConvertError); fields before it have
    // already been rewritten by then.
    std::string addressText();
    // "" empties the fields. Anything else must pass checkIpString, or IpAssertionFailure "Bad IP address
    // string given to component" is thrown with the fields untouched. Field 0's text ends up selected.
    void setAddressText(std::string_view address);

    void keyPress(int field, const IpKeyPress& press);
    // Any key released: every field becomes editable again.
    void keyRelease();
    // Text pasted into the field through its context menu: replaces the selection, cut to what fits.
    // Refused while the field is read-only, as the edit box refuses it.
    void paste(int field, std::string_view text);

    // The control itself receives the focus (Tab, or focus set on it): field 0, all its text selected.
    void focusControl();
    // The focus moves somewhere outside the control: field 0's text is selected for the next visit.
    void focusLeavesControl();
    // The user put the focus into a field directly (mouse), with this caret and selection.
    void focusField(int field, IpFieldSelection selection);
    // A click on the panel around the fields: field 3, caret at its end.
    void clickPanel();
    // A click on the dot label to the right of field `dot` (0..2): that field, caret at its end.
    void clickDot(int dot);

private:
    struct Field {
        std::string text;
        IpFieldSelection selection;
        bool readOnly = false;
    };

    Field& at(int field);
    const Field& at(int field) const;
    void focusWith(int field, IpFieldSelection selection);
    void focusCaretAtStart(int field);
    void focusCaretAtEnd(int field);
    void focusAllSelected(int field);
    void selectAll(int field);
    // Sets the text as a program would (caret at the start, nothing selected) and runs the change rules.
    void assignText(int field, std::string text);
    // The user edited the text: new text and caret, then the change rules.
    void editText(int field, std::string text, int caret);
    void textChanged(int field);
    void defaultEditing(int field, const IpKeyPress& press);

    std::array<Field, kFieldCount> fields_{};
    std::optional<int> focused_;
    InvalidEntryHandler onInvalidEntry_;
};

} // namespace novrix::shell
