#include "shell/printing/print_preview_dialog.h"

#include <QEvent>
#include <QGraphicsView>
#include <QMouseEvent>
#include <QPrinter>
#include <QStatusTipEvent>
#include <QVBoxLayout>

namespace novrix::shell {

namespace {

void describe(QAction& action, const QString& shortcut, const QString& tip, const QString& statusTip) {
    action.setShortcut(QKeySequence(shortcut));
    action.setToolTip(tip);
    action.setStatusTip(statusTip);
}

} // namespace

PrintPreviewDialog::PrintPreviewDialog(QPrinter& printer, QWidget* parent)
    : QDialog(parent), printer_(printer), preview_(&printer) {
    setWindowTitle(QStringLiteral("Print Preview"));
    setObjectName(QStringLiteral("TTestPrintPreviewDlg"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);

    describe(first_, QStringLiteral("Alt+F"), QStringLiteral("First page"),
             QStringLiteral("Show the first page"));
    describe(previous_, QStringLiteral("Alt+P"), QStringLiteral("Previous page"),
             QStringLiteral("Show the previous page"));
    describe(next_, QStringLiteral("Alt+N"), QStringLiteral("Next page"),
             QStringLiteral("Show the next page"));
    describe(last_, QStringLiteral("Alt+L"), QStringLiteral("Last page"),
             QStringLiteral("Show the last page"));
    describe(zoom_, QStringLiteral("Alt+Z"), QStringLiteral("Zoom"), QStringLiteral("Show the whole page"));
    describe(print_, QStringLiteral("Ctrl+P"), QStringLiteral("Print"), QStringLiteral("Print the document"));
    describe(close_, QStringLiteral("Alt+C"), QStringLiteral("Close"),
             QStringLiteral("Close the print preview"));

    for (const ZoomMenuEntry& entry : kZoomMenu) {
        QAction* item = zoomMenu_.addAction(
            QString::fromLatin1(entry.caption.data(), static_cast<qsizetype>(entry.caption.size())));
        connect(item, &QAction::triggered, this, [this, entry] { setViewMode(entry.mode, entry.percent); });
    }
    zoomButton_.setDefaultAction(&zoom_);
    zoomButton_.setMenu(&zoomMenu_);
    zoomButton_.setPopupMode(QToolButton::MenuButtonPopup);
    zoomButton_.setToolButtonStyle(Qt::ToolButtonTextOnly);

    toolBar_.setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolBar_.addAction(&first_);
    toolBar_.addAction(&previous_);
    toolBar_.addAction(&next_);
    toolBar_.addAction(&last_);
    toolBar_.addSeparator();
    toolBar_.addWidget(&zoomButton_);
    toolBar_.addSeparator();
    toolBar_.addAction(&print_);
    toolBar_.addSeparator();
    toolBar_.addAction(&close_);
    // Shortcuts work wherever the focus is in the dialog.
    addActions({&first_, &previous_, &next_, &last_, &zoom_, &print_, &close_});

    hint_.setFixedWidth(400);
    page_.setFixedWidth(100);
    statusBar_.addWidget(&hint_);
    statusBar_.addWidget(&page_);
    statusBar_.setSizeGripEnabled(false);

    preview_.setViewMode(QPrintPreviewWidget::SinglePageView);
    preview_.setZoomMode(QPrintPreviewWidget::FitInView);
    if (auto* view = preview_.findChild<QGraphicsView*>())
        view->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(&toolBar_);
    layout->addWidget(&preview_, 1);
    layout->addWidget(&statusBar_);

    connect(&first_, &QAction::triggered, this, [this] { goToPage(1); });
    connect(&previous_, &QAction::triggered, this, [this] { goToPage(currentPage() - 1); });
    connect(&next_, &QAction::triggered, this, [this] { goToPage(currentPage() + 1); });
    connect(&last_, &QAction::triggered, this, [this] { goToPage(pageCount()); });
    connect(&zoom_, &QAction::triggered, this, [this] { setViewMode(PreviewViewMode::WholePage); });
    connect(&print_, &QAction::triggered, this, &PrintPreviewDialog::printRequested);
    connect(&close_, &QAction::triggered, this, &QDialog::accept);
    connect(&preview_, &QPrintPreviewWidget::paintRequested, this, &PrintPreviewDialog::paintRequested);
    connect(&preview_, &QPrintPreviewWidget::previewChanged, this, &PrintPreviewDialog::showPageNumber);

    resize(800, 600);
}

int PrintPreviewDialog::scalePercent() const {
    return qRound(preview_.zoomFactor() * 100);
}

PreviewViewMode PrintPreviewDialog::viewMode() const {
    switch (preview_.zoomMode()) {
    case QPrintPreviewWidget::FitInView:
        return PreviewViewMode::WholePage;
    case QPrintPreviewWidget::FitToWidth:
        return PreviewViewMode::PageWidth;
    case QPrintPreviewWidget::CustomZoom:
        return PreviewViewMode::Scale;
    }
    return PreviewViewMode::Scale;
}

void PrintPreviewDialog::setViewMode(PreviewViewMode mode, int percent) {
    switch (mode) {
    case PreviewViewMode::WholePage:
        preview_.fitInView();
        break;
    case PreviewViewMode::PageWidth:
        preview_.fitToWidth();
        break;
    case PreviewViewMode::Scale:
        preview_.setZoomMode(QPrintPreviewWidget::CustomZoom);
        preview_.setZoomFactor(percent / 100.0);
        break;
    }
}

void PrintPreviewDialog::clickPreview(PreviewClick click) {
    setViewMode(PreviewViewMode::Scale,
                scaleAfterClick(click, viewMode() == PreviewViewMode::WholePage, scalePercent()));
}

void PrintPreviewDialog::goToPage(int page) {
    if (pageCount() < 1)
        return;
    preview_.setCurrentPage(std::clamp(page, 1, pageCount()));
    showPageNumber();
}

void PrintPreviewDialog::showPageNumber() {
    page_.setText(QStringLiteral(" Page: ") + QString::number(currentPage()));
}

void PrintPreviewDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    preview_.updatePreview();
    goToPage(1);
    const QString printer = printer_.printerName();
    if (!printer.isEmpty()) {
        print_.setToolTip(QStringLiteral("Print (") + printer + QStringLiteral(")"));
        print_.setStatusTip(QStringLiteral("Print the document on ") + printer);
    }
}

bool PrintPreviewDialog::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        hint_.setText(QStringLiteral("  ") + static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

bool PrintPreviewDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        clickPreview(mouse->button() == Qt::LeftButton ? PreviewClick::LeftButton
                                                       : PreviewClick::OtherButton);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace novrix::shell
