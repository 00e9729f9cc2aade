#pragma once
// How a script file is written, so that saving it gives back the same bytes: its line ends and whether
// its bytes are UTF-8 (else each byte is one Latin-1 character, as in the scripts' 8-bit strings).
#include <string_view>

namespace novrix::shell {

enum class LineEnd { Lf, CrLf, Cr };

struct TextFileFormat {
    LineEnd lineEnd = LineEnd::Lf; // new files use LF
    bool utf8 = true;
    friend bool operator==(const TextFileFormat&, const TextFileFormat&) = default;
};

// The first line end of the text decides (LF when it has none); any byte sequence that is not UTF-8 makes
// the whole text Latin-1.
TextFileFormat detectTextFileFormat(std::string_view bytes);

bool isUtf8(std::string_view bytes);

} // namespace novrix::shell
