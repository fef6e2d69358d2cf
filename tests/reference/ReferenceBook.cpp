#include "reference/ReferenceBook.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace vesnik::reference {

namespace {

constexpr std::size_t kEmail = 2;
constexpr std::size_t kContactId = 3;

// Separators at the start or in a run end no column; columns after the fifth
// are dropped and absent ones are null.
Fields splitColumns(std::string const& text) {
    Fields fields;
    std::string column;
    for (char const c : text + ',') {
        if (c != ',' && c != '\t') {
            column += c;
        } else if (!column.empty()) {
            fields.push_back(column);
            column.clear();
        }
    }
    fields.resize(5);
    return fields;
}

}  // namespace

std::string asciiUpper(std::string text) {
    for (char& c : text) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return text;
}

Book readBook(std::string const& path) {
    std::error_code error;
    std::ifstream in(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), error) || !in) {
        return std::nullopt;
    }
    std::string const bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Records records;
    for (std::size_t begin = 0; begin < bytes.size();) {
        std::size_t const end = std::min(bytes.find('\n', begin), bytes.size());
        std::string text = bytes.substr(begin, end - begin);
        // A CR right before an LF goes, and a NUL ends the text.
        if (end < bytes.size() && !text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        text = text.substr(0, text.find('\0'));
        if (!text.empty()) {
            records.push_back(splitColumns(text));
        }
        begin = end + 1;
    }
    return records;
}

std::optional<std::vector<Field>> getContacts(Book const& book) {
    if (!book) {
        return std::nullopt;
    }
    std::vector<Field> ids;
    for (Fields const& record : *book) {
        ids.push_back(record[kContactId]);
    }
    return ids;
}

std::optional<Fields> getContactInfo(Field const& contactId, Book const& book) {
    auto const found = getContactInfos(std::vector<Field>{contactId}, book);
    return found && !found->empty() ? std::optional(found->front()) : std::nullopt;
}

std::optional<Records> getContactInfos(std::optional<std::vector<Field>> const& contactIds,
                                       Book const& book) {
    if (!contactIds || !book) {
        return std::nullopt;
    }
    Records found;
    for (Fields const& record : *book) {
        // An absent identifier matches no key, a null key nothing.
        auto const matches = [&](Field const& key) { return key && record[kContactId] == key; };
        if (std::any_of(contactIds->begin(), contactIds->end(), matches)) {
            found.push_back(record);
        }
    }
    return found;
}

std::optional<Records> getContactInfosFromEmail(Field const& email, Book const& book) {
    // A null key is answered without the file.
    if (!email) {
        return Records{};
    }
    if (!book) {
        return std::nullopt;
    }
    Records found;
    for (Fields const& record : *book) {
        if (record[kEmail] && asciiUpper(*record[kEmail]) == asciiUpper(*email)) {
            found.push_back(record);
            found.back()[kEmail] = asciiUpper(*record[kEmail]);
        }
    }
    return found;
}

Field getContactID(Field const& email, Book const& book) {
    auto const found = getContactInfosFromEmail(email, book);
    return found && !found->empty() ? found->front()[kContactId] : std::nullopt;
}

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
                       return field &&
                              asciiUpper(*field).find(asciiUpper(word)) != std::string::npos;
                   });
        };
        if (std::all_of(words.begin(), words.end(), stands)) {
            found.push_back(record);
        }
    }
    return found;
}

}  // namespace vesnik::reference
