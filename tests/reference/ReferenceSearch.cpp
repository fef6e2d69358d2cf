#include <algorithm>
#include <cstddef>

#include "reference/ReferenceBook.h"

namespace vesnik::reference {

namespace {

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

}  // namespace

std::optional<Records> search(std::string const& text, Book const& book) {
    if (!book) {
        return std::nullopt;
    }
    std::vector<std::string> words(1);
    for (char const c : text) {
        if (c == ' ' || c == '\t') {
            words.emplace_back();
        } else {
            words.back() += c;
        }
    }
    Records found;
    for (Fields const& record : *book) {
        // An empty piece, between two separators, is no word.
        auto const stands = [&](std::string const& word) {
            return word.empty() ||
                   std::any_of(record.begin(), record.begin() + 3, [&](Field const& field) {
                       return field && upper(*field).find(upper(word)) != std::string::npos;
                   });
        };
        if (std::all_of(words.begin(), words.end(), stands)) {
            found.push_back(record);
        }
    }
    return found;
}

}  // namespace vesnik::reference
