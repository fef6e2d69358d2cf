// UTF-8 as the folds read it: which sequences are well-formed, and the code
// points they stand for.
#ifndef VESNIK_CONTACTS_UTF8_H
#define VESNIK_CONTACTS_UTF8_H

#include <cstddef>
#include <string_view>

namespace vesnik::utf8 {

inline constexpr bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at the start of bytes, 0 when
// there is none (an ASCII byte is a sequence of 1). Overlong forms,
// surrogates and code points past U+10FFFF are not well-formed.
inline std::size_t sequenceLength(std::string_view bytes) {
    auto const at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    unsigned char const lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    // The second byte's range narrows where the lead alone would allow an
    // overlong form, a surrogate or too high a code point.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(at(i))) {
            return 0;
        }
    }
    return length;
}

// Writes the UTF-8 of a code point below U+110000; gives its length.
inline std::size_t encode(char32_t codePoint, char* bytes) {
    if (codePoint < 0x80) {
        bytes[0] = static_cast<char>(codePoint);
        return 1;
    }
    std::size_t const length = codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
    for (std::size_t i = length - 1; i > 0; --i) {
        bytes[i] = static_cast<char>(0x80 | (codePoint & 0x3F));
        codePoint >>= 6;
    }
    bytes[0] = static_cast<char>((0xF00u >> length) | codePoint);
    return length;
}

inline char32_t decoded(std::string_view sequence) {
    auto const byte = [&](std::size_t i) { return static_cast<char32_t>(sequence[i]) & 0xFF; };
    switch (sequence.size()) {
        case 1:
            return byte(0);
        case 2:
            return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
        case 3:
            return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
        default:
            return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 |
                   (byte(3) & 0x3F);
    }
}

}  // namespace vesnik::utf8

#endif
