#include "reference/ReferenceBook.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
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

// The words of a search's text, upper-cased: the pieces between spaces and
// TABs, the empty ones dropped.
std::vector<Needle> wordsOf(std::string const& text) {
    std::vector<Needle> needles;
    std::string word;
    for (char const c : text + ' ') {
        if (c != ' ' && c != '\t') {
            word += c;
        } else if (!word.empty()) {
            needles.emplace_back(asciiUpper(word));
            word.clear();
        }
    }
    return needles;
}

// Whether each word stands whole in field1, field2 or the e-mail.
bool holdsEveryWord(Fields const& record, std::vector<Needle> const& words) {
    return std::all_of(words.begin(), words.end(), [&](Needle const& word) {
        return std::any_of(record.begin(), record.begin() + kEmail + 1, [&](Field const& field) {
            return field && word.isIn(asciiUpper(*field));
        });
    });
}

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

std::string asciiUpper(std::string text) {
    for (char& c : text) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return text;
}

Book readBook(std::string const& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), error)) {
        return std::nullopt;
    }
    // A read that fails part-way is no book either.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    std::string bytes;
    char block[65536];
    for (std::size_t count; file && (count = std::fread(block, 1, sizeof block, file.get())) > 0;) {
        bytes.append(block, count);
    }
    if (!file || std::ferror(file.get())) {
        return std::nullopt;
    }
    return readBytes(bytes);
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

Records answer(Ask const& ask, Records const& records) {
    if (ask.lookup == Lookup::kSearch && (ask.fold != 0 || ask.ranked)) {
        Records found = ask.fold != 0 ? foldedSearch(ask.keys[0], ask.fold, records)
                                      : answer(Ask{ask.lookup, ask.keys}, records);
        if (ask.ranked) {
            // Each record's tier judged once, then the records taken tier by
            // tier in file order.
            std::vector<int> tiers;
            for (Fields const& record : found) {
                tiers.push_back(tierOf(ask, record));
            }
            Records ranked;
            for (int tier = 1; tier <= 3; ++tier) {
                for (std::size_t i = 0; i < found.size(); ++i) {
                    if (tiers[i] == tier) {
                        ranked.push_back(found[i]);
                    }
                }
            }
            found = std::move(ranked);
        }
        if (ask.limit != 0 && found.size() > ask.limit) {
            found.resize(ask.limit);
        }
        return found;
    }
    std::set<std::string> const keys(ask.keys.begin(), ask.keys.end());
    std::vector<Needle> const words =
        ask.lookup == Lookup::kSearch ? wordsOf(ask.keys[0]) : std::vector<Needle>();
    Records found;
    for (Fields const& record : records) {
        Field const& id = record[kContactId];
        Field const& email = record[kEmail];
        bool const wanted = ask.lookup == Lookup::kContactIds ? id && keys.count(*id) > 0
                            : ask.lookup == Lookup::kEmail
                                ? email && asciiUpper(*email) == asciiUpper(ask.keys[0])
                            : ask.lookup == Lookup::kSearch ? holdsEveryWord(record, words)
                                                            : true;
        if (wanted && (ask.limit == 0 || found.size() < ask.limit)) {
            found.push_back(ask.lookup == Lookup::kEveryContactId
                                ? Fields{std::nullopt, std::nullopt, std::nullopt, id, std::nullopt}
                                : record);
        }
    }
    return found;
}

}  // namespace vesnik::reference
