// The main window's file commands, the recent-file list, the start-up steps of the first showing and the
// close sequence.
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QSaveFile>
#include <QSettings>
#include <QTimer>

#include "shell/core/message_position.h"
#include "shell/widgets/script_editor.h"
#include "shell/windows/help_window.h"
#include "shell/windows/main_window.h"

namespace novrix::shell {
namespace {

const QString kScriptFilter = QStringLiteral("NOVRIX Source Files (*.488);;NOVRIX Include files (*.Inc)");

} // namespace

MainWindowDialogs MainWindowDialogs::standard() {
    MainWindowDialogs d;
    d.askSave = [](QWidget* parent) {
        return QMessageBox::question(parent, QStringLiteral("Confirm"),
                                     QStringLiteral("File has not been saved, save now?"),
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    };
    d.chooseOpenFile = [](QWidget* parent, const QString& folder) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), folder, kScriptFilter);
    };
    d.chooseSaveFile = [](QWidget* parent, const QString& folder) {
        QFileDialog dialog(parent, QStringLiteral("Save as"), folder, kScriptFilter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("488"));
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                      : QString();
    };
    d.showError = [](QWidget* parent, const QString& message) {
        QMessageBox::critical(parent, QStringLiteral("Error"), message);
    };
    return d;
}

// --- reading and writing

bool MainWindow::readFile(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool MainWindow::writeFile(const QString& path) {
    // Written beside the file and renamed over it: a full disk leaves the previous file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(editor_->bytes()) < 0 || !file.commit()) {
        dialogs_.showError(this, QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString()));
        return false;
    }
    editor_->setModified(false);
    return true;
}

void MainWindow::loadIntoEditor(const QByteArray& bytes) {
    editor_->clearAll();
    editor_->loadBytes(bytes);
}

void MainWindow::setFileName(const QString& name) {
    currentFileName_ = name;
    setStatusText(2, name.toStdString());
    host_->setFileName(QFileInfo(name).fileName().toStdString());
    repaintEditor(); // the breakpoints now kept under the new name
}

// --- the commands

bool MainWindow::querySave() {
    if (!editor_->isModified()) return true;
    switch (dialogs_.askSave(this)) {
    case QMessageBox::Yes:
        save();
        return !currentFileName_.isEmpty() && !editor_->isModified();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void MainWindow::newFile() {
    if (!querySave()) return;
    editor_->clearAll();
    setFileName(QString());
    QByteArray bytes;
    QString templateFile = QString::fromStdString(paths_.file("New.488").string());
    if (QFileInfo::exists(templateFile) && readFile(templateFile, bytes)) {
        editor_->loadBytes(bytes);
    }
}

void MainWindow::open() {
    if (!querySave()) return;
    QString path = dialogs_.chooseOpenFile(this, QString::fromStdString(paths_.home().string()));
    if (path.isEmpty()) return;
    QByteArray bytes;
    // The editor keeps its text until the new file has been read: a failed open loses nothing.
    if (!readFile(path, bytes)) {
        dialogs_.showError(this, QStringLiteral("Cannot open \"%1\".").arg(path));
        return;
    }
    path = QFileInfo(path).absoluteFilePath();
    loadIntoEditor(bytes);
    setFileName(path);
    addRecent(path);
}

void MainWindow::openRecent(const QString& path) {
    if (!querySave()) return;
    QByteArray bytes;
    if (!readFile(path, bytes)) {
        dialogs_.showError(this, QStringLiteral("Cannot open \"%1\".").arg(path));
        return;
    }
    loadIntoEditor(bytes);
    setFileName(path);
}

void MainWindow::save() {
    if (currentFileName_.isEmpty()) {
        saveAs();
        return;
    }
    writeFile(currentFileName_);
}

void MainWindow::saveAs() {
    QString path = dialogs_.chooseSaveFile(this, QString::fromStdString(paths_.home().string()));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".488");
    path = QFileInfo(path).absoluteFilePath();
    setFileName(path);
    if (!writeFile(path)) return;
    addRecent(path);
}

void MainWindow::exit() {
    if (querySave()) close();
}

// --- the recent-file list

void MainWindow::addRecent(const QString& path) {
    recent_.add(path.toStdString());
    storeRecent();
    rebuildRecentMenu();
}

namespace {

// The user's own settings store of this program file (not the settings file in the program home).
std::unique_ptr<QSettings> recentFileStore(const std::string& programName) {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("novrix-desktop"), QString::fromStdString(programName));
}

} // namespace

void MainWindow::loadRecent() {
    std::unique_ptr<QSettings> store = recentFileStore(paths_.programName());
    std::vector<std::string> stored;
    for (size_t k = 1; k <= RecentFiles::kCapacity; ++k)
        stored.push_back(store->value(QStringLiteral("mru/MRU%1").arg(k)).toString().toStdString());
    recent_ = RecentFiles(std::move(stored));
}

void MainWindow::storeRecent() {
    std::unique_ptr<QSettings> store = recentFileStore(paths_.programName());
    store->remove(QStringLiteral("mru"));
    for (size_t k = 0; k < recent_.paths().size(); ++k)
        store->setValue(QStringLiteral("mru/MRU%1").arg(k + 1), QString::fromStdString(recent_.paths()[k]));
}

void MainWindow::rebuildRecentMenu() {
    recentMenu_->clear();
    for (const std::string& path : recent_.paths()) {
        QString full = QString::fromStdString(path);
        QAction* item = recentMenu_->addAction(QString::fromStdString(RecentFiles::caption(path)));
        item->setData(full);
        item->setToolTip(full);
        connect(item, &QAction::triggered, this, [this, full] { openRecent(full); });
    }
    recentMenu_->setEnabled(!recent_.paths().empty());
}

// --- the message list

void MainWindow::jumpToMessage(int row) {
    QListWidgetItem* item = messages_->item(row);
    if (!item) return;
    std::optional<MessagePosition> position = messagePosition(item->text().toStdString());
    if (!position) return;
    int line = position->row - 1;
    editor_->setCursorPosition(line, 0);
    editor_->setFocus();
    if (position->quotedLength) {
        int index = position->column - 1;
        editor_->setSelection(line, index, line, index + *position->quotedLength);
    }
}

// --- start-up and closing

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (showScheduled_) return;
    showScheduled_ = true;
    QTimer::singleShot(0, this, [this] { formShow(); });
}

void MainWindow::formShow() {
    // The controller search joins here, before the warm-up compile, once the bus exists.
    host_->warmUpCompile();
    helpWindow_->setListing(QString::fromStdString(host_->helpListing().text()));
    editor_->clearAll();
    clearMessages();
    QString standard = QString::fromStdString(paths_.file("Standard.488").string());
    QByteArray bytes;
    if (QFileInfo::exists(standard) && readFile(standard, bytes)) {
        editor_->loadBytes(bytes);
        setFileName(standard);
    } else {
        setFileName(QString());
    }
    started_ = true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Never while a script runs, paused or not; nothing is said.
    if (host_->isRunning()) {
        event->ignore();
        return;
    }
    // A named script is written back without a question. When that fails (its folder is gone, the disk
    // is full) the window stays open after the error box, so that the text can still be saved elsewhere.
    if (!currentFileName_.isEmpty() && !writeFile(currentFileName_)) {
        event->ignore();
        return;
    }
    settings_.userFileName = host_->userFileName();
    saveSettings();
    if (!ini_.save())
        dialogs_.showError(this, QStringLiteral("Cannot write the settings file \"%1\".")
                                     .arg(QString::fromStdString(ini_.path().string())));
    event->accept();
    emit closed();
}

} // namespace novrix::shell
