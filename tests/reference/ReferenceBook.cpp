#include "reference/ReferenceBook.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <system_error>

#include "reference/ReferenceFold.h"

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

// A word looked for in texts, in time linear in both (Knuth, Morris and
// Pratt), so that long words in long fields stay quick to check.
class Needle {
  public:
    explicit Needle(std::string word) : word_(std::move(word)), border_(word_.size() + 1, 0) {
        for (std::size_t i = 1, k = 0; i < word_.size(); ++i) {
            while (k > 0 && word_[i] != word_[k]) {
                k = border_[k];
            }
            k += word_[i] == word_[k] ? 1u : 0u;
            border_[i + 1] = k;
        }
    }

    bool isIn(std::string const& text) const {
        std::size_t matched = 0;
        for (char const c : text) {
            if (matched == word_.size()) {
                return true;
            }
            while (matched > 0 && c != word_[matched]) {
                matched = border_[matched];
            }
            matched += c == word_[matched] ? 1u : 0u;
        }
        return matched == word_.size();
    }

  private:
    std::string word_;
    std::vector<std::size_t> border_;
};

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
    return readBytes({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
}

Records readBytes(std::string const& bytes) {
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

int tierOf(Ask const& ask, Fields record) {
    if (ask.fold == 0) {
        return searchTier(ask.keys[0], record);
    }
    // Folded, the tier judges what was compared: the folded words in the
    // folded fields.
    for (std::size_t i = 0; i < 3; ++i) {
        if (record[i]) {
            record[i] = fold(*record[i], ask.fold);
        }
    }
    return wordsTier(foldedWords(ask.keys[0], ask.fold), record);
}

Records answer(Ask const& ask, Records const& records) {
    std::set<std::string> const keys(ask.keys.begin(), ask.keys.end());
    Records found;
    if (ask.lookup == Lookup::kSearch) {
        found = ask.fold != 0 ? foldedSearch(ask.keys[0], ask.fold, records)
                              : *search(ask.keys[0], records);
    }
    if (ask.ranked) {
        std::stable_sort(found.begin(), found.end(), [&](Fields const& a, Fields const& b) {
            return tierOf(ask, a) < tierOf(ask, b);
        });
    }
    for (Fields const& record : ask.lookup == Lookup::kSearch ? Records() : records) {
        switch (ask.lookup) {
            case Lookup::kEveryContactId:
                found.push_back(Fields{std::nullopt, std::nullopt, std::nullopt, record[kContactId],
                                       std::nullopt});
                break;
            case Lookup::kContactIds:
                if (record[kContactId] && keys.count(*record[kContactId]) > 0) {
                    found.push_back(record);
                }
                break;
            case Lookup::kEmail:
                if (record[kEmail] && asciiUpper(*record[kEmail]) == asciiUpper(ask.keys[0])) {
                    found.push_back(record);
                }
                break;
            default:
                found.push_back(record);
        }
    }
    if (ask.limit != 0 && found.size() > ask.limit) {
        found.resize(ask.limit);
    }
    return found;
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
    // An absent identifier matches no key, a null key nothing.
    std::set<std::string> keys;
    for (Field const& key : *contactIds) {
        if (key) {
            keys.insert(*key);
        }
    }
    Records found;
    for (Fields const& record : *book) {
        if (record[kContactId] && keys.count(*record[kContactId]) > 0) {
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

namespace {

// The words of text, upper-cased.
std::vector<std::string> upperWords(std::string const& text) {
    std::vector<std::string> words(1);
    for (char const c : text) {
        if (c == ' ' || c == '\t') {
            words.emplace_back();
        } else {
            words.back() += c;
        }
    }
    // An empty piece, between two separators, is no word.
    words.erase(std::remove(words.begin(), words.end(), std::string()), words.end());
    for (std::string& word : words) {
        word = asciiUpper(word);
    }
    return words;
}

bool beginsAWordAt(std::string const& field, std::size_t place) {
    if (place == 0) {
        return true;
    }
    auto const before = static_cast<unsigned char>(field[place - 1]);
    return before < 0x80 && !std::isalnum(before);
}

}  // namespace

int searchTier(std::string const& text, Fields const& record) {
    return wordsTier(upperWords(text), record);
}

int wordsTier(std::vector<std::string> const& words, Fields const& record) {
    int worst = 1;
    for (std::string const& anyCase : words) {
        std::string const word = asciiUpper(anyCase);
        int best = 3;
        for (std::size_t i = 0; i < 3; ++i) {
            std::string const field = record[i] ? asciiUpper(*record[i]) : std::string();
            for (std::size_t place = 0; place < field.size(); ++place) {
                if (field.compare(place, word.size(), word) == 0 && beginsAWordAt(field, place)) {
                    best = std::min(best, i < kEmail || place == 0 ? 1 : 2);
                }
            }
        }
        worst = std::max(worst, best);
    }
    return worst;
}

std::optional<Records> search(std::string const& text, Book const& book) {
    if (!book) {
        return std::nullopt;
    }
    std::vector<Needle> needles;
    for (std::string const& word : upperWords(text)) {
        needles.emplace_back(word);
    }
    Records found;
    for (Fields const& record : *book) {
        std::vector<std::string> fields;
        for (std::size_t i = 0; i < 3; ++i) {
            fields.push_back(record[i] ? asciiUpper(*record[i]) : std::string());
        }
        bool matches = true;
        for (std::size_t w = 0; w < needles.size() && matches; ++w) {
            matches = std::any_of(fields.begin(), fields.end(),
                                  [&](std::string const& field) { return needles[w].isIn(field); });
        }
        if (matches) {
            found.push_back(record);
        }
    }
    return found;
}

}  // namespace vesnik::reference
