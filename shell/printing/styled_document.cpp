#include "shell/printing/styled_document.h"

#include <Qsci/qsciscintilla.h>
#include <Qsci/qsciscintillabase.h>
#include <algorithm>
#include <array>
#include <optional>

namespace novrix::shell {

namespace {

constexpr int kStyleCount = 256;

// Scintilla keeps colours as 0xBBGGRR.
QColor fromScintillaColor(long bgr) {
    return QColor(static_cast<int>(bgr & 0xff), static_cast<int>((bgr >> 8) & 0xff),
                  static_cast<int>((bgr >> 16) & 0xff));
}

class StyleTable {
public:
    explicit StyleTable(const QsciScintilla& editor) : editor_(editor) {}

    const TextStyle& style(int number) {
        std::optional<TextStyle>& entry = styles_[static_cast<std::size_t>(number)];
        if (!entry) {
            const auto n = static_cast<unsigned long>(number);
            TextStyle style;
            style.color = fromScintillaColor(editor_.SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, n));
            style.bold = editor_.SendScintilla(QsciScintillaBase::SCI_STYLEGETBOLD, n) != 0;
            style.italic = editor_.SendScintilla(QsciScintillaBase::SCI_STYLEGETITALIC, n) != 0;
            style.underline = editor_.SendScintilla(QsciScintillaBase::SCI_STYLEGETUNDERLINE, n) != 0;
            entry = style;
        }
        return *entry;
    }

private:
    const QsciScintilla& editor_;
    std::array<std::optional<TextStyle>, kStyleCount> styles_{};
};

// Bytes of one UTF-8 character from its lead byte; a stray byte counts as one character.
int utf8Length(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xe0) == 0xc0)
        return 2;
    if ((lead & 0xf0) == 0xe0)
        return 3;
    if ((lead & 0xf8) == 0xf0)
        return 4;
    return 1;
}

class LineBuilder {
public:
    LineBuilder(int tabWidth, bool styled) : tabWidth_(std::max(1, tabWidth)), styled_(styled) {}

    void append(const QString& character, const TextStyle& style) {
        const int start = static_cast<int>(line_.text.size());
        if (character == QLatin1String("\t")) {
            const int spaces = tabWidth_ - (column_ % tabWidth_);
            line_.text += QString(spaces, QLatin1Char(' '));
            column_ += spaces;
        } else {
            line_.text += character;
            ++column_;
        }
        if (!styled_)
            return;
        const int length = static_cast<int>(line_.text.size()) - start;
        if (!line_.runs.empty() && line_.runs.back().style == style)
            line_.runs.back().length += length;
        else
            line_.runs.push_back({start, length, style});
    }

    StyledLine take() {
        StyledLine done = std::move(line_);
        line_ = StyledLine{};
        column_ = 0;
        return done;
    }

private:
    int tabWidth_;
    bool styled_;
    int column_ = 0;
    StyledLine line_;
};

} // namespace

StyledDocument styledDocumentOf(const QsciScintilla& editor, StyleSource source, int tabWidth) {
    const bool styled = source == StyleSource::SyntaxStyles;
    const int length = editor.length();
    QByteArray bytes = length > 0 ? editor.bytes(0, length) : QByteArray();
    bytes.truncate(length);

    if (styled && length > 0)
        editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0L, -1L);

    StyleTable styles(editor);
    const TextStyle plain;
    const bool utf8 = editor.isUtf8();
    StyledDocument document;
    LineBuilder line(tabWidth, styled);

    int pos = 0;
    while (pos < length) {
        const char byte = bytes.at(pos);
        if (byte == '\r' || byte == '\n') {
            document.lines.push_back(line.take());
            pos += (byte == '\r' && pos + 1 < length && bytes.at(pos + 1) == '\n') ? 2 : 1;
            continue;
        }
        const int size = utf8 ? std::min(utf8Length(static_cast<unsigned char>(byte)), length - pos) : 1;
        const QString character = utf8 ? QString::fromUtf8(bytes.constData() + pos, size)
                                       : QString(QChar(static_cast<unsigned char>(byte)));
        const TextStyle& style =
            styled ? styles.style(static_cast<int>(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
                                                                        static_cast<unsigned long>(pos))) &
                                  0xff)
                   : plain;
        line.append(character, style);
        pos += size;
    }
    document.lines.push_back(line.take());
    return document;
}

} // namespace novrix::shell
