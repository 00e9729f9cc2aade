#include "token.h"

#include <array>
#include <cctype>

namespace novrix::engine {

namespace {

struct KindInfo {
    std::string_view name;
    std::string_view spelling;
    bool keyword;
};

constexpr std::array kKinds = {
#define NOVRIX_TOKEN_INFO(name, spelling) KindInfo{#name, spelling, false},
#define NOVRIX_KEYWORD_INFO(name, spelling) KindInfo{#name, spelling, true},
    NOVRIX_TOKEN_LIST(NOVRIX_TOKEN_INFO) NOVRIX_KEYWORD_LIST(NOVRIX_KEYWORD_INFO)
#undef NOVRIX_TOKEN_INFO
#undef NOVRIX_KEYWORD_INFO
};

const KindInfo& info(TokenKind kind) {
    return kKinds[static_cast<size_t>(kind)];
}

} // namespace

std::string_view tokenKindName(TokenKind kind) {
    return info(kind).name;
}

std::string tokenSpelling(TokenKind kind) {
    std::string s(info(kind).spelling);
    if (info(kind).keyword)
        for (char& c : s)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool isKeyword(TokenKind kind) {
    return info(kind).keyword;
}

TokenKind keywordKind(std::string_view word) {
    // Keywords are at most 9 letters; anything longer is an identifier without looking further.
    if (word.size() > 9)
        return TokenKind::Identifier;
    std::string lower(word);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (size_t i = 0; i < kKinds.size(); ++i)
        if (kKinds[i].keyword && kKinds[i].spelling == lower)
            return static_cast<TokenKind>(i);
    return TokenKind::Identifier;
}

} // namespace novrix::engine
