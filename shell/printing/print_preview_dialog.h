#pragma once
// The "Print Preview" dialog: a tool bar (First, Previous, Next, Last page, Zoom with its menu, Print,
// Close), the preview of the printout, and a status bar with a hint panel and a page panel. It opens
// maximised on the first page; it starts showing the whole page and keeps the zoom it was left with.
//
// A click in the preview zooms: the left button to 100% from the whole page, else doubling up to 400%;
// any other button halving down to 25%.
#include "shell/printing/preview_zoom.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPrintPreviewWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

class QPrinter;

namespace novrix::shell {

class PrintPreviewDialog : public QDialog {
    Q_OBJECT
public:
    // Previews what is painted on `printer` when the preview asks (paintRequested).
    explicit PrintPreviewDialog(QPrinter& printer, QWidget* parent = nullptr);

    QPrintPreviewWidget& preview() { return preview_; }

    int currentPage() const { return preview_.currentPage(); }
    int pageCount() const { return preview_.pageCount(); }
    // The whole percentage the preview is shown at.
    int scalePercent() const;
    PreviewViewMode viewMode() const;
    void setViewMode(PreviewViewMode mode, int percent = 100);
    // What a click with the left button (or another) in the preview does.
    void clickPreview(PreviewClick click);

    QAction& firstAction() { return first_; }
    QAction& previousAction() { return previous_; }
    QAction& nextAction() { return next_; }
    QAction& lastAction() { return last_; }
    QAction& zoomAction() { return zoom_; }
    QAction& printAction() { return print_; }
    QAction& closeAction() { return close_; }
    QMenu& zoomMenu() { return zoomMenu_; }
    QLabel& hintPanel() { return hint_; }
    QLabel& pagePanel() { return page_; }

signals:
    // Painting the printout, and Print pressed in the preview.
    void paintRequested(QPrinter* printer);
    void printRequested();

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void goToPage(int page);
    void showPageNumber();

    QPrinter& printer_;
    QToolBar toolBar_;
    QAction first_{QStringLiteral("First")};
    QAction previous_{QStringLiteral("Previous")};
    QAction next_{QStringLiteral("Next")};
    QAction last_{QStringLiteral("Last")};
    QAction zoom_{QStringLiteral("Zoom")};
    QAction print_{QStringLiteral("Print")};
    QAction close_{QStringLiteral("Close")};
    QMenu zoomMenu_;
    QToolButton zoomButton_;
    QPrintPreviewWidget preview_;
    QStatusBar statusBar_;
    QLabel hint_;
    QLabel page_;
};

} // namespace novrix::shell
