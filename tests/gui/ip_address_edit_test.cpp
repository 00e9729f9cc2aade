// The IP address control driven the way a user drives it: real key events to whichever field has the
// focus, clicks on the panel and the dots, and the context menu's Paste.
#include "shell/widgets/ip_address_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

using novrix::shell::IpAddressEdit;

namespace {

const QString kBadAddress = QStringLiteral("Bad IP address string given to component");
const QString kNotValid =
    QStringLiteral(" is not a valid entry. Please specify a value between 0 and 255 for this field.");

// Sends keys to the widget that has the focus at each key, as the keyboard does. '<' and '>' are the
// arrow keys and '\b' is Backspace; every other character is its own key.
void typeKeys(const QString& keys) {
    for (const QChar c : keys) {
        QWidget* target = QApplication::focusWidget();
        QVERIFY2(target != nullptr, "no widget has the focus");
        if (c == QLatin1Char('<')) {
            QTest::keyClick(target, Qt::Key_Left);
        } else if (c == QLatin1Char('>')) {
            QTest::keyClick(target, Qt::Key_Right);
        } else if (c == QLatin1Char('\b')) {
            QTest::keyClick(target, Qt::Key_Backspace);
        } else {
            QTest::keyClick(target, c.toLatin1());
        }
    }
}

// Opens the field's context menu and chooses the entry `entry` in it.
void chooseFromContextMenu(QLineEdit* field, const QString& entry) {
    bool chosen = false;
    QTimer::singleShot(0, field, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text() == entry && action->isEnabled()) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                chosen = true;
                return;
            }
        }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2), field->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(field, &event);
    QVERIFY2(chosen, qPrintable(entry + QStringLiteral(" was not in the menu or not enabled")));
}

} // namespace

class IpAddressEditTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void buildsFourFieldsAndThreeDots();
    void writingShowsTheFieldsAndReadingGivesThemBack();
    void badAddressIsRefusedAndKeepsTheFields_data();
    void badAddressIsRefusedAndKeepsTheFields();
    void keys_data();
    void keys();
    void keypadDigitsAndDecimalKeyWork();
    void valueAbove255IsClampedWithMessage();
    void clampMessageShowsInAnErrorBoxByDefault();
    void emptyFieldsReadAsZeroAndLeadingZerosGo();
    void fourEmptyFieldsReadAsEmpty();
    void clicksOnPanelAndDotsFocusAField();
    void clickIntoAFieldTypesThere();
    void onlyFieldZeroIsATabStop();
    void pastedNonNumberMakesTheReadFail();

private:
    QLineEdit* field(int i) const { return edit_->field(i); }
    QStringList fieldTexts() const;
    int focusedField() const;
    // Tabs into the control from the line edit before it: field 0 gets the focus, all selected.
    void tabIntoControl();

    std::unique_ptr<QWidget> window_;
    QLineEdit* before_ = nullptr;
    IpAddressEdit* edit_ = nullptr;
    QLineEdit* after_ = nullptr;
    QStringList messages_;
};

void IpAddressEditTest::init() {
    window_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window_.get());
    before_ = new QLineEdit(window_.get());
    edit_ = new IpAddressEdit(window_.get());
    after_ = new QLineEdit(window_.get());
    layout->addWidget(before_);
    layout->addWidget(edit_);
    layout->addWidget(after_);
    messages_.clear();
    edit_->setMessageSink([this](const QString& message) { messages_ << message; });
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void IpAddressEditTest::cleanup() {
    window_.reset();
}

QStringList IpAddressEditTest::fieldTexts() const {
    QStringList texts;
    for (int i = 0; i < 4; ++i) {
        texts << field(i)->text();
    }
    return texts;
}

int IpAddressEditTest::focusedField() const {
    for (int i = 0; i < 4; ++i) {
        if (field(i)->hasFocus()) {
            return i;
        }
    }
    return -1;
}

void IpAddressEditTest::tabIntoControl() {
    before_->setFocus();
    QTRY_VERIFY(before_->hasFocus());
    QTest::keyClick(before_, Qt::Key_Tab);
    QCOMPARE(focusedField(), 0);
}

