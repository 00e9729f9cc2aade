#pragma once
// The text body of a printout: each editor line laid out in the print font (wrapped at the text width
// when asked), split into pages of whole printed lines, and painted with its line numbers.
#include "shell/printing/page_frame.h"
#include "shell/printing/print_setup.h"
#include "shell/printing/styled_document.h"

#include <QFont>
#include <QTextLayout>
#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;

namespace novrix::shell {

class BodyLayout {
public:
    // Lays out `document` for pages whose body is `bodyWidth` wide and `bodyHeight` high.
    BodyLayout(const StyledDocument& document, const PrintSetup& setup, const QPaintDevice* device,
               double bodyWidth, double bodyHeight);
    ~BodyLayout();

    int pageCount() const { return static_cast<int>(pages_.size()); }
    int linesPerPage() const { return linesPerPage_; }

    // Paints page `pageNumber` (from 1) into `body`.
    void paintPage(QPainter& painter, int pageNumber, const Box& body) const;

private:
    struct PrintedLine {
        int sourceLine = 0; // index into the document
        int part = 0;       // 0 = first printed line of a wrapped source line
    };

    const PrintSetup& setup_;
    const QPaintDevice* device_;
    QFont font_;
    double lineSpacing_ = 1;
    double ascent_ = 0;
    double numberWidth_ = 0; // widest line number plus its gap, 0 without line numbers
    double numberGap_ = 0;
    int linesPerPage_ = 1;
    std::vector<std::unique_ptr<QTextLayout>> layouts_;
    std::vector<std::vector<PrintedLine>> pages_;
};

} // namespace novrix::shell
