#include "shell/windows/parameters_dialog.h"

#include "shell/core/ip_address_utils.h"
#include "shell/widgets/ip_address_edit.h"
#include "shell/windows/window_centring.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <utility>

namespace novrix::shell {
namespace {

constexpr int kClientWidth = 380;
constexpr int kClientHeight = 235;
constexpr int kFontPixelSize = 14;
constexpr int kSmallestFontPixelSize = 9;

struct CheckBoxPlace {
    const char* name;
    const char* caption;
    QRect geometry;
};

// In the order of the settings they show: SearchLAN, SearchSERIAL, SearchDLL, SearchVISA, ConnectLan.
constexpr std::array<CheckBoxPlace, 5> kCheckBoxes{{
    {"CheckBox1", "At program start search for Prologix LAN-GPIB controller", QRect(16, 16, 360, 17)},
    {"CheckBox2", "At program start search for Prologix USB-GPIB controller", QRect(16, 40, 360, 17)},
    {"CheckBox3", "At program start search for GPIB32.DLL based controller", QRect(16, 64, 360, 17)},
    {"CheckBox4", "At program start search for VISA32.DL", QRect(16, 88, 320, 17)},
    {"CheckBox5", "Connect Prologix LAN-GPIB at", QRect(16, 114, 220, 17)},
}};

std::array<bool*, 5> flagsOf(host::Settings& s) {
    return {&s.searchLan, &s.searchSerial, &s.searchDll, &s.searchVisa, &s.connectLan};
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    // Return in a text field must not press a button the user did not choose.
    button->setAutoDefault(false);
    return button;
}

} // namespace

ParametersDialog::ParametersDialog(host::Settings& settings, std::function<void()> saveSettings,
                                   QWidget* parent)
    : QDialog(parent), settings_(settings), saveSettings_(std::move(saveSettings)) {
    setObjectName(QStringLiteral("ParameterForm"));
    setWindowTitle(QStringLiteral("Parameters"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPixelSize(kFontPixelSize);
    setFont(dialogFont);
    setFixedSize(kClientWidth, kClientHeight);

    for (std::size_t i = 0; i < kCheckBoxes.size(); ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kCheckBoxes[i].caption), this);
        box->setObjectName(QLatin1String(kCheckBoxes[i].name));
        box->setGeometry(kCheckBoxes[i].geometry);
        checkBoxes_[i] = box;
    }

    // Fonts here run wider than the design's: the dialog takes the largest size up to the design's at
    // which every check box caption fits its box.
    auto captionsFit = [this] {
        for (QCheckBox* box : checkBoxes_)
            if (box->sizeHint().width() > box->width()) return false;
        return true;
    };
    for (int pixels = kFontPixelSize; pixels > kSmallestFontPixelSize && !captionsFit(); --pixels) {
        dialogFont.setPixelSize(pixels - 1);
        setFont(dialogFont);
    }

    ipEdit_ = new IpAddressEdit(this);
    ipEdit_->setObjectName(QStringLiteral("IPEdit"));
    ipEdit_->setGeometry(240, 112, 121, 21);
    ipEdit_->setTabStop(false);

    userFileLabel_ = new QLabel(QStringLiteral("UserFileName is"), this);
    userFileLabel_->setObjectName(QStringLiteral("Label1"));
    userFileLabel_->move(16, 144);
    userFileLabel_->adjustSize();

    userFileEdit_ = new QLineEdit(this);
    userFileEdit_->setObjectName(QStringLiteral("Edit1"));
    userFileEdit_->setGeometry(16, 164, 305, 21);

    chooseButton_ = makeButton(this, "BitBtn1", QString(), QRect(328, 160, 36, 29));
    chooseButton_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    chooseButton_->setToolTip(tr("Choose the user file"));
    okButton_ = makeButton(this, "Button1", QStringLiteral("&Ok"), QRect(325, 200, 40, 25));
    cancelButton_ = makeButton(this, "Button2", QStringLiteral("&Cancel"), QRect(256, 200, 65, 25));

    connect(chooseButton_, &QPushButton::clicked, this, &ParametersDialog::chooseUserFileName);
    connect(okButton_, &QPushButton::clicked, this, &ParametersDialog::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void ParametersDialog::setFileChooser(FileChooser chooser) {
    fileChooser_ = std::move(chooser);
}

void ParametersDialog::setErrorSink(ErrorSink sink) {
    errorSink_ = std::move(sink);
}

void ParametersDialog::showEvent(QShowEvent* event) {
    // Restoring a minimised dialog is not a new showing.
    if (!event->spontaneous()) {
        centreOnScreen(*this);
        fillFromSettings();
    }
    QDialog::showEvent(event);
}

void ParametersDialog::fillFromSettings() {
    userFileEdit_->setText(QString::fromStdString(settings_.userFileName));
    const auto flags = flagsOf(settings_);
    for (std::size_t i = 0; i < flags.size(); ++i) {
        checkBoxes_[i]->setChecked(*flags[i]);
    }
    // An address the control refuses (a hand-edited settings file) leaves the field empty; the setting
    // itself is kept unless the user types a new address.
    QString error;
    if (!ipEdit_->setAddressText(QString::fromStdString(settings_.connectUrl), &error)) {
        ipEdit_->setAddressText(QString());
        reportError(error);
    }
}

void ParametersDialog::chooseUserFileName() {
    const QString chosen = fileChooser_ ? fileChooser_() : chooseWithSaveDialog();
    if (!chosen.isEmpty()) {
        userFileEdit_->setText(chosen);
    }
}

QString ParametersDialog::chooseWithSaveDialog() {
    return QFileDialog::getSaveFileName(this, QString(), userFileEdit_->text(),
                                        QStringLiteral("Text files (*.TXT)"));
}

void ParametersDialog::confirm() {
    // The address is read first, so that a field the user cannot leave that way changes nothing.
    QString error;
    const std::optional<QString> address = ipEdit_->addressText(&error);
    if (!address) {
        reportError(error);
        return;
    }
    const std::string url = address->toStdString();
    if (!url.empty()) {
        // The fields hold numbers up to 255, but a pasted "-1" is a number too.
        try {
            checkIpString(url);
        } catch (const IpAssertionFailure& e) {
            reportError(QString::fromStdString(e.message()));
            return;
        } catch (const IpAddressError& e) {
            reportError(QString::fromUtf8(e.what()));
            return;
        }
    }

    settings_.userFileName = userFileEdit_->text().toStdString();
    const auto flags = flagsOf(settings_);
    for (std::size_t i = 0; i < flags.size(); ++i) {
        *flags[i] = checkBoxes_[i]->isChecked();
    }
    // Empty fields are no address to connect to: the one in the settings stays.
    if (!url.empty()) {
        settings_.connectUrl = url;
    }
    if (saveSettings_) {
        saveSettings_();
    }
    accept();
}

void ParametersDialog::reportError(const QString& message) {
    if (errorSink_) {
        errorSink_(message);
        return;
    }
    // Shown from the event loop, so that a showing or a click finishes first.
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            QMessageBox::critical(this, QGuiApplication::applicationDisplayName(), message, QMessageBox::Ok);
        },
        Qt::QueuedConnection);
}

} // namespace novrix::shell
