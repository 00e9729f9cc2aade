// The Parameters dialog: it shows the settings on every showing, writes them back and has them saved only
// on "&Ok", and leaves them alone on "&Cancel", whatever was chosen or typed meanwhile.
#include "shell/widgets/ip_address_edit.h"
#include "shell/windows/parameters_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

using novrix::shell::IpAddressEdit;
using novrix::shell::ParametersDialog;

namespace {

const QStringList kCheckBoxNames{"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5"};

novrix::host::Settings sampleSettings() {
    novrix::host::Settings s;
    s.userFileName = "/data/novrix/UserFileName.Txt";
    s.searchLan = true;
    s.searchSerial = false;
    s.searchDll = true;
    s.searchVisa = false;
    s.connectLan = true;
    s.connectUrl = "192.168.1.20";
    return s;
}

// Pastes `text` into an IP field through the field's context menu.
void pasteThroughContextMenu(QLineEdit* field, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::mouseClick(field, Qt::LeftButton);
    bool pasted = false;
    QTimer::singleShot(0, field, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text() == QStringLiteral("&Paste")) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                pasted = true;
                return;
            }
        }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2), field->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(field, &event);
    QVERIFY(pasted);
}

} // namespace

class ParametersDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutIsAsDrawn();
    void everyShowingFillsFromTheSettings();
    void okWritesAllSevenAndSavesOnce();
    void cancelChangesNothing();
    void chosenFileGoesOnlyIntoTheField();
    void refusedAddressLeavesTheFieldEmptyAndTheSettingAlone();
    void unreadableAddressKeepsTheDialogOpen_data();
    void unreadableAddressKeepsTheDialogOpen();
    void tabSkipsTheAddressControl();

private:
    template <typename T>
    T* child(const QString& name) const {
        T* found = dialog_->findChild<T*>(name);
        if (found == nullptr) {
            qWarning("no child %s", qPrintable(name));
        }
        return found;
    }
    QCheckBox* checkBox(int i) const { return child<QCheckBox>(kCheckBoxNames.at(i)); }
    IpAddressEdit* ipEdit() const { return child<IpAddressEdit>(QStringLiteral("IPEdit")); }
    QLineEdit* edit1() const { return child<QLineEdit>(QStringLiteral("Edit1")); }
    void click(const char* buttonName) const;
    void showDialog();

    novrix::host::Settings settings_;
    int saves_ = 0;
    QStringList errors_;
    QStringList chooserAnswers_;
    std::unique_ptr<ParametersDialog> dialog_;
};

void ParametersDialogTest::init() {
    settings_ = sampleSettings();
    saves_ = 0;
    errors_.clear();
    chooserAnswers_.clear();
    dialog_ = std::make_unique<ParametersDialog>(settings_, [this] { ++saves_; });
    dialog_->setErrorSink([this](const QString& message) { errors_ << message; });
    dialog_->setFileChooser(
        [this] { return chooserAnswers_.isEmpty() ? QString() : chooserAnswers_.takeFirst(); });
    dialog_->findChild<IpAddressEdit*>(QStringLiteral("IPEdit"))
        ->setMessageSink([this](const QString& message) { errors_ << message; });
}

void ParametersDialogTest::cleanup() {
    dialog_.reset();
}

