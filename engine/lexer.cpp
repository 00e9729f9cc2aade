#include "lexer.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace novrix::engine {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isIdentStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isIdentChar(char c) {
    return isIdentStart(c) || isDigit(c);
}
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

struct Punctuation {
    std::string_view text;
    TokenKind kind;
};

// Two-character operators first, so that the longest match wins.
constexpr Punctuation kPunctuation[] = {
    {":=", TokenKind::Assign},    {"..", TokenKind::DotDot},       {"<>", TokenKind::NotEqual},
    {"<=", TokenKind::LessEqual}, {">=", TokenKind::GreaterEqual}, {"+", TokenKind::Plus},
    {"-", TokenKind::Minus},      {"*", TokenKind::Star},          {"/", TokenKind::Slash},
    {"=", TokenKind::Equal},      {"<", TokenKind::Less},          {">", TokenKind::Greater},
    {"(", TokenKind::LParen},     {")", TokenKind::RParen},        {"[", TokenKind::LBracket},
    {"]", TokenKind::RBracket},   {".", TokenKind::Dot},           {",", TokenKind::Comma},
    {";", TokenKind::Semicolon},  {":", TokenKind::Colon},         {"@", TokenKind::At},
};

std::string hexByte(unsigned char c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#$%02X", c);
    return buf;
}

} // namespace

Lexer::Lexer(std::vector<SourceFile>& files, NeedFileFn needFile, Diagnostics& diags)
    : files_(files), needFile_(std::move(needFile)), diags_(diags) {
    Frame main;
    main.file = 0;
    if (!files_.empty())
        main.text = files_[0].text;
    frames_.push_back(std::move(main));
}

char Lexer::peekChar(size_t ahead) const {
    const Frame& f = frames_.back();
    return f.at + ahead < f.text.size() ? f.text[f.at + ahead] : '\0';
}

void Lexer::advanceChar() {
    Frame& f = frames_.back();
    if (f.at >= f.text.size())
        return;
    if (f.text[f.at] == '\n') {
        ++f.row;
        f.col = 1;
    } else {
        ++f.col;
    }
    ++f.at;
}

SourcePos Lexer::here() const {
    const Frame& f = frames_.back();
    return SourcePos{f.row, f.col, f.file};
}

Token Lexer::make(TokenKind kind, SourcePos pos, size_t begin) const {
    Token t;
    t.kind = kind;
    t.pos = pos;
    const Frame& f = frames_.back();
    t.text = f.text.substr(begin, f.at - begin);
    return t;
}

Token Lexer::next() {
    for (;;) {
        Token invalid;
        const Trivia trivia = skipTrivia(invalid);
        if (trivia == Trivia::Restart)
            continue;
        if (trivia == Trivia::Invalid)
            return invalid;
        const Frame& f = frames_.back();
        if (f.at >= f.text.size()) {
            if (frames_.size() > 1) {
                frames_.pop_back();
                continue;
            }
            Token eof;
            eof.kind = TokenKind::Eof;
            eof.pos = here();
            return eof;
        }
        const char c = peekChar();
        if (isIdentStart(c))
            return scanIdentifier();
        if (isDigit(c))
            return scanNumber();
        if (c == '$' && isHexDigit(peekChar(1)))
            return scanHexNumber();
        if (c == '\'' ||
            (c == '#' && (isDigit(peekChar(1)) || (peekChar(1) == '$' && isHexDigit(peekChar(2))))))
            return scanString();

        const std::string_view rest = std::string_view(f.text).substr(f.at);
        for (const Punctuation& p : kPunctuation) {
            if (rest.substr(0, p.text.size()) != p.text)
                continue;
            const SourcePos pos = here();
            const size_t begin = f.at;
            for (size_t i = 0; i < p.text.size(); ++i)
                advanceChar();
            return make(p.kind, pos, begin);
        }
        return scanInvalidCharacter();
    }
}

// Skips white space and comments, and acts on directives. Restart: an include file was entered.
Lexer::Trivia Lexer::skipTrivia(Token& invalid) {
    for (;;) {
        const Frame& f = frames_.back();
        if (f.at >= f.text.size())
            return Trivia::Token;
        const char c = peekChar();
        if (isSpace(c)) {
            advanceChar();
            continue;
        }
        if (c == '/' && peekChar(1) == '/') {
            while (peekChar() != '\n' && frames_.back().at < frames_.back().text.size())
                advanceChar();
            continue;
        }
        const bool brace = c == '{';
        if (!brace && !(c == '(' && peekChar(1) == '*'))
            return Trivia::Token;
        const SourcePos start = here();
        const size_t depthBefore = frames_.size();
        advanceChar();
        if (!brace)
            advanceChar();
        const bool directive = peekChar() == '$';
        if (!skipComment(brace ? "}" : "*)", start, directive)) {
            invalid.kind = TokenKind::Invalid;
            invalid.pos = start;
            invalid.text = brace ? "{" : "(*";
            return Trivia::Invalid;
        }
        if (frames_.size() != depthBefore)
            return Trivia::Restart;
    }
}