void IpAddressEditTest::buildsFourFieldsAndThreeDots() {
    IpAddressEdit fresh;
    QCOMPARE(fresh.size(), QSize(100, 21));
    QCOMPARE(fresh.minimumWidth(), 100);
    // In a layout it keeps its height.
    QCOMPARE(edit_->height(), 21);
    int previousRight = 0;
    for (int i = 0; i < 4; ++i) {
        QLineEdit* f = fresh.field(i);
        QCOMPARE(f->width(), IpAddressEdit::kFieldWidth);
        QCOMPARE(f->maxLength(), 3);
        QCOMPARE(f->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        QVERIFY(!f->hasFrame());
        QVERIFY(f->geometry().left() >= previousRight);
        previousRight = f->geometry().right();
        if (i < 3) {
            auto* dot = fresh.findChild<QLabel*>(QStringLiteral("dot%1").arg(i));
            QVERIFY(dot != nullptr);
            QCOMPARE(dot->text(), QStringLiteral("."));
            QCOMPARE(dot->width(), IpAddressEdit::kDotWidth);
            QCOMPARE(dot->geometry().left(), f->geometry().right() + 1);
        }
    }
    QVERIFY(previousRight < fresh.width());
    QCOMPARE(fresh.findChild<QWidget*>(QStringLiteral("panel"))->cursor().shape(), Qt::IBeamCursor);
}

void IpAddressEditTest::writingShowsTheFieldsAndReadingGivesThemBack() {
    QString error;
    QVERIFY(edit_->setAddressText(QStringLiteral("127.0.0.1"), &error));
    QCOMPARE(fieldTexts(), (QStringList{"127", "0", "0", "1"}));
    QCOMPARE(edit_->addressText(), std::optional<QString>(QStringLiteral("127.0.0.1")));

    QVERIFY(edit_->setAddressText(QString()));
    QCOMPARE(fieldTexts(), (QStringList{"", "", "", ""}));
    QVERIFY(messages_.isEmpty());
}

void IpAddressEditTest::badAddressIsRefusedAndKeepsTheFields_data() {
    QTest::addColumn<QString>("address");
    QTest::newRow("leading zero") << "010.1.1.1";
    QTest::newRow("two dots") << "1.2.3";
    QTest::newRow("above 255") << "1.2.3.256";
    QTest::newRow("letters") << "a.b.c.d";
    QTest::newRow("too long") << "1234567890.1.1.1";
    QTest::newRow("empty part") << "1..2.3";
}

void IpAddressEditTest::badAddressIsRefusedAndKeepsTheFields() {
    QFETCH(QString, address);
    QVERIFY(edit_->setAddressText(QStringLiteral("192.168.1.1")));
    QString error;
    QVERIFY(!edit_->setAddressText(address, &error));
    QCOMPARE(error, kBadAddress);
    QCOMPARE(fieldTexts(), (QStringList{"192", "168", "1", "1"}));
}

void IpAddressEditTest::keys_data() {
    QTest::addColumn<QString>("address"); // written before tabbing in
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<int>("focus");
    QTest::addColumn<int>("caret");

    QTest::newRow("three digits advance by themselves") << ""
                                                        << "192" << QStringList{"192", "", "", ""} << 1 << 0;
    QTest::newRow("full stop moves on without a dot")
        << ""
        << "19210." << QStringList{"192", "10", "", ""} << 2 << 0;
    QTest::newRow("space moves on too") << ""
                                        << "1 2" << QStringList{"1", "2", "", ""} << 1 << 1;
    QTest::newRow("full stop in an empty field stays") << ""
                                                       << ".." << QStringList{"", "", "", ""} << 0 << 0;
    QTest::newRow("letters and signs are not typed") << ""
                                                     << "1a-+,2" << QStringList{"12", "", "", ""} << 0 << 2;
    QTest::newRow("a digit replaces the selected field") << "127.0.0.1"
                                                         << "5" << QStringList{"5", "0", "0", "1"} << 0 << 1;
    QTest::newRow("no fifth field after the last")
        << ""
        << "1.2.3.4.5" << QStringList{"1", "2", "3", "45"} << 3 << 2;
    // From field 0 all selected: the first Right goes to its end, the next into field 1.
    QTest::newRow("right arrow crosses into the next field")
        << "12.34.56.78"
        << ">>" << QStringList{"12", "34", "56", "78"} << 1 << 0;
    QTest::newRow("left arrow crosses back to the end")
        << "12.34.56.78"
        << ">><" << QStringList{"12", "34", "56", "78"} << 0 << 2;
    QTest::newRow("backspace at the start deletes in the field before")
        << "192.168.1.1"
        << ">>>>>>\b" << QStringList{"192", "16", "1", "1"} << 1 << 2;
    QTest::newRow("backspace inside a field") << ""
                                              << "12\b3" << QStringList{"13", "", "", ""} << 0 << 2;
}

void IpAddressEditTest::keys() {
    QFETCH(QString, address);
    QFETCH(QString, keys);
    QFETCH(QStringList, fields);
    QFETCH(int, focus);
    QFETCH(int, caret);

    QVERIFY(edit_->setAddressText(address));
    tabIntoControl();
    typeKeys(keys);
    QCOMPARE(fieldTexts(), fields);
    QCOMPARE(focusedField(), focus);
    QCOMPARE(field(focus)->cursorPosition(), caret);
    QVERIFY(messages_.isEmpty());
}

void IpAddressEditTest::keypadDigitsAndDecimalKeyWork() {
    tabIntoControl();
    QTest::keyClick(field(0), Qt::Key_1, Qt::KeypadModifier);
    QTest::keyClick(field(0), Qt::Key_0, Qt::KeypadModifier);
    QTest::keyClick(field(0), Qt::Key_Period, Qt::KeypadModifier);
    QCOMPARE(focusedField(), 1);
    QTest::keyClick(field(1), Qt::Key_7, Qt::KeypadModifier);
    // The keypad's decimal key on layouts with a decimal comma.
    QTest::keyClick(field(1), Qt::Key_Comma, Qt::KeypadModifier);
    QCOMPARE(focusedField(), 2);
    QCOMPARE(fieldTexts(), (QStringList{"10", "7", "", ""}));
}

void IpAddressEditTest::valueAbove255IsClampedWithMessage() {
    QSignalSpy invalid(edit_, &IpAddressEdit::invalidEntry);
    tabIntoControl();
    typeKeys(QStringLiteral("300"));
    QCOMPARE(fieldTexts(), (QStringList{"255", "", "", ""}));
    QCOMPARE(focusedField(), 0);
    QCOMPARE(field(0)->selectedText(), QStringLiteral("255"));
    const QString expected = QStringLiteral("300") + kNotValid;
    QCOMPARE(messages_, QStringList{expected});
    QCOMPARE(invalid.count(), 1);
    QCOMPARE(invalid.at(0).at(0).toString(), expected);

    // The clamped field is selected: the next digit replaces it.
    typeKeys(QStringLiteral("1"));
    QCOMPARE(field(0)->text(), QStringLiteral("1"));
    QCOMPARE(messages_.size(), 1);
}

void IpAddressEditTest::clampMessageShowsInAnErrorBoxByDefault() {
    edit_->setMessageSink({});
    QString shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        shown = box->text();
        icon = box->icon();
        QVERIFY(box->button(QMessageBox::Ok) != nullptr);
        box->button(QMessageBox::Ok)->click();
    });
    closer.start(10);
    tabIntoControl();
    typeKeys(QStringLiteral("999"));
    closer.stop();
    QCOMPARE(shown, QStringLiteral("999") + kNotValid);
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(field(0)->text(), QStringLiteral("255"));
}

