#include "JsonString.h"

#include "import/Text.h"

#include <cstddef>

namespace vesnik::tool {

namespace {

unsigned char byteAt(std::string_view bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[index]);
}

void appendByteEscape(std::string& out, unsigned char byte) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    out += "\\u00";
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

}  // namespace

std::string jsonString(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    std::size_t position = 0;
    while (position < bytes.size()) {
        unsigned char const byte = byteAt(bytes, position);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += bytes[position++];
            continue;
        }
        std::size_t const length =
            byte < 0x20 ? 0 : import::utf8SequenceLength(bytes.substr(position));
        if (length == 0) {
            appendByteEscape(out, byte);
            ++position;
            continue;
        }
        out.append(bytes.substr(position, length));
        position += length;
    }
    out += '"';
    return out;
}

}  // namespace vesnik::tool