// Skips to just past `close`; false (and an error at the opening) when the file ends first.
bool Lexer::skipComment(std::string_view close, SourcePos start, bool directive) {
    Frame& f = frames_.back();
    const size_t end = f.text.find(close, f.at);
    if (end == std::string::npos) {
        while (f.at < f.text.size())
            advanceChar();
        diags_.error(start, "Unexpected end of file");
        return false;
    }
    // Copied: entering an include file below may move the frame's text.
    const std::string body = directive ? f.text.substr(f.at + 1, end - f.at - 1) : std::string();
    while (f.at < end + close.size())
        advanceChar();
    if (directive)
        handleDirective(body, start);
    return true;
}

// `body` is the directive after `$`: "I name", "INCLUDE 'name'", "I+", "MODE DELPHI", ...
void Lexer::handleDirective(std::string_view body, SourcePos start) {
    size_t n = 0;
    while (n < body.size() && isIdentStart(body[n]))
        ++n;
    std::string name(body.substr(0, n));
    for (char& ch : name)
        ch = static_cast<char>(ch & ~0x20);
    if (name != "I" && name != "INCLUDE")
        return;
    std::string_view rest = body.substr(n);
    // {$I+} and {$I-} switch I/O checking in Delphi; they name no file.
    if (name == "I" && !rest.empty() && (rest.front() == '+' || rest.front() == '-'))
        return;
    rest = trim(rest);
    if (rest.size() >= 2 && rest.front() == '\'' && rest.back() == '\'')
        rest = rest.substr(1, rest.size() - 2);
    const std::string fileName(rest);
    if (static_cast<int>(frames_.size()) > kMaxIncludeDepth) {
        diags_.error(start, "Include files nested too deeply");
        return;
    }
    std::string text;
    if (!needFile_ || !needFile_(fileName, text)) {
        diags_.error(start, "File '" + fileName + "' not found");
        return;
    }
    Frame frame;
    frame.file = static_cast<int>(files_.size());
    frame.text = text;
    files_.push_back(SourceFile{fileName, std::move(text)});
    frames_.push_back(std::move(frame));
}

Token Lexer::scanIdentifier() {
    const SourcePos pos = here();
    const size_t begin = frames_.back().at;
    while (isIdentChar(peekChar()))
        advanceChar();
    Token t = make(TokenKind::Identifier, pos, begin);
    t.kind = keywordKind(t.text);
    return t;
}

// 123, 1.5, 1e-3, 2.5E+10. `1..5` is 1 followed by `..`: a fraction needs a digit after the point.
Token Lexer::scanNumber() {
    const SourcePos pos = here();
    const size_t begin = frames_.back().at;
    while (isDigit(peekChar()))
        advanceChar();
    bool real = false;
    if (peekChar() == '.' && isDigit(peekChar(1))) {
        real = true;
        advanceChar();
        while (isDigit(peekChar()))
            advanceChar();
    }
    const char e = peekChar();
    if ((e == 'e' || e == 'E') &&
        (isDigit(peekChar(1)) || ((peekChar(1) == '+' || peekChar(1) == '-') && isDigit(peekChar(2))))) {
        real = true;
        advanceChar();
        if (!isDigit(peekChar()))
            advanceChar();
        while (isDigit(peekChar()))
            advanceChar();
    }
    Token t = make(real ? TokenKind::RealLit : TokenKind::IntLit, pos, begin);
    if (real) {
        const auto result = std::from_chars(t.text.data(), t.text.data() + t.text.size(), t.d);
        // Out of range with a negative exponent is an underflow: the value stays 0, which is what the
        // literal means. Otherwise the literal is too large for a Double.
        if (result.ec == std::errc::result_out_of_range && t.text.find("e-") == std::string::npos &&
            t.text.find("E-") == std::string::npos)
            diags_.error(pos, "Real constant too large");
        return t;
    }
    uint64_t value = 0;
    bool overflow = false;
    for (const char c : t.text) {
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) - digit) / 10)
            overflow = true;
        else
            value = value * 10 + digit;
    }
    if (overflow)
        diags_.error(pos, "Integer constant too large");
    else
        t.i = static_cast<int64_t>(value);
    return t;
}