void IpAddressEditTest::emptyFieldsReadAsZeroAndLeadingZerosGo() {
    tabIntoControl();
    typeKeys(QStringLiteral("192168>1"));
    QCOMPARE(fieldTexts(), (QStringList{"192", "168", "", "1"}));
    QCOMPARE(edit_->addressText(), std::optional<QString>(QStringLiteral("192.168.0.1")));
    QCOMPARE(fieldTexts(), (QStringList{"192", "168", "0", "1"}));

    QVERIFY(edit_->setAddressText(QString()));
    tabIntoControl();
    typeKeys(QStringLiteral("0070.9"));
    QCOMPARE(fieldTexts(), (QStringList{"007", "0", "9", ""}));
    QCOMPARE(edit_->addressText(), std::optional<QString>(QStringLiteral("7.0.9.0")));
    QCOMPARE(fieldTexts(), (QStringList{"7", "0", "9", "0"}));
}

void IpAddressEditTest::fourEmptyFieldsReadAsEmpty() {
    QCOMPARE(edit_->addressText(), std::optional<QString>(QString()));
    QCOMPARE(fieldTexts(), (QStringList{"", "", "", ""}));
}

void IpAddressEditTest::clicksOnPanelAndDotsFocusAField() {
    QVERIFY(edit_->setAddressText(QStringLiteral("1.22.133.4")));
    auto* panel = edit_->findChild<QWidget*>(QStringLiteral("panel"));
    QVERIFY(panel != nullptr);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(panel->width() - 2, panel->height() / 2));
    QCOMPARE(focusedField(), 3);
    QCOMPARE(field(3)->cursorPosition(), 1);

    for (int dot = 0; dot < 3; ++dot) {
        auto* label = edit_->findChild<QLabel*>(QStringLiteral("dot%1").arg(dot));
        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(focusedField(), dot);
        QCOMPARE(field(dot)->cursorPosition(), field(dot)->text().size());
        QVERIFY(!field(dot)->hasSelectedText());
    }

    // Once the focus has left, writing the address does not pull it back.
    after_->setFocus(Qt::MouseFocusReason);
    QCOMPARE(focusedField(), -1);
    QVERIFY(edit_->setAddressText(QStringLiteral("1.22.133.5")));
    QVERIFY(after_->hasFocus());
    tabIntoControl();
    QCOMPARE(field(0)->selectedText(), QStringLiteral("1"));
}

