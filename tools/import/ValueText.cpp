#include "ValueText.h"

namespace vesnik::tool::import {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace

std::string decodeQuotedPrintable(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            bytes += text[i];
            continue;
        }
        if (i + 1 == text.size()) {
            break;
        }
        int const high = i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
        int const low = high >= 0 ? hexDigit(text[i + 2]) : -1;
        if (low < 0) {
            bytes += '=';
            continue;
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

std::string unescaped(std::string text) {
    if (text.find('\\') == std::string::npos) {
        return text;
    }
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char const c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            plain += c;
            continue;
        }
        char const next = text[i + 1];
        if (next == 'n' || next == 'N') {
            plain += '\n';
        } else if (next == ',' || next == ';' || next == '\\') {
            plain += next;
        } else {
            plain += c;
            continue;
        }
        ++i;
    }
    return plain;
}

std::vector<std::string_view> components(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == ';') {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace vesnik::tool::import
