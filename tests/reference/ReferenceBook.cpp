#include "reference/ReferenceBook.h"

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace vesnik::reference {

namespace {

constexpr std::size_t kFieldCount = 5;
constexpr std::size_t kEmail = 2;
constexpr std::size_t kContactId = 3;

// What a line holds before the columns are split: a CR right before its LF
// goes, and a NUL ends it.
std::string lineText(std::string line, bool endedByLineFeed) {
    if (endedByLineFeed && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    std::size_t const nul = line.find('\0');
    if (nul != std::string::npos) {
        line.resize(nul);
    }
    return line;
}

// Columns fill the five fields in order; any further ones are ignored.
Fields splitColumns(std::string const& text) {
    Fields fields(kFieldCount);
    std::size_t filled = 0;
    std::string column;
    for (char const c : text) {
        if (c != ',' && c != '\t') {
            column += c;
            continue;
        }
        // Separators in a run, or at the start, end no column.
        if (!column.empty()) {
            fields[filled++] = column;
            column.clear();
            if (filled == kFieldCount) {
                return fields;
            }
        }
    }
    if (!column.empty()) {
        fields[filled] = column;
    }
    return fields;
}

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameIgnoringAsciiCase(std::string const& a, std::string const& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiUpper(a[i]) != asciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

// An absent field matches nothing, a null key nothing either.
bool idMatches(Fields const& record, Field const& key) {
    return key && record[kContactId] && *record[kContactId] == *key;
}

bool emailMatches(Fields const& record, Field const& key) {
    return key && record[kEmail] && sameIgnoringAsciiCase(*record[kEmail], *key);
}

}  // namespace

Book readBook(std::string const& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream whole;
    whole << in.rdbuf();
    std::string const bytes = whole.str();
    Records records;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t const lineFeed = bytes.find('\n', begin);
        bool const endedByLineFeed = lineFeed != std::string::npos;
        std::size_t const end = endedByLineFeed ? lineFeed : bytes.size();
        std::string const text = lineText(bytes.substr(begin, end - begin), endedByLineFeed);
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
    if (book) {
        for (Fields const& record : *book) {
            if (idMatches(record, contactId)) {
                return record;
            }
        }
    }
    return std::nullopt;
}

std::optional<Records> getContactInfos(std::optional<std::vector<Field>> const& contactIds,
                                       Book const& book) {
    if (!contactIds || !book) {
        return std::nullopt;
    }
    Records found;
    for (Fields const& record : *book) {
        for (Field const& key : *contactIds) {
            if (idMatches(record, key)) {
                found.push_back(record);
                break;
            }
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
        if (emailMatches(record, email)) {
            found.push_back(record);
            for (char& c : *found.back()[kEmail]) {
                c = asciiUpper(c);
            }
        }
    }
    return found;
}

Field getContactID(Field const& email, Book const& book) {
    if (book) {
        for (Fields const& record : *book) {
            if (emailMatches(record, email)) {
                return record[kContactId];
            }
        }
    }
    return std::nullopt;
}

}  // namespace vesnik::reference