void IpAddressEditTest::clickIntoAFieldTypesThere() {
    QVERIFY(edit_->setAddressText(QStringLiteral("1.2.3.4")));
    QTest::mouseClick(field(2), Qt::LeftButton, {}, QPoint(field(2)->width() - 1, field(2)->height() / 2));
    QCOMPARE(focusedField(), 2);
    QCOMPARE(field(2)->cursorPosition(), 1);
    typeKeys(QStringLiteral("5"));
    QCOMPARE(fieldTexts(), (QStringList{"1", "2", "35", "4"}));
    QCOMPARE(edit_->addressText(), std::optional<QString>(QStringLiteral("1.2.35.4")));
}

void IpAddressEditTest::onlyFieldZeroIsATabStop() {
    tabIntoControl();
    QTest::keyClick(field(0), Qt::Key_Tab);
    QVERIFY(after_->hasFocus());
    QTest::keyClick(after_, Qt::Key_Backtab);
    QCOMPARE(focusedField(), 0);

    edit_->setTabStop(false);
    QVERIFY(!edit_->tabStop());
    before_->setFocus();
    QTRY_VERIFY(before_->hasFocus());
    QTest::keyClick(before_, Qt::Key_Tab);
    QVERIFY(after_->hasFocus());
    // Still reachable with the mouse.
    QTest::mouseClick(field(0), Qt::LeftButton);
    QCOMPARE(focusedField(), 0);
}

void IpAddressEditTest::pastedNonNumberMakesTheReadFail() {
    QApplication::clipboard()->setText(QStringLiteral("ab"));
    QTest::mouseClick(field(2), Qt::LeftButton);
    chooseFromContextMenu(field(2), QStringLiteral("&Paste"));
    QCOMPARE(fieldTexts(), (QStringList{"", "", "ab", ""}));
    QString error;
    QCOMPARE(edit_->addressText(&error), std::nullopt);
    QCOMPARE(error, QStringLiteral("'ab' is not a valid integer value"));

    // A pasted number runs the same rules as typed digits.
    QApplication::clipboard()->setText(QStringLiteral("300"));
    QTest::mouseClick(field(1), Qt::LeftButton);
    chooseFromContextMenu(field(1), QStringLiteral("&Paste"));
    QCOMPARE(field(1)->text(), QStringLiteral("255"));
    QCOMPARE(messages_, QStringList{QStringLiteral("300") + kNotValid});
}

QTEST_MAIN(IpAddressEditTest)
#include "ip_address_edit_test.moc"
