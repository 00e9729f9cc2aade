#include "shell/search/text_search_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace novrix::shell {
namespace {

enum Direction { Forward = 0, Backward = 1 };

QComboBox* historyBox(const QString& name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert); // the remembered search keeps the history
    box->setCompleter(nullptr);                // what is typed stays as typed
    box->setMinimumWidth(240);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

QCheckBox* optionBox(const QString& name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

void fill(QComboBox* box, const std::string& text, const std::vector<std::string>& history) {
    box->clear();
    for (const std::string& entry : history)
        box->addItem(QString::fromStdString(entry));
    box->setEditText(QString::fromStdString(text)); // after the items, which would set the text otherwise
}

std::vector<std::string> items(const QComboBox* box) {
    std::vector<std::string> history;
    for (int i = 0; i < box->count(); ++i)
        history.push_back(box->itemText(i).toStdString());
    return history;
}

} // namespace

TextSearchDialog::TextSearchDialog(QWidget* parent) : TextSearchDialog(false, parent) {}

TextSearchDialog::TextSearchDialog(bool withReplace, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(withReplace ? QStringLiteral("Replace text") : QStringLiteral("Search Text"));

    auto* texts = new QGridLayout;
    searchText_ = historyBox(QStringLiteral("cbSearchText"), this);
    auto* searchLabel = new QLabel(QStringLiteral("&Search for:"), this);
    searchLabel->setBuddy(searchText_);
    texts->addWidget(searchLabel, 0, 0);
    texts->addWidget(searchText_, 0, 1);
    if (withReplace) {
        replaceText_ = historyBox(QStringLiteral("cbReplaceText"), this);
        auto* replaceLabel = new QLabel(QStringLiteral("&Replace with:"), this);
        replaceLabel->setBuddy(replaceText_);
        texts->addWidget(replaceLabel, 1, 0);
        texts->addWidget(replaceText_, 1, 1);
    }
    texts->setColumnStretch(1, 1);

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    options->setObjectName(QStringLiteral("gbSearchOptions"));
    caseSensitive_ =
        optionBox(QStringLiteral("cbSearchCaseSensitive"), QStringLiteral("C&ase sensitivity"), options);
    wholeWords_ =
        optionBox(QStringLiteral("cbSearchWholeWords"), QStringLiteral("&Whole words only"), options);
    selectedOnly_ =
        optionBox(QStringLiteral("cbSearchSelectedOnly"), QStringLiteral("&Selected text only"), options);
    regularExpression_ =
        optionBox(QStringLiteral("cbRegularExpression"), QStringLiteral("&Regular expression"), options);
    auto* optionsLayout = new QVBoxLayout(options);
    for (QCheckBox* box : {caseSensitive_, wholeWords_, selectedOnly_, regularExpression_})
        optionsLayout->addWidget(box);

    auto* directionBox = new QGroupBox(QStringLiteral("Direction"), this);
    directionBox->setObjectName(QStringLiteral("rgSearchDirection"));
    auto* forward = new QRadioButton(QStringLiteral("&Forward"), directionBox);
    auto* backward = new QRadioButton(QStringLiteral("&Backward"), directionBox);
    direction_ = new QButtonGroup(this);
    direction_->addButton(forward, Forward);
    direction_->addButton(backward, Backward);
    forward->setChecked(true);
    auto* directionLayout = new QVBoxLayout(directionBox);
    directionLayout->addWidget(forward);
    directionLayout->addWidget(backward);
    directionLayout->addStretch();

    auto* groups = new QHBoxLayout;
    groups->addWidget(options);
    groups->addWidget(directionBox);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(texts);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TextSearchDialog::setFields(const SearchDialogFields& fields) {
    fill(searchText_, fields.searchText, fields.searchHistory);
    if (replaceText_)
        fill(replaceText_, fields.replaceText, fields.replaceHistory);
    caseSensitive_->setChecked(fields.options.caseSensitive);
    wholeWords_->setChecked(fields.options.wholeWords);
    selectedOnly_->setChecked(fields.options.selectedOnly);
    regularExpression_->setChecked(false);
    direction_->button(fields.options.backwards ? Backward : Forward)->setChecked(true);
    searchText_->lineEdit()->selectAll();
    searchText_->setFocus();
}

SearchDialogFields TextSearchDialog::fields() const {
    SearchDialogFields fields;
    fields.searchText = searchText_->currentText().toStdString();
    fields.searchHistory = items(searchText_);
    if (replaceText_) {
        fields.replaceText = replaceText_->currentText().toStdString();
        fields.replaceHistory = items(replaceText_);
    }
    fields.options.caseSensitive = caseSensitive_->isChecked();
    fields.options.wholeWords = wholeWords_->isChecked();
    fields.options.selectedOnly = selectedOnly_->isChecked();
    fields.options.regularExpression = regularExpression_->isChecked();
    fields.options.backwards = direction_->checkedId() == Backward;
    return fields;
}

void TextSearchDialog::accept() {
    const SearchDialogFields current = fields();
    std::vector<std::string> searchHistory = current.searchHistory;
    moveToTop(searchHistory, current.searchText);
    fill(searchText_, current.searchText, searchHistory);
    if (replaceText_) {
        std::vector<std::string> replaceHistory = current.replaceHistory;
        moveToTop(replaceHistory, current.replaceText);
        fill(replaceText_, current.replaceText, replaceHistory);
    }
    QDialog::accept();
}

TextReplaceDialog::TextReplaceDialog(QWidget* parent) : TextSearchDialog(true, parent) {}

} // namespace novrix::shell