void ParametersDialogTest::click(const char* buttonName) const {
    auto* button = child<QPushButton>(QLatin1String(buttonName));
    QVERIFY(button != nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

void ParametersDialogTest::showDialog() {
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
}

void ParametersDialogTest::layoutIsAsDrawn() {
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Parameters"));
    QCOMPARE(dialog_->minimumSize(), QSize(380, 235));
    QCOMPARE(dialog_->maximumSize(), QSize(380, 235));
    const Qt::WindowFlags flags = dialog_->windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QVERIFY(!dialog_->isModal());
    // The design's 14 pixels, or smaller where this machine's font would clip a caption.
    QVERIFY(dialog_->font().pixelSize() <= 14 && dialog_->font().pixelSize() >= 9);
    for (QCheckBox* box : dialog_->findChildren<QCheckBox*>())
        QVERIFY2(box->sizeHint().width() <= box->width(), qPrintable(box->text()));

    const struct {
        const char* name;
        QRect geometry;
        const char* caption;
    } controls[] = {
        {"CheckBox1", {16, 16, 360, 17}, "At program start search for Prologix LAN-GPIB controller"},
        {"CheckBox4", {16, 88, 320, 17}, "At program start search for VISA32.DL"},
        {"CheckBox5", {16, 114, 220, 17}, "Connect Prologix LAN-GPIB at"},
        {"Edit1", {16, 164, 305, 21}, nullptr},
        {"BitBtn1", {328, 160, 36, 29}, nullptr},
        {"Button1", {325, 200, 40, 25}, "&Ok"},
        {"Button2", {256, 200, 65, 25}, "&Cancel"},
        {"IPEdit", {240, 112, 121, 21}, nullptr},
    };
    for (const auto& control : controls) {
        auto* widget = child<QWidget>(QLatin1String(control.name));
        QVERIFY2(widget != nullptr, control.name);
        QCOMPARE(widget->geometry(), control.geometry);
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && control.caption) {
            QCOMPARE(button->text(), QLatin1String(control.caption));
        }
    }
    QCOMPARE(ipEdit()->minimumWidth(), 100);
    QVERIFY(!child<QPushButton>(QStringLiteral("BitBtn1"))->icon().isNull());
    auto* label = child<QLabel>(QStringLiteral("Label1"));
    QCOMPARE(label->text(), QStringLiteral("UserFileName is"));
    QCOMPARE(label->pos(), QPoint(16, 144));
}

void ParametersDialogTest::everyShowingFillsFromTheSettings() {
    showDialog();
    QCOMPARE(edit1()->text(), QStringLiteral("/data/novrix/UserFileName.Txt"));
    const bool expected[] = {true, false, true, false, true};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(checkBox(i)->isChecked(), expected[i]);
    }
    QCOMPARE(ipEdit()->addressText(), std::optional<QString>(QStringLiteral("192.168.1.20")));

    // Edits left behind by a cancelled showing are gone at the next one, which shows the settings as they
    // are then.
    edit1()->setText(QStringLiteral("typed but cancelled"));
    checkBox(1)->setChecked(true);
    click("Button2");
    settings_.searchLan = false;
    settings_.connectUrl = "10.0.0.7";
    showDialog();
    QCOMPARE(edit1()->text(), QStringLiteral("/data/novrix/UserFileName.Txt"));
    QVERIFY(!checkBox(0)->isChecked());
    QVERIFY(!checkBox(1)->isChecked());
    QCOMPARE(ipEdit()->addressText(), std::optional<QString>(QStringLiteral("10.0.0.7")));
    QVERIFY(errors_.isEmpty());
}

void ParametersDialogTest::okWritesAllSevenAndSavesOnce() {
    showDialog();
    edit1()->setText(QStringLiteral("/data/other.TXT"));
    for (int i = 0; i < 5; ++i) {
        QTest::mouseClick(checkBox(i), Qt::LeftButton, {}, QPoint(5, checkBox(i)->height() / 2));
    }
    QVERIFY(ipEdit()->setAddressText(QStringLiteral("127.0.0.1")));
    QCOMPARE(saves_, 0);
    const novrix::host::Settings before = settings_;

    click("Button1");
    QCOMPARE(saves_, 1);
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(settings_.userFileName, std::string("/data/other.TXT"));
    QCOMPARE(settings_.searchLan, !before.searchLan);
    QCOMPARE(settings_.searchSerial, !before.searchSerial);
    QCOMPARE(settings_.searchDll, !before.searchDll);
    QCOMPARE(settings_.searchVisa, !before.searchVisa);
    QCOMPARE(settings_.connectLan, !before.connectLan);
    QCOMPARE(settings_.connectUrl, std::string("127.0.0.1"));
    QVERIFY(errors_.isEmpty());
}

