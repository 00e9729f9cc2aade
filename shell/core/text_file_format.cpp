#include "shell/core/text_file_format.h"

namespace novrix::shell {

bool isUtf8(std::string_view bytes) {
    size_t k = 0;
    while (k < bytes.size()) {
        unsigned char c = static_cast<unsigned char>(bytes[k]);
        int follow = 0;
        unsigned min = 0;
        if (c < 0x80) {
            ++k;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            follow = 1;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            follow = 2;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            follow = 3;
            min = 0x10000;
        } else {
            return false;
        }
        if (k + follow >= bytes.size()) return false; // cut short at the end
        unsigned value = c & (0x3F >> follow);
        for (int f = 1; f <= follow; ++f) {
            unsigned char next = static_cast<unsigned char>(bytes[k + f]);
            if ((next & 0xC0) != 0x80) return false;
            value = (value << 6) | (next & 0x3F);
        }
        if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        k += follow + 1;
    }
    return true;
}

TextFileFormat detectTextFileFormat(std::string_view bytes) {
    TextFileFormat format;
    format.utf8 = isUtf8(bytes);
    size_t end = bytes.find_first_of("\r\n");
    if (end != std::string_view::npos) {
        if (bytes[end] == '\n')
            format.lineEnd = LineEnd::Lf;
        else
            format.lineEnd = end + 1 < bytes.size() && bytes[end + 1] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
    }
    return format;
}

} // namespace novrix::shell
