#include "JsonString.h"

#include <cstddef>

namespace vesnik::tool {

namespace {

unsigned char byteAt(std::string_view bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[index]);
}

// The length of the well-formed UTF-8 sequence that bytes start with, or 0
// when they start with none. Overlong forms, surrogates and code points
// above U+10FFFF are not well-formed (RFC 3629).
std::size_t utf8SequenceLength(std::string_view bytes) {
    unsigned char const lead = byteAt(bytes, 0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    // The range of the second byte, narrower than 80..BF after some leads.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    if (bytes.size() < length || byteAt(bytes, 1) < low || byteAt(bytes, 1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byteAt(bytes, i) < 0x80 || byteAt(bytes, i) > 0xBF) {
            return 0;
        }
    }
    return length;
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
        std::size_t const length = byte < 0x20 ? 0 : utf8SequenceLength(bytes.substr(position));
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
