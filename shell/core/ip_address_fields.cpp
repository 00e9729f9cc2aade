#include "shell/core/ip_address_fields.h"

#include "engine/runtime/int_text.h"
#include "shell/core/ip_address_utils.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>

namespace novrix::shell {
namespace {

constexpr std::string_view kInvalidEntrySuffix =
    " is not a valid entry. Please specify a value between 0 and 255 for this field.";
constexpr std::string_view kClampedText = "255";

int length(const std::string& text) {
    return static_cast<int>(text.size());
}

// The text with the selection replaced by `insert`.
std::string replaced(const std::string& text, IpFieldSelection selection, std::string_view insert) {
    std::string out = text;
    out.replace(static_cast<std::size_t>(selection.start), static_cast<std::size_t>(selection.length),
                insert);
    return out;
}

std::size_t fieldIndex(int field) {
    if (field < 0 || field >= IpAddressFields::kFieldCount) {
        throw std::out_of_range("IP address field " + std::to_string(field));
    }
    return static_cast<std::size_t>(field);
}

} // namespace

IpAddressFields::IpAddressFields(InvalidEntryHandler onInvalidEntry)
    : onInvalidEntry_(std::move(onInvalidEntry)) {}

IpAddressFields::Field& IpAddressFields::at(int field) {
    return fields_[fieldIndex(field)];
}

const IpAddressFields::Field& IpAddressFields::at(int field) const {
    return fields_[fieldIndex(field)];
}

const std::string& IpAddressFields::fieldText(int field) const {
    return at(field).text;
}

IpFieldSelection IpAddressFields::selection(int field) const {
    return at(field).selection;
}

bool IpAddressFields::isReadOnly(int field) const {
    return at(field).readOnly;
}

std::string IpAddressFields::addressText() {
    if (std::all_of(fields_.begin(), fields_.end(), [](const Field& f) { return f.text.empty(); })) {
        return {};
    }
    std::string address;
    for (int i = 0; i < kFieldCount; ++i) {
        const std::string& text = at(i).text;
        assignText(i, text.empty() ? "0" : rt::intToStr(rt::strToInt(text)));
        if (i > 0) {
            address += '.';
        }
        address += at(i).text;
    }
    return address;
}

void IpAddressFields::setAddressText(std::string_view address) {
    if (address.empty()) {
        for (int i = 0; i < kFieldCount; ++i) {
            assignText(i, {});
        }
        return;
    }
    try {
        checkIpString(address);
    } catch (const IpAssertionFailure&) {
        throw IpAssertionFailure("Bad IP address string given to component");
    } catch (const IpAddressError&) {
        throw IpAssertionFailure("Bad IP address string given to component");
    }
    for (int i = 0; i < kFieldCount; ++i) {
        assignText(i, std::to_string(ipOctet(address, i + 1)));
    }
    selectAll(0);
}

void IpAddressFields::keyPress(int field, const IpKeyPress& press) {
    Field& f = at(field);
    if ((press.key == IpKey::Digit || press.key == IpKey::KeypadDigit) &&
        (press.digit < '0' || press.digit > '9')) {
        throw std::invalid_argument("digit key without a digit");
    }
    if (press.key == IpKey::Shift || press.key == IpKey::Control) {
        return;
    }
    IpKeyPress key = press;
    if (key.key == IpKey::KeypadDigit) {
        key.key = IpKey::Digit;
    } else if (key.key == IpKey::KeypadDecimal) {
        key.key = IpKey::FullStop;
    }

    const int caret = f.selection.start;
    if (key.key == IpKey::Right && caret == length(f.text) && field < kFieldCount - 1) {
        focusCaretAtStart(field + 1);
    } else if (key.key == IpKey::Left && caret == 0 && field > 0) {
        focusCaretAtEnd(field - 1);
    } else if (key.key == IpKey::Backspace && caret == 0 && field > 0) {
        focusWith(field - 1, at(field - 1).selection);
        const std::string& previous = at(field - 1).text;
        if (!previous.empty()) {
            assignText(field - 1, previous.substr(0, previous.size() - 1));
        }
        focusCaretAtEnd(field - 1);
    } else if ((key.key == IpKey::FullStop || key.key == IpKey::Space) && !f.text.empty() &&
               field < kFieldCount - 1) {
        focusAllSelected(field + 1);
    }

    const bool typable = key.key == IpKey::Digit || key.key == IpKey::Backspace || key.key == IpKey::Delete;
    if (key.shift || key.control || key.alt || key.leftButtonDown || !typable) {
        f.readOnly = true;
    }
    defaultEditing(field, key);
}

void IpAddressFields::keyRelease() {
    for (Field& f : fields_) {
        f.readOnly = false;
    }
}

void IpAddressFields::paste(int field, std::string_view text) {
    const Field& f = at(field);
    if (f.readOnly) {
        return;
    }
    const int room = kMaxFieldLength - (length(f.text) - f.selection.length);
    const std::string_view fitting = text.substr(0, static_cast<std::size_t>(std::max(room, 0)));
    if (fitting.empty() && f.selection.length == 0) {
        return;
    }
    editText(field, replaced(f.text, f.selection, fitting),
             f.selection.start + static_cast<int>(fitting.size()));
}

void IpAddressFields::focusControl() {
    focusAllSelected(0);
}

void IpAddressFields::focusLeavesControl() {
    focused_.reset();
    selectAll(0);
}

void IpAddressFields::focusField(int field, IpFieldSelection selection) {
    const int size = length(at(field).text);
    selection.start = std::clamp(selection.start, 0, size);
    selection.length = std::clamp(selection.length, 0, size - selection.start);
    focusWith(field, selection);
}

void IpAddressFields::clickPanel() {
    focusCaretAtEnd(kFieldCount - 1);
}

void IpAddressFields::clickDot(int dot) {
    if (dot < 0 || dot >= kFieldCount - 1) {
        throw std::out_of_range("IP address dot " + std::to_string(dot));
    }
    focusCaretAtEnd(dot);
}

void IpAddressFields::focusWith(int field, IpFieldSelection selection) {
    at(field).selection = selection;
    focused_ = field;
}

void IpAddressFields::focusCaretAtStart(int field) {
    focusWith(field, {0, 0});
}

void IpAddressFields::focusCaretAtEnd(int field) {
    focusWith(field, {length(at(field).text), 0});
}

void IpAddressFields::focusAllSelected(int field) {
    focusWith(field, {0, length(at(field).text)});
}

void IpAddressFields::selectAll(int field) {
    at(field).selection = {0, length(at(field).text)};
}

void IpAddressFields::assignText(int field, std::string text) {
    Field& f = at(field);
    // Assigning the text a field already holds is no change, and runs no change rules.
    if (f.text == text) {
        return;
    }
    f.text = std::move(text);
    f.selection = {0, 0};
    textChanged(field);
}

void IpAddressFields::editText(int field, std::string text, int caret) {
    Field& f = at(field);
    f.text = std::move(text);
    f.selection = {caret, 0};
    textChanged(field);
}

void IpAddressFields::textChanged(int field) {
    const Field& f = at(field);
    int64_t value = 0;
    if (rt::tryStrToInt(f.text, value) && value > kMaxValue) {
        const std::string rejected = f.text;
        assignText(field, std::string(kClampedText));
        selectAll(field);
        if (onInvalidEntry_) {
            onInvalidEntry_(rejected + std::string(kInvalidEntrySuffix));
        }
        return;
    }
    if (field < kFieldCount - 1 && length(f.text) == kMaxFieldLength &&
        f.selection.start == kMaxFieldLength) {
        focusCaretAtStart(field + 1);
    }
}

void IpAddressFields::defaultEditing(int field, const IpKeyPress& press) {
    const Field& f = at(field);
    const IpFieldSelection sel = f.selection;
    const int size = length(f.text);
    switch (press.key) {
    case IpKey::Left:
        at(field).selection = {sel.length > 0 ? sel.start : std::max(sel.start - 1, 0), 0};
        return;
    case IpKey::Right:
        at(field).selection = {sel.length > 0 ? sel.start + sel.length : std::min(sel.start + 1, size), 0};
        return;
    case IpKey::Home:
        at(field).selection = {0, 0};
        return;
    case IpKey::End:
        at(field).selection = {size, 0};
        return;
    default:
        break;
    }
    if (f.readOnly) {
        return;
    }
    if (press.key == IpKey::Digit) {
        const std::string text = replaced(f.text, sel, std::string(1, press.digit));
        if (length(text) <= kMaxFieldLength) {
            editText(field, text, sel.start + 1);
        }
    } else if (press.key == IpKey::Backspace) {
        if (sel.length > 0) {
            editText(field, replaced(f.text, sel, {}), sel.start);
        } else if (sel.start > 0) {
            editText(field, replaced(f.text, {sel.start - 1, 1}, {}), sel.start - 1);
        }
    } else if (press.key == IpKey::Delete) {
        if (sel.length > 0) {
            editText(field, replaced(f.text, sel, {}), sel.start);
        } else if (sel.start < size) {
            editText(field, replaced(f.text, {sel.start, 1}, {}), sel.start);
        }
    }
}

} // namespace novrix::shell