void ParametersDialogTest::cancelChangesNothing() {
    showDialog();
    edit1()->setText(QStringLiteral("/elsewhere.TXT"));
    for (int i = 0; i < 5; ++i) {
        checkBox(i)->toggle();
    }
    QVERIFY(ipEdit()->setAddressText(QStringLiteral("10.1.2.3")));
    click("Button2");
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(saves_, 0);
    QVERIFY(settings_ == sampleSettings());
}

void ParametersDialogTest::chosenFileGoesOnlyIntoTheField() {
    showDialog();
    chooserAnswers_ << QString(); // the save dialog cancelled
    click("BitBtn1");
    QCOMPARE(edit1()->text(), QStringLiteral("/data/novrix/UserFileName.Txt"));

    chooserAnswers_ << QStringLiteral("/data/chosen/Results.TXT");
    click("BitBtn1");
    QCOMPARE(edit1()->text(), QStringLiteral("/data/chosen/Results.TXT"));
    QCOMPARE(settings_.userFileName, std::string("/data/novrix/UserFileName.Txt"));
    QCOMPARE(saves_, 0);

    click("Button2");
    QVERIFY(settings_ == sampleSettings());
    QCOMPARE(saves_, 0);
}

void ParametersDialogTest::refusedAddressLeavesTheFieldEmptyAndTheSettingAlone() {
    // A settings file edited by hand: first shown with a good address, then with one the control refuses.
    showDialog();
    click("Button2");
    settings_.connectUrl = "lab-gpib.local";
    showDialog();
    QCOMPARE(errors_, QStringList{QStringLiteral("Bad IP address string given to component")});
    QCOMPARE(ipEdit()->field(0)->text(), QString());
    QCOMPARE(ipEdit()->field(3)->text(), QString());

    // Empty fields are no address: confirming keeps the setting and writes the rest.
    checkBox(2)->setChecked(false);
    click("Button1");
    QCOMPARE(saves_, 1);
    QCOMPARE(settings_.connectUrl, std::string("lab-gpib.local"));
    QVERIFY(!settings_.searchDll);
}

void ParametersDialogTest::unreadableAddressKeepsTheDialogOpen_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("error");
    QTest::newRow("not a number") << "ab"
                                  << "'ab' is not a valid integer value";
    QTest::newRow("negative number") << "-1"
                                     << "IP Address contains illegal symbols. IPAddressString[1.2.-1.4]";
}

void ParametersDialogTest::unreadableAddressKeepsTheDialogOpen() {
    QFETCH(QString, pasted);
    QFETCH(QString, error);
    settings_.connectUrl = "1.2.3.4";
    showDialog();
    edit1()->setText(QStringLiteral("/not/saved.TXT"));
    checkBox(0)->toggle();
    QLineEdit* field = ipEdit()->field(2);
    // Paste in place of the field's "3": a click at its right edge puts the caret after it.
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->width() - 1, field->height() / 2));
    QTest::keyClick(field, Qt::Key_Backspace);
    pasteThroughContextMenu(field, pasted);
    QCOMPARE(field->text(), pasted);

    const novrix::host::Settings before = settings_;
    click("Button1");
    QCOMPARE(errors_, QStringList{error});
    QCOMPARE(saves_, 0);
    QVERIFY(dialog_->isVisible());
    QVERIFY(settings_ == before);
}

void ParametersDialogTest::tabSkipsTheAddressControl() {
    showDialog();
    checkBox(4)->setFocus();
    QTRY_VERIFY(checkBox(4)->hasFocus());
    QTest::keyClick(checkBox(4), Qt::Key_Tab);
    QVERIFY(edit1()->hasFocus());
    QTest::keyClick(edit1(), Qt::Key_Backtab);
    QVERIFY(checkBox(4)->hasFocus());
    // The mouse still reaches it.
    QTest::mouseClick(ipEdit()->field(1), Qt::LeftButton);
    QVERIFY(ipEdit()->field(1)->hasFocus());
}

QTEST_MAIN(ParametersDialogTest)
#include "parameters_dialog_test.moc"
