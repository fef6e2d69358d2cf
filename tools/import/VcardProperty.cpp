#include "VcardProperty.h"

#include <algorithm>

#include "Text.h"

namespace vesnik::tool::import {

namespace {

std::string_view unquoted(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

// A TYPE value, or a bare parameter as vCard 2.1 writes them.
void applyType(std::string_view type, VcardProperty& property) {
    type = unquoted(trimmed(type));
    if (equalsIgnoringCase(type, "pref")) {
        property.preference = std::min(property.preference, kMostPreferred);
    } else if (equalsIgnoringCase(type, "quoted-printable")) {
        property.quotedPrintable = true;
    } else if (equalsIgnoringCase(type, "base64")) {
        property.base64 = true;
    }
}

Preference preferenceFrom(std::string_view number) {
    int value = 0;
    for (char c : number) {
        if (c < '0' || c > '9' || value > kNotPreferred) {
            return kMostPreferred;
        }
        value = value * 10 + (c - '0');
    }
    return std::clamp(value, kMostPreferred, kNotPreferred - 1);
}

void applyParameter(std::string_view parameter, VcardProperty& property) {
    std::size_t const equals = parameter.find('=');
    if (equals == std::string_view::npos) {
        applyType(parameter, property);
        return;
    }
    std::string_view const name = trimmed(parameter.substr(0, equals));
    std::string_view const value = unquoted(trimmed(parameter.substr(equals + 1)));
    if (equalsIgnoringCase(name, "type")) {
        for (std::size_t start = 0; start <= value.size();) {
            std::size_t const comma = std::min(value.find(',', start), value.size());
            applyType(value.substr(start, comma - start), property);
            start = comma + 1;
        }
    } else if (equalsIgnoringCase(name, "encoding")) {
        property.quotedPrintable = equalsIgnoringCase(value, "quoted-printable");
        property.base64 = equalsIgnoringCase(value, "b") || equalsIgnoringCase(value, "base64");
    } else if (equalsIgnoringCase(name, "charset")) {
        property.charset = value;
    } else if (equalsIgnoringCase(name, "pref")) {
        property.preference = std::min(property.preference, preferenceFrom(value));
    } else if (equalsIgnoringCase(name, "value")) {
        property.uri = equalsIgnoringCase(value, "uri");
    }
}

// Where the parameters end: the first colon outside quotes.
std::size_t parameterEnd(std::string_view line, std::size_t from) {
    bool quoted = false;
    for (std::size_t i = from; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == ':' && !quoted) {
            return i;
        }
    }
    // A quote left open: the first colon after all.
    return line.find(':', from);
}

}  // namespace

bool parseProperty(std::string_view line, VcardProperty& property) {
    property = VcardProperty{};
    std::size_t const nameEnd = line.find_first_of(";:");
    if (nameEnd == std::string_view::npos || nameEnd == 0) {
        return false;
    }
    std::size_t const colon = parameterEnd(line, nameEnd);
    if (colon == std::string_view::npos) {
        return false;
    }
    std::string_view name = trimmed(line.substr(0, nameEnd));
    std::size_t const dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        name.remove_prefix(dot + 1);
    }
    if (name.empty()) {
        return false;
    }
    property.name = name;
    property.value = line.substr(colon + 1);
    std::size_t start = nameEnd;
    while (start < colon) {
        // Semicolons inside quotes belong to the value.
        std::size_t end = start + 1;
        bool quoted = false;
        for (; end < colon && (quoted || line[end] != ';'); ++end) {
            quoted = line[end] == '"' ? !quoted : quoted;
        }
        applyParameter(line.substr(start + 1, end - start - 1), property);
        start = end;
    }
    return true;
}

}  // namespace vesnik::tool::import
