#pragma once
// The Parameters dialog (TParameterForm): the controller searches at start-up, the fixed LAN controller
// and the user file name. It shows the settings each time it is shown and writes them back, then lets the
// main window save them, only when "&Ok" is pressed. It does not block the main window.
#include "host/settings.h"

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace novrix::shell {

class IpAddressEdit;

class ParametersDialog : public QDialog {
    Q_OBJECT
public:
    // Returns the chosen full path, or "" when the choice was cancelled.
    using FileChooser = std::function<QString()>;
    // Shows an error text; the default is an error box.
    using ErrorSink = std::function<void(const QString& message)>;

    // `settings` must outlive the dialog; `saveSettings` is called after "&Ok" has written into it.
    ParametersDialog(host::Settings& settings, std::function<void()> saveSettings, QWidget* parent = nullptr);

    // The default is a save dialog for text files, starting at the name in the file name field.
    void setFileChooser(FileChooser chooser);
    // The default shows an error box once control returns to the event loop.
    void setErrorSink(ErrorSink sink);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillFromSettings();
    void chooseUserFileName();
    void confirm();
    void reportError(const QString& message);
    QString chooseWithSaveDialog();

    host::Settings& settings_;
    std::function<void()> saveSettings_;
    FileChooser fileChooser_;
    ErrorSink errorSink_;

    std::array<QCheckBox*, 5> checkBoxes_{};
    IpAddressEdit* ipEdit_ = nullptr;
    QLabel* userFileLabel_ = nullptr;
    QLineEdit* userFileEdit_ = nullptr;
    QPushButton* chooseButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace novrix::shell
