#pragma once
// Starting other programs without waiting for them: a program with its parameter text split into
// arguments the way a POSIX shell splits words (but with no shell in between), or a document or address
// handed to the desktop's opener (xdg-open).
#include <string>
#include <string_view>
#include <vector>

namespace novrix::platform {

// Splits `text` into words as a POSIX shell does for a simple command: blanks, TABs and line breaks
// separate words; '...' quotes literally; "..." quotes with \ escaping only $ ` " \ and a line break;
// outside quotes \ escapes the next character. No expansion of variables, globs or commands, and no
// operators. A quote left open runs to the end of the text.
std::vector<std::string> splitArguments(std::string_view text);

// The program `name` would start: a name holding '/' as it is, else the first match on PATH. Empty when
// that is not an executable regular file.
std::string findExecutable(std::string_view name);

// Starts `program` (a path) with `args` (argv[1..]) in a session of its own, with standard input,
// output and error on /dev/null and no other descriptor inherited, in the current folder. Returns as soon
// as the program has been exec'd, never waiting for it: true when it was started, false when it could not
// be (fork or exec failed). Leaves no zombie behind.
bool spawnDetached(const std::string& program, const std::vector<std::string>& args);

// How a shell "open" of a target is carried out.
enum class OpenRoute {
    Program,  // an executable: started with the parameter words
    Document, // a file, folder or address: given to the document opener
    None,     // nothing to open (missing file, no opener)
};

struct OpenPlan {
    OpenRoute route = OpenRoute::None;
    std::string program;           // the path that is exec'd
    std::vector<std::string> args; // its arguments
};

// Decides how `target` is opened: an executable regular file (a name without '/' is looked for in the
// current folder first, then on PATH) runs with `params` split into words; any other existing file or
// folder, or an address such as "https://..." or "mailto:...", goes to `documentOpener` (the parameters
// are not passed on); anything else is not opened.
OpenPlan planShellOpen(std::string_view target, std::string_view params, std::string_view documentOpener);

// planShellOpen, then spawnDetached. True when a program was started.
bool shellOpen(std::string_view target, std::string_view params,
               std::string_view documentOpener = "xdg-open");

} // namespace novrix::platform
