// Letter case folding for e-mail addresses: ASCII a-z only, whatever locale
// the host has set, so a lookup's answer never depends on it.
#ifndef VESNIK_CONTACTS_ASCIICASE_H
#define VESNIK_CONTACTS_ASCIICASE_H

#include <cstddef>
#include <string>
#include <string_view>

namespace vesnik {

constexpr char toAsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string asciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = toAsciiUpper(c);
    }
    return upper;
}

inline void asciiUpperInPlace(char* text) {
    for (; *text != '\0'; ++text) {
        *text = toAsciiUpper(*text);
    }
}

// Whether text, upper-cased, equals upperKey (already upper-cased).
inline bool equalsAsUpper(std::string_view text, std::string_view upperKey) {
    if (text.size() != upperKey.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (toAsciiUpper(text[i]) != upperKey[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace vesnik

#endif
