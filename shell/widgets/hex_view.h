#pragma once
// A read-only hex dump: each line shows its offset in hexadecimal followed by ":", 16 bytes as two-digit
// hex columns and the same bytes as characters (Latin-1; a non-printable byte as "."). A cursor marks one
// byte: its hex cell maroon with white text, its character cell framed in navy. Only the visible lines
// are painted, so a megabyte scrolls as freely as a line. Arrow, page, Home and End keys and clicks move
// the cursor.
#include <QAbstractScrollArea>
#include <QByteArray>
#include <QPoint>
#include <QSize>
#include <QString>

namespace novrix::shell {

class HexView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kBytesPerLine = 16;

    explicit HexView(QWidget* parent = nullptr);

    // Replaces the bytes shown; the cursor goes to offset 0 and the view to the first line.
    void setData(const QByteArray& data);
    const QByteArray& data() const { return data_; }

    // Clamped to the data (0 when there is none); the view scrolls to show the cursor.
    void setCursorOffset(qint64 offset);
    qint64 cursorOffset() const { return cursor_; }

    qint64 lineCount() const { return (qint64(data_.size()) + kBytesPerLine - 1) / kBytesPerLine; }
    qint64 firstVisibleLine() const;
    int visibleLineCount() const; // whole lines that fit
    bool isOffsetVisible(qint64 offset) const;
    // A line as shown, e.g. "00010: 41 42 ... 0A AB..": offset, hex columns, characters.
    QString lineText(qint64 line) const;
    // The byte under a point of the viewport, or -1.
    qint64 offsetAt(QPoint viewportPoint) const;

    QSize sizeHint() const override;

signals:
    void cursorOffsetChanged(qint64 offset);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Positions in character widths from the left edge of the content.
    int hexColumn(int byteInLine) const { return offsetDigits_ + 2 + 3 * byteInLine; }
    int charColumn(int byteInLine) const { return offsetDigits_ + 2 + 3 * kBytesPerLine + byteInLine; }
    int contentColumns() const { return charColumn(kBytesPerLine); }
    int xOf(int column) const;
    void updateScrollRanges();
    void scrollToCursor();

    QByteArray data_;
    qint64 cursor_ = 0;
    int offsetDigits_ = 4;
    int charWidth_ = 1;
    int lineHeight_ = 1;
    int ascent_ = 0;
};

} // namespace novrix::shell
