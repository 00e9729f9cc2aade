#pragma once
// "Search Text" and, derived from it, "Replace text": the modal dialogs of the Search menu. They show the
// search (and replacement) text with its history, the options and the direction; the caller loads them
// from the remembered search and reads them back after OK.
#include "shell/search/search_state.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;

namespace novrix::shell {

class TextSearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextSearchDialog(QWidget* parent = nullptr);

    // The regular-expression box is always left unchecked; the replace fields count in the replace
    // dialog only.
    void setFields(const SearchDialogFields& fields);
    SearchDialogFields fields() const;

    bool isReplaceDialog() const { return replaceText_ != nullptr; }

    // OK: a non-empty search (and replacement) text moves to the top of its history list first.
    void accept() override;

protected:
    TextSearchDialog(bool withReplace, QWidget* parent);

private:
    QComboBox* searchText_ = nullptr;
    QComboBox* replaceText_ = nullptr;
    QCheckBox* caseSensitive_ = nullptr;
    QCheckBox* wholeWords_ = nullptr;
    QCheckBox* selectedOnly_ = nullptr;
    QCheckBox* regularExpression_ = nullptr;
    QButtonGroup* direction_ = nullptr;
};

class TextReplaceDialog : public TextSearchDialog {
    Q_OBJECT
public:
    explicit TextReplaceDialog(QWidget* parent = nullptr);
};

} // namespace novrix::shell
