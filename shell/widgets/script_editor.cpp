#include "shell/widgets/script_editor.h"

#include "shell/widgets/fixed_font.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexerpascal.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>

namespace novrix::shell {
namespace {

QColor toQColor(Rgb c) { return QColor(c.red, c.green, c.blue); }

QFont editorFont() {
    // 16-pixel characters at the usual 96 dots per inch; QScintilla's styles take point sizes only.
    QFont font = fixedPitchFont(QStringLiteral("Courier New"), 16);
    font.setPointSize(12);
    return font;
}

} // namespace

ScriptEditor::ScriptEditor(QWidget* parent) : QsciScintilla(parent) {
    QFont font = editorFont();
    auto* lexer = new QsciLexerPascal(this);
    lexer->setDefaultFont(font);
    lexer->setFont(font); // every style
    lexer->setColor(QColor(0, 0, 255), QsciLexerPascal::Identifier);
    lexer->setColor(QColor(255, 0, 0), QsciLexerPascal::Number);
    setLexer(lexer);
    setFont(font);

    setMarginType(0, NumberMargin);
    setMarginLineNumbers(0, true);
    setMarginsFont(font);
    setMarginWidth(1, 0);
    sizeGutter();
    connect(this, &QsciScintilla::linesChanged, this, &ScriptEditor::sizeGutter);

    markerDefine(QsciScintilla::Background, BreakpointMarker);
    setMarkerBackgroundColor(toQColor(kRgbRed), BreakpointMarker);
    markerDefine(QsciScintilla::Background, ActiveMarker);
    setMarkerBackgroundColor(toQColor(kRgbBlue), ActiveMarker);
    markerDefine(QsciScintilla::Background, ActiveBreakpointMarker);
    setMarkerBackgroundColor(toQColor(kRgbWhite), ActiveBreakpointMarker);
    indicatorDefine(QsciScintilla::TextColorIndicator, WhiteTextIndicator);
    setIndicatorForegroundColor(toQColor(kRgbWhite), WhiteTextIndicator);
    indicatorDefine(QsciScintilla::TextColorIndicator, RedTextIndicator);
    setIndicatorForegroundColor(toQColor(kRgbRed), RedTextIndicator);

    setUtf8(true);
    setEolMode(EolUnix);
    setAutoIndent(true);
    setTabWidth(8);
}

void ScriptEditor::sizeGutter() {
    // Room for the widest line number and one more digit, plus the offsets on both sides.
    setMarginWidth(0, QString(QString::number(lines()).size() + 1, QLatin1Char('0')));
}

void ScriptEditor::loadBytes(const QByteArray& bytes) {
    format_ = detectTextFileFormat(std::string_view(bytes.constData(), bytes.size()));
    setUtf8(format_.utf8);
    setEolMode(format_.lineEnd == LineEnd::CrLf ? EolWindows : format_.lineEnd == LineEnd::Cr ? EolMac : EolUnix);
    setText(format_.utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes));
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    setModified(false);
    setCursorPosition(0, 0);
}

void ScriptEditor::clearAll() {
    format_ = TextFileFormat{};
    setUtf8(true);
    setEolMode(EolUnix);
    clear();
    markerDeleteAll();
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    setModified(false);
}

QByteArray ScriptEditor::bytes() const {
    QString content = text();
    return format_.utf8 ? content.toUtf8() : content.toLatin1();
}

void ScriptEditor::showLineColours(const std::function<bool(int)>& hasBreakpoint, int activeLine) {
    markerDeleteAll(BreakpointMarker);
    markerDeleteAll(ActiveMarker);
    markerDeleteAll(ActiveBreakpointMarker);
    int last = lines() - 1;
    int lastLength = last >= 0 ? static_cast<int>(text(last).size()) : 0;
    clearIndicatorRange(0, 0, last, lastLength, WhiteTextIndicator);
    clearIndicatorRange(0, 0, last, lastLength, RedTextIndicator);
    for (int line = 1; line <= lines(); ++line) {
        std::optional<LineColours> colours = specialLineColours(hasBreakpoint(line), line == activeLine);
        if (!colours) continue;
        Marker marker = colours->background == kRgbRed ? BreakpointMarker
                        : colours->background == kRgbBlue ? ActiveMarker
                                                       : ActiveBreakpointMarker;
        markerAdd(line - 1, marker);
        Indicator ink = colours->text == kRgbRed ? RedTextIndicator : WhiteTextIndicator;
        fillIndicatorRange(line - 1, 0, line, 0, ink);
    }
    viewport()->update();
}

std::optional<LineColours> ScriptEditor::shownColours(int line) const {
    unsigned mask = const_cast<ScriptEditor*>(this)->markersAtLine(line - 1);
    std::optional<Rgb> background;
    if (mask & (1u << BreakpointMarker)) background = kRgbRed;
    if (mask & (1u << ActiveMarker)) background = kRgbBlue;
    if (mask & (1u << ActiveBreakpointMarker)) background = kRgbWhite;
    if (!background) return std::nullopt;
    long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line - 1));
    bool red = SendScintilla(SCI_INDICATORVALUEAT, static_cast<unsigned long>(RedTextIndicator), start) != 0;
    return LineColours{red ? kRgbRed : kRgbWhite, *background};
}

int ScriptEditor::caretLine() const {
    int line = 0;
    int index = 0;
    getCursorPosition(&line, &index);
    return line + 1;
}

void ScriptEditor::releaseKeys(const QList<QKeySequence>& keys) {
    for (QsciCommand* command : standardCommands()->commands()) {
        for (const QKeySequence& key : keys) {
            int code = key[0].toCombined();
            if (command->key() == code) command->setKey(0);
            if (command->alternateKey() == code) command->setAlternateKey(0);
        }
    }
}

void ScriptEditor::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_E && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        pastePrefix();
        return;
    }
    QsciScintilla::keyPressEvent(event);
}

void ScriptEditor::pastePrefix() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QStringLiteral("NOVRIX_"));
    paste();
}

void ScriptEditor::contextMenuEvent(QContextMenuEvent* event) {
    if (!popup_) {
        QsciScintilla::contextMenuEvent(event);
        return;
    }
    popup_->exec(event->globalPos());
}

} // namespace novrix::shell
