#pragma once
// The "Header && Footer" tab: a tool bar over the header's and the footer's panels. The tool bar's nine
// actions work on the current field, the rich-text field entered last (the header's left field when
// the dialog opens), and are enabled only while that field has the keyboard focus. Page number, Num.
// pages, Time, Date and Title insert their macro at the cursor; Font, Bold, Italic and Underline change
// the whole line holding the cursor.
#include "shell/printing/choosers.h"
#include "shell/printing/header_footer_panel.h"

#include <QAction>
#include <QToolBar>
#include <QWidget>
#include <vector>

namespace novrix::shell {

class HeaderFooterPage : public QWidget {
    Q_OBJECT
public:
    explicit HeaderFooterPage(QWidget* parent = nullptr);
    ~HeaderFooterPage() override;

    void load(const PrintSetup& setup);
    void store(PrintSetup& setup) const;

    void setFontChooser(FontChooser chooser) { fontChooser_ = std::move(chooser); }
    void setColorChooser(const ColorChooser& chooser);

    HeaderFooterPanel& header() { return header_; }
    HeaderFooterPanel& footer() { return footer_; }
    QTextEdit* currentField() const { return current_; }

    QAction& pageNumberAction() { return pageNumber_; }
    QAction& pageCountAction() { return pageCount_; }
    QAction& timeAction() { return time_; }
    QAction& dateAction() { return date_; }
    QAction& titleAction() { return title_; }
    QAction& fontAction() { return font_; }
    QAction& boldAction() { return bold_; }
    QAction& italicAction() { return italic_; }
    QAction& underlineAction() { return underline_; }

private:
    void focusChanged(QWidget* now);
    void updateActions();
    bool isField(const QWidget* widget) const;
    void insertMacro(const QString& macro);
    void chooseFont();
    void toggleBold();
    void toggleItalic();
    void toggleUnderline();

    QToolBar toolBar_;
    QAction pageNumber_{QStringLiteral("Page number")};
    QAction pageCount_{QStringLiteral("Num. pages")};
    QAction time_{QStringLiteral("Time")};
    QAction date_{QStringLiteral("Date")};
    QAction title_{QStringLiteral("Title")};
    QAction font_{QStringLiteral("Font")};
    QAction bold_{QStringLiteral("Bold")};
    QAction italic_{QStringLiteral("Italic")};
    QAction underline_{QStringLiteral("Underline")};
    HeaderFooterPanel header_{HeaderFooterPanel::Kind::Header};
    HeaderFooterPanel footer_{HeaderFooterPanel::Kind::Footer};
    QTextEdit* current_ = nullptr;
    FontChooser fontChooser_ = systemFontChooser();
    QMetaObject::Connection focusConnection_;
};

} // namespace novrix::shell
