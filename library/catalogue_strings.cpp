// The string set: declarations and the types they use, interleaved in registration order.
#include "library/catalogue.h"

#include <array>

namespace novrix::library {

namespace {

constexpr auto kDecl = CatalogueEntry::Kind::Declaration;
constexpr auto kType = CatalogueEntry::Kind::Type;

// "TStringSeachOption" is spelled as scripts have always known it.
constexpr std::array<CatalogueEntry, 32> kEntries{{
    {kDecl, "AnsiResemblesText", "Function AnsiResemblesText( const AText, AOther : string) : Boolean"},
    {kDecl, "AnsiContainsText", "Function AnsiContainsText( const AText, ASubText : string) : Boolean"},
    {kDecl, "AnsiStartsText", "Function AnsiStartsText( const ASubText, AText : string) : Boolean"},
    {kDecl, "AnsiEndsText", "Function AnsiEndsText( const ASubText, AText : string) : Boolean"},
    {kDecl, "AnsiReplaceText",
     "Function AnsiReplaceText( const AText, AFromText, AToText : string) : string"},
    {kDecl, "AnsiMatchText",
     "Function AnsiMatchText( const AText : string; const AValues : array of string) : Boolean"},
    {kDecl, "AnsiIndexText",
     "Function AnsiIndexText( const AText : string; const AValues : array of string) : Integer"},
    {kDecl, "AnsiContainsStr", "Function AnsiContainsStr( const AText, ASubText : string) : Boolean"},
    {kDecl, "AnsiStartsStr", "Function AnsiStartsStr( const ASubText, AText : string) : Boolean"},
    {kDecl, "AnsiEndsStr", "Function AnsiEndsStr( const ASubText, AText : string) : Boolean"},
    {kDecl, "AnsiReplaceStr", "Function AnsiReplaceStr( const AText, AFromText, AToText : string) : string"},
    {kDecl, "AnsiMatchStr",
     "Function AnsiMatchStr( const AText : string; const AValues : array of string) : Boolean"},
    {kDecl, "AnsiIndexStr",
     "Function AnsiIndexStr( const AText : string; const AValues : array of string) : Integer"},
    {kDecl, "DupeString", "Function DupeString( const AText : string; ACount : Integer) : string"},
    {kDecl, "ReverseString", "Function ReverseString( const AText : string) : string"},
    {kDecl, "StuffString",
     "Function StuffString( const AText : string; AStart, ALength : Cardinal; const ASubText : string) : "
     "string"},
    {kDecl, "LeftStr", "Function LeftStr( const AText : string; const ACount : Integer) : string"},
    {kDecl, "RightStr", "Function RightStr( const AText : string; const ACount : Integer) : string"},
    {kDecl, "MidStr", "Function MidStr( const AText : string; const AStart, ACount : Integer) : string"},
    {kType, "TStringSeachOption", "( soDown, soMatchCase, soWholeWord )"},
    {kType, "TStringSearchOptions", "set of TStringSeachOption"},
    {kDecl, "SearchBuf",
     "Function SearchBuf( Buf : PChar; BufLen : Integer; SelStart, SelLength : Integer; SearchString : "
     "String; Options : TStringSearchOptions) : PChar"},
    {kType, "TSoundexLength", "Integer"},
    {kDecl, "Soundex", "Function Soundex( const AText : string; ALength : TSoundexLength) : string"},
    {kType, "TSoundexIntLength", "Integer"},
    {kDecl, "SoundexInt",
     "Function SoundexInt( const AText : string; ALength : TSoundexIntLength) : Integer"},
    {kDecl, "DecodeSoundexInt", "Function DecodeSoundexInt( AValue : Integer) : string"},
    {kDecl, "SoundexWord", "Function SoundexWord( const AText : string) : Word"},
    {kDecl, "DecodeSoundexWord", "Function DecodeSoundexWord( AValue : Word) : string"},
    {kDecl, "SoundexSimilar",
     "Function SoundexSimilar( const AText, AOther : string; ALength : TSoundexLength) : Boolean"},
    {kDecl, "SoundexCompare",
     "Function SoundexCompare( const AText, AOther : string; ALength : TSoundexLength) : Integer"},
    {kDecl, "SoundexProc", "Function SoundexProc( const AText, AOther : string) : Boolean"},
}};

} // namespace

std::span<const CatalogueEntry> stringEntries() {
    return kEntries;
}

std::vector<std::string_view> stringBindingNames() {
    std::vector<std::string_view> names;
    for (const CatalogueEntry& e : kEntries)
        if (e.kind == CatalogueEntry::Kind::Declaration)
            names.push_back(e.name);
    return names;
}

} // namespace novrix::library
