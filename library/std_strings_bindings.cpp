// The string set's implementations as the catalogue binds them: each adapter reads the arguments as
// declared, calls the StrUtils routine and stores the result.
#include "library/named_native.h"
#include "library/std_strings.h"

#include <vector>

namespace novrix::library {

namespace {

using engine::NativeCall;

int32_t int32Arg(const NativeCall& c, size_t k) {
    return int32_t(c.intArg(k));
}

std::vector<std::string_view> stringArray(const NativeCall& c, size_t k) {
    std::vector<std::string_view> values(c.arrayLength(k));
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = c.strElem(k, i);
    return values;
}

// TStringSearchOptions: bit 0 soDown, bit 1 soMatchCase, bit 2 soWholeWord.
strutils::SearchOptions searchOptions(const NativeCall& c, size_t k) {
    const uint64_t bits = c.setWord(k, 0);
    return {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
}

// SearchBuf returns a pointer into the buffer; a script's PChar holds the text from there on, and nil
// is the empty PChar.
void searchBufNative(NativeCall& c) {
    const std::string_view buf = c.strArg(0);
    std::optional<int64_t> at = strutils::searchBuf(buf, int32Arg(c, 1), int32Arg(c, 2), int32Arg(c, 3),
                                                    c.strArg(4), searchOptions(c, 5));
    c.returnStr(at && *at < int64_t(buf.size()) ? buf.substr(size_t(*at)) : std::string_view{});
}

} // namespace

std::vector<NamedNative> stringBindings() {
    return {
        {"AnsiResemblesText",
         [](NativeCall& c) { c.returnBool(strutils::ansiResemblesText(c.strArg(0), c.strArg(1))); }},
        {"AnsiContainsText",
         [](NativeCall& c) { c.returnBool(strutils::ansiContainsText(c.strArg(0), c.strArg(1))); }},
        {"AnsiStartsText",
         [](NativeCall& c) { c.returnBool(strutils::ansiStartsText(c.strArg(0), c.strArg(1))); }},
        {"AnsiEndsText",
         [](NativeCall& c) { c.returnBool(strutils::ansiEndsText(c.strArg(0), c.strArg(1))); }},
        {"AnsiReplaceText",
         [](NativeCall& c) {
             c.returnStr(strutils::ansiReplaceText(c.strArg(0), c.strArg(1), c.strArg(2)));
         }},
        {"AnsiMatchText",
         [](NativeCall& c) { c.returnBool(strutils::ansiMatchText(c.strArg(0), stringArray(c, 1))); }},
        {"AnsiIndexText",
         [](NativeCall& c) { c.returnInt(strutils::ansiIndexText(c.strArg(0), stringArray(c, 1))); }},
        {"AnsiContainsStr",
         [](NativeCall& c) { c.returnBool(strutils::ansiContainsStr(c.strArg(0), c.strArg(1))); }},
        {"AnsiStartsStr",
         [](NativeCall& c) { c.returnBool(strutils::ansiStartsStr(c.strArg(0), c.strArg(1))); }},
        {"AnsiEndsStr", [](NativeCall& c) { c.returnBool(strutils::ansiEndsStr(c.strArg(0), c.strArg(1))); }},
        {"AnsiReplaceStr",
         [](NativeCall& c) { c.returnStr(strutils::ansiReplaceStr(c.strArg(0), c.strArg(1), c.strArg(2))); }},
        {"AnsiMatchStr",
         [](NativeCall& c) { c.returnBool(strutils::ansiMatchStr(c.strArg(0), stringArray(c, 1))); }},
        {"AnsiIndexStr",
         [](NativeCall& c) { c.returnInt(strutils::ansiIndexStr(c.strArg(0), stringArray(c, 1))); }},
        {"DupeString", [](NativeCall& c) { c.returnStr(strutils::dupeString(c.strArg(0), int32Arg(c, 1))); }},
        {"ReverseString", [](NativeCall& c) { c.returnStr(strutils::reverseString(c.strArg(0))); }},
        {"StuffString",
         [](NativeCall& c) {
             c.returnStr(strutils::stuffString(c.strArg(0), uint32_t(c.intArg(1)), uint32_t(c.intArg(2)),
                                               c.strArg(3)));
         }},
        {"LeftStr", [](NativeCall& c) { c.returnStr(strutils::leftStr(c.strArg(0), int32Arg(c, 1))); }},
        {"RightStr", [](NativeCall& c) { c.returnStr(strutils::rightStr(c.strArg(0), int32Arg(c, 1))); }},
        {"MidStr",
         [](NativeCall& c) { c.returnStr(strutils::midStr(c.strArg(0), int32Arg(c, 1), int32Arg(c, 2))); }},
        {"SearchBuf", searchBufNative},
        {"Soundex", [](NativeCall& c) { c.returnStr(strutils::soundex(c.strArg(0), int32Arg(c, 1))); }},
        {"SoundexInt", [](NativeCall& c) { c.returnInt(strutils::soundexInt(c.strArg(0), int32Arg(c, 1))); }},
        {"DecodeSoundexInt", [](NativeCall& c) { c.returnStr(strutils::decodeSoundexInt(int32Arg(c, 0))); }},
        {"SoundexWord", [](NativeCall& c) { c.returnInt(strutils::soundexWord(c.strArg(0))); }},
        {"DecodeSoundexWord",
         [](NativeCall& c) { c.returnStr(strutils::decodeSoundexWord(uint16_t(c.intArg(0)))); }},
        {"SoundexSimilar",
         [](NativeCall& c) {
             c.returnBool(strutils::soundexSimilar(c.strArg(0), c.strArg(1), int32Arg(c, 2)));
         }},
        {"SoundexCompare",
         [](NativeCall& c) {
             c.returnInt(strutils::soundexCompare(c.strArg(0), c.strArg(1), int32Arg(c, 2)));
         }},
        {"SoundexProc", [](NativeCall& c) { c.returnBool(strutils::soundexProc(c.strArg(0), c.strArg(1))); }},
    };
}

} // namespace novrix::library
