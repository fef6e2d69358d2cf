#include "NameTemplate.h"

namespace vesnik::tool {

namespace {

FieldOf fieldNamed(std::string const& name) {
    for (ContactField const& field : kContactFields) {
        if (name == field.name) {
            return field.member;
        }
    }
    throw std::invalid_argument("unknown field {" + name +
                                "}; the fields are {field1}, {field2}, {email}, {contactId} and "
                                "{field5}");
}

// Control characters too, so that no name can split its line.
bool isSpace(char byte) {
    return byte == ' ' || (static_cast<unsigned char>(byte) < 0x20) || byte == '\x7f';
}

}  // namespace

NameTemplate::NameTemplate(std::string const& text) {
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t const open = text.find('{', position);
        std::size_t const close = open == std::string::npos ? open : text.find('}', open);
        if (close == std::string::npos) {
            pieces_.push_back({text.substr(position)});
            break;
        }
        pieces_.push_back({text.substr(position, open - position)});
        pieces_.push_back({{}, fieldNamed(text.substr(open + 1, close - open - 1))});
        position = close + 1;
    }
}

std::string NameTemplate::render(vesnik_contact const& contact) const {
    std::string name;
    bool spacePending = false;
    auto const append = [&](char const* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            if (isSpace(bytes[i])) {
                spacePending = !name.empty();
                continue;
            }
            if (spacePending) {
                name += ' ';
                spacePending = false;
            }
            name += bytes[i];
        }
    };
    for (Piece const& piece : pieces_) {
        if (piece.member == nullptr) {
            append(piece.text.data(), piece.text.size());
        } else if (char const* const value = contact.*piece.member; value != nullptr) {
            append(value, std::char_traits<char>::length(value));
        }
    }
    return name;
}

}  // namespace vesnik::tool
