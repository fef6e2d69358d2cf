#include "Text.h"

#include <algorithm>

namespace vesnik::tool::import {

namespace {

unsigned char byteAt(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::size_t utf8SequenceLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    unsigned char const lead = byteAt(text, 0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length;
    // The range the second byte may take rules out overlong forms,
    // surrogates and code points past U+10FFFF.
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
    if (text.size() < length || byteAt(text, 1) < low || byteAt(text, 1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byteAt(text, i) < 0x80 || byteAt(text, i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (byteAt(text, i) < 0x80) {
            ++i;
            continue;
        }
        std::size_t const length = utf8SequenceLength(text.substr(i));
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

bool cutToSize(std::string& text, std::size_t size) {
    if (text.size() <= size) {
        return false;
    }
    std::size_t end = size;
    // Back to the start of the sequence the cut falls in.
    while (end > 0 && size - end < 3 && (byteAt(text, end) & 0xC0) == 0x80) {
        --end;
    }
    text.resize(end);
    return true;
}

void dropCutSequence(std::string& text) {
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        unsigned char const byte = byteAt(text, text.size() - back);
        if ((byte & 0xC0) != 0x80) {
            std::size_t const wanted = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            if (wanted > back) {
                text.resize(text.size() - back);
            }
            return;
        }
    }
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && startsWithIgnoringCase(a, b);
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lower(text[i]) != lower(prefix[i])) {
            return false;
        }
    }
    return true;
}

std::string_view trimmed(std::string_view text) {
    std::size_t const first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace vesnik::tool::import
