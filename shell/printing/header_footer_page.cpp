#include "shell/printing/header_footer_page.h"

#include "shell/printing/rich_text_lines.h"

#include <QApplication>
#include <QVBoxLayout>

namespace novrix::shell {

HeaderFooterPage::HeaderFooterPage(QWidget* parent) : QWidget(parent) {
    for (QAction* action :
         {&pageNumber_, &pageCount_, &time_, &date_, &title_, &font_, &bold_, &italic_, &underline_}) {
        toolBar_.addAction(action);
        if (action == &title_)
            toolBar_.addSeparator();
    }
    pageNumber_.setToolTip(QStringLiteral("Insert the page number"));
    pageCount_.setToolTip(QStringLiteral("Insert the number of pages"));
    time_.setToolTip(QStringLiteral("Insert the time of printing"));
    date_.setToolTip(QStringLiteral("Insert the date of printing"));
    title_.setToolTip(QStringLiteral("Insert the title"));
    toolBar_.setToolButtonStyle(Qt::ToolButtonTextOnly);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&toolBar_);
    layout->addWidget(&header_);
    layout->addWidget(&footer_);

    connect(&pageNumber_, &QAction::triggered, this, [this] { insertMacro(QStringLiteral("$PAGENUM$")); });
    connect(&pageCount_, &QAction::triggered, this, [this] { insertMacro(QStringLiteral("$PAGECOUNT$")); });
    connect(&time_, &QAction::triggered, this, [this] { insertMacro(QStringLiteral("$TIME$")); });
    connect(&date_, &QAction::triggered, this, [this] { insertMacro(QStringLiteral("$DATE$")); });
    connect(&title_, &QAction::triggered, this, [this] { insertMacro(QStringLiteral("$TITLE$")); });
    connect(&font_, &QAction::triggered, this, &HeaderFooterPage::chooseFont);
    connect(&bold_, &QAction::triggered, this, &HeaderFooterPage::toggleBold);
    connect(&italic_, &QAction::triggered, this, &HeaderFooterPage::toggleItalic);
    connect(&underline_, &QAction::triggered, this, &HeaderFooterPage::toggleUnderline);
    focusConnection_ = connect(qApp, &QApplication::focusChanged, this,
                               [this](QWidget*, QWidget* now) { focusChanged(now); });

    current_ = &header_.field(HFAlignment::Left);
    updateActions();
}

HeaderFooterPage::~HeaderFooterPage() {
    // The fields go before QObject would drop the connection, and they send focus changes as they go.
    disconnect(focusConnection_);
}

void HeaderFooterPage::setColorChooser(const ColorChooser& chooser) {
    header_.setColorChooser(chooser);
    footer_.setColorChooser(chooser);
}

void HeaderFooterPage::load(const PrintSetup& setup) {
    header_.load(setup.header);
    footer_.load(setup.footer);
    current_ = &header_.field(HFAlignment::Left);
    updateActions();
}

void HeaderFooterPage::store(PrintSetup& setup) const {
    header_.store(setup.header);
    footer_.store(setup.footer);
}

bool HeaderFooterPage::isField(const QWidget* widget) const {
    for (const HeaderFooterPanel* panel : {&header_, &footer_}) {
        for (const QTextEdit& field : panel->fields()) {
            if (widget == &field)
                return true;
        }
    }
    return false;
}

void HeaderFooterPage::focusChanged(QWidget* now) {
    if (now != nullptr && isField(now))
        current_ = static_cast<QTextEdit*>(now);
    updateActions();
}

void HeaderFooterPage::updateActions() {
    const bool enabled = current_ != nullptr && current_->hasFocus();
    for (QAction* action :
         {&pageNumber_, &pageCount_, &time_, &date_, &title_, &font_, &bold_, &italic_, &underline_})
        action->setEnabled(enabled);
}

void HeaderFooterPage::insertMacro(const QString& macro) {
    if (current_ != nullptr)
        current_->textCursor().insertText(macro);
}

void HeaderFooterPage::chooseFont() {
    if (current_ == nullptr)
        return;
    QTextEdit& field = *current_;
    const std::optional<QFont> chosen = fontChooser_(cursorLineFormat(field).font(), this);
    field.setFocus();
    if (!chosen)
        return;
    QTextCharFormat change;
    change.setFont(*chosen, QTextCharFormat::FontPropertiesAll);
    changeCursorLine(field, change);
}

void HeaderFooterPage::toggleBold() {
    if (current_ == nullptr)
        return;
    QTextCharFormat change;
    change.setFontWeight(cursorLineFormat(*current_).font().bold() ? QFont::Normal : QFont::Bold);
    changeCursorLine(*current_, change);
}

void HeaderFooterPage::toggleItalic() {
    if (current_ == nullptr)
        return;
    QTextCharFormat change;
    change.setFontItalic(!cursorLineFormat(*current_).font().italic());
    changeCursorLine(*current_, change);
}

void HeaderFooterPage::toggleUnderline() {
    if (current_ == nullptr)
        return;
    QTextCharFormat change;
    change.setFontUnderline(!cursorLineFormat(*current_).font().underline());
    changeCursorLine(*current_, change);
}

} // namespace novrix::shell
