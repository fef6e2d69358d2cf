#include "Messages.h"

#include <cstdio>

namespace vesnik::tool {

std::string withControlsEscaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string escaped;
    escaped.reserve(text.size());
    for (char const c : text) {
        auto const byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            escaped += c;
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\t') {
            escaped += "\\t";
        } else if (c == '\r') {
            escaped += "\\r";
        } else {
            ((escaped += "\\x") += kHex[byte >> 4]) += kHex[byte & 0xf];
        }
    }
    return escaped;
}

void complain(std::string_view message) {
    std::string const line = "vesnik: " + withControlsEscaped(message) + "\n";
    std::fputs(line.c_str(), stderr);
}

void complainOutOfMemory() {
    std::fputs("vesnik: out of memory\n", stderr);
}

}  // namespace vesnik::tool