// $FF. Up to 16 hex digits; $FFFFFFFFFFFFFFFF is the Int64 -1, as in Delphi.
Token Lexer::scanHexNumber() {
    const SourcePos pos = here();
    const size_t begin = frames_.back().at;
    advanceChar();
    uint64_t value = 0;
    int significant = 0;
    while (isHexDigit(peekChar())) {
        const int digit = hexValue(peekChar());
        if (significant > 0 || digit != 0)
            ++significant;
        value = (value << 4) | static_cast<uint64_t>(digit);
        advanceChar();
    }
    Token t = make(TokenKind::IntLit, pos, begin);
    if (significant > 16)
        diags_.error(pos, "Integer constant too large");
    else
        t.i = static_cast<int64_t>(value);
    return t;
}

// A sequence of quoted parts and #n / #$n characters with nothing between them: 'it''s'#13#10'x'.
Token Lexer::scanString() {
    const SourcePos pos = here();
    const size_t begin = frames_.back().at;
    std::string value;
    for (;;) {
        const char c = peekChar();
        if (c == '\'') {
            const SourcePos quote = here();
            advanceChar();
            for (;;) {
                const char q = peekChar();
                if (frames_.back().at >= frames_.back().text.size() || q == '\n' || q == '\r') {
                    diags_.error(quote, "Unterminated string");
                    Token bad = make(TokenKind::Invalid, pos, begin);
                    bad.pos = quote;
                    return bad;
                }
                advanceChar();
                if (q == '\'') {
                    if (peekChar() != '\'')
                        break;
                    advanceChar();
                }
                value += q;
            }
        } else if (c == '#' && (isDigit(peekChar(1)) || (peekChar(1) == '$' && isHexDigit(peekChar(2))))) {
            const SourcePos hash = here();
            advanceChar();
            const bool hex = peekChar() == '$';
            if (hex)
                advanceChar();
            unsigned code = 0;
            bool tooLarge = false;
            while (hex ? isHexDigit(peekChar()) : isDigit(peekChar())) {
                code = code * (hex ? 16 : 10) + static_cast<unsigned>(hexValue(peekChar()));
                if (code > 255) {
                    tooLarge = true;
                    code = 255;
                }
                advanceChar();
            }
            // Strings are byte strings: a character code beyond one byte cannot be stored.
            if (tooLarge)
                diags_.error(hash, "Integer constant too large");
            value += static_cast<char>(code);
        } else {
            break;
        }
    }
    Token t = make(TokenKind::StrLit, pos, begin);
    t.str = std::move(value);
    return t;
}

Token Lexer::scanInvalidCharacter() {
    const SourcePos pos = here();
    const size_t begin = frames_.back().at;
    const auto lead = static_cast<unsigned char>(peekChar());
    advanceChar();
    // A UTF-8 sequence is one character to the user: report it whole.
    if (lead >= 0xC0) {
        for (int i = 0; i < 3 && (static_cast<unsigned char>(peekChar()) & 0xC0) == 0x80; ++i)
            advanceChar();
    }
    Token t = make(TokenKind::Invalid, pos, begin);
    const bool printable = (lead >= 0x20 && lead < 0x7F) || (lead >= 0xC0 && t.text.size() > 1);
    diags_.error(pos, "Invalid character '" + (printable ? t.text : hexByte(lead)) + "'");
    return t;
}

std::vector<Token> tokenize(std::vector<SourceFile>& files, const NeedFileFn& needFile, Diagnostics& diags) {
    Lexer lexer(files, needFile, diags);
    std::vector<Token> tokens;
    for (;;) {
        tokens.push_back(lexer.next());
        if (tokens.back().kind == TokenKind::Eof)
            return tokens;
    }
}

namespace {

std::string escaped(const std::string& bytes) {
    std::string out = "\"";
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        }
    }
    return out + "\"";
}

std::string realText(double d) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d);
    return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

} // namespace

std::string dumpTokens(const std::vector<Token>& tokens) {
    std::string out;
    for (const Token& t : tokens) {
        if (t.pos.file != 0)
            out += "[" + std::to_string(t.pos.file) + "] ";
        out += std::to_string(t.pos.row) + ":" + std::to_string(t.pos.col) + " ";
        out += tokenKindName(t.kind);
        if (!t.text.empty())
            out += " " + t.text;
        if (t.kind == TokenKind::IntLit && t.text.front() == '$')
            out += " = " + std::to_string(t.i);
        else if (t.kind == TokenKind::RealLit)
            out += " = " + realText(t.d);
        else if (t.kind == TokenKind::StrLit)
            out += " = " + escaped(t.str);
        out += "\n";
    }
    return out;
}

} // namespace novrix::engine
