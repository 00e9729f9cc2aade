#pragma once
// The lexer: source text to tokens, on demand. It resolves `{$I name}` / `{$INCLUDE name}` itself by
// asking the host for the file and lexing it in place, so the parser sees one token stream whose
// positions name the file each token came from.
#include "diagnostics.h"
#include "token.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace novrix::engine {

struct SourceFile {
    std::string name;
    std::string text;
};

// Asked for an include file; fills `text` and returns true when found. May be empty (no includes).
using NeedFileFn = std::function<bool(const std::string& fileName, std::string& text)>;

inline constexpr int kMaxIncludeDepth = 16;

class Lexer {
public:
    // Lexes files[0]. Every include file found is appended to `files`; its tokens carry its index.
    // `files` and `diags` must outlive the lexer.
    Lexer(std::vector<SourceFile>& files, NeedFileFn needFile, Diagnostics& diags);

    // The next token; at the end of the main file an Eof token, again on every further call.
    // Lexical errors are reported to diags as they are met and leave an Invalid token in the stream.
    Token next();

private:
    struct Frame {
        int file = 0;
        std::string text; // a copy: appending to `files` may move the strings
        size_t at = 0;
        int row = 1;
        int col = 1;
    };
    enum class Trivia { Token, Restart, Invalid };

    char peekChar(size_t ahead = 0) const;
    void advanceChar();
    SourcePos here() const;
    Trivia skipTrivia(Token& invalid);
    bool skipComment(std::string_view close, SourcePos start, bool directive);
    void handleDirective(std::string_view body, SourcePos start);
    Token scanIdentifier();
    Token scanNumber();
    Token scanHexNumber();
    Token scanString();
    Token scanInvalidCharacter();
    Token make(TokenKind kind, SourcePos pos, size_t begin) const;

    std::vector<SourceFile>& files_;
    NeedFileFn needFile_;
    Diagnostics& diags_;
    std::vector<Frame> frames_;
};

// Lexes the whole of files[0] (with includes), for `--dump-tokens` and tests. The last token is Eof.
std::vector<Token> tokenize(std::vector<SourceFile>& files, const NeedFileFn& needFile, Diagnostics& diags);
// One line per token: "row:col Kind text" plus the value of literals; "[n] " before tokens of file n > 0.
std::string dumpTokens(const std::vector<Token>& tokens);

} // namespace novrix::engine
