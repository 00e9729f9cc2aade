#include "engine/runtime/script_error.h"
#include "library/files.h"
#include "library/files_ops.h"
#include "library/text_value.h"
#include "platform/process_spawn.h"

namespace novrix::library {
namespace {

using engine::NativeCall;

// NOVRIX_FileReadLn and NOVRIX_FileReadGetBuffer answer the empty text on any input/output error.
template <typename Read>
void returnTextOrEmpty(NativeCall& c, Read read) {
    std::string text;
    try {
        text = read();
    } catch (const rt::ScriptError&) {
        text.clear();
    }
    c.returnStr(text);
}

} // namespace

std::vector<NamedNative> fileBindings(FileState& s) {
    // There is no per-process switch for system error dialogs here: a failing medium simply fails the
    // call, which is what the functions expect anyway.
    return {
        {"NOVRIX_FileExecute",
         [&s](NativeCall& c) { platform::shellOpen(c.strArg(0), c.strArg(1), s.documentOpener); }},
        {"NOVRIX_FileDelete", [](NativeCall& c) { deleteFile(std::string(c.strArg(0))); }},
        {"NOVRIX_FileClearBuffer", [&s](NativeCall&) { s.buffer.clear(); }},
        {"NOVRIX_FileAddToBuffer",
         [&s](NativeCall& c) { s.buffer.add(textOfValue(c.variantArg(0), s.locale)); }},
        {"NOVRIX_FileWrite", [&s](NativeCall& c) { s.buffer.appendTo(std::string(c.strArg(0))); }},
        {"NOVRIX_FileExists", [](NativeCall& c) { c.returnBool(fileExists(std::string(c.strArg(0)))); }},
        {"NOVRIX_FileReadOpen",
         [&s](NativeCall& c) { c.returnBool(s.readFile.open(std::string(c.strArg(0)))); }},
        {"NOVRIX_FileReadClose", [&s](NativeCall& c) { c.returnBool(s.readFile.close()); }},
        // NOVRIX_FileReadEof and NOVRIX_FileRead let a read error through: the engine turns it into a
        // run-time error of the script.
        {"NOVRIX_FileReadEof", [&s](NativeCall& c) { c.returnBool(s.readFile.eof()); }},
        {"NOVRIX_FileReadGetBuffer",
         [&s](NativeCall& c) { returnTextOrEmpty(c, [&s] { return s.readFile.readRest(); }); }},
        {"NOVRIX_FileReadLn",
         [&s](NativeCall& c) { returnTextOrEmpty(c, [&s] { return s.readFile.readLine(); }); }},
        {"NOVRIX_FileRead", [&s](NativeCall& c) { c.returnChar(s.readFile.readChar()); }},
    };
}

} // namespace novrix::library
