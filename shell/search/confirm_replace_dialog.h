#pragma once
// "Confirm replace": asks before one replacement, with Yes, No, Cancel and "Yes to all". A replace
// command creates it for its first question, moves it beside each occurrence, and drops it at its end.
#include "shell/search/editor_search.h"

#include <QDialog>

class QLabel;

namespace novrix::shell {

class ConfirmReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit ConfirmReplaceDialog(QWidget* parent = nullptr);

    // The question about the found text.
    void prepare(const QString& foundText);
    QString question() const;

    // Shows the dialog modally: Yes replaces, No skips, "Yes to all" replaces the rest without asking,
    // Cancel (also Escape and closing the dialog) ends the command.
    ReplaceAction ask();

private:
    enum Result { CancelResult = QDialog::Rejected, YesResult = QDialog::Accepted, NoResult, YesToAllResult };

    static constexpr int kWidth = 328;
    static constexpr int kHeight = 98;

    QLabel* confirmation_ = nullptr;
    int width_ = kWidth;
};

} // namespace novrix::shell
