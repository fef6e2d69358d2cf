#include "reference/Differences.h"

#include <algorithm>
#include <iterator>
#include <random>
#include <set>

#include "MemorySource.h"
#include "Query.h"
#include "Vesnik_API.h"
#include "Vesnik_API_owners.h"
#include "vesnik.h"

namespace vesnik::reference {

namespace {

// Both sides' answers spelled as C++ would write their values: strings
// quoted with every other byte escaped, lists and records in brackets, null
// for none. Two answers are the same when they are spelled the same.
template <class T>
std::string spelled(std::optional<T> const& value);
template <class T>
std::string spelled(T const* value);
template <class T>
std::string spelled(std::vector<T> const& values);

std::string spelled(std::string const& bytes) {
    std::string out = "\"";
    for (char const byte : bytes) {
        auto const c = static_cast<unsigned char>(byte);
        bool const plain = c >= 0x20 && c < 0x7f && c != '"' && c != '\\';
        out += plain ? std::string(1, byte)
                     : std::string("\\x") + "0123456789abcdef"[c >> 4] + "0123456789abcdef"[c & 15];
    }
    return out + "\"";
}

std::string spelled(char const* text) {
    return text ? spelled(std::string(text)) : "null";
}

std::string spelled(::AddressBook::ContactInfo const& record) {
    return spelled(std::vector<char const*>{record.field1, record.field2, record.email,
                                            record.contactId, record.field5});
}

template <class T>
std::string spelled(std::optional<T> const& value) {
    return value ? spelled(*value) : "null";
}

template <class T>
std::string spelled(T const* value) {
    return value ? spelled(*value) : "null";
}

template <class T>
std::string spelled(std::vector<T> const& values) {
    std::string out = "[";
    for (T const& value : values) {
        out += (out.size() > 1 ? ", " : "") + spelled(value);
    }
    return out + "]";
}

char* cString(Field const& key) {
    return key ? const_cast<char*>(key->c_str()) : nullptr;
}

std::string spelled(vesnik_contact const& contact) {
    return spelled(std::vector<char const*>{contact.field1, contact.field2, contact.email,
                                            contact.contact_id, contact.field5});
}

// Tells the first difference between two spellings, shown from a little
// before where they part: lines may be longer than a block, lists thousands
// long.
class FirstDifference {
  public:
    void compare(std::string const& call, std::string const& got, std::string const& want) {
        auto const at = static_cast<std::size_t>(
            std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin());
        if (!first_ && at < std::max(got.size(), want.size())) {
            std::size_t const from = at < 60 ? 0 : at - 60;
            first_ = call + ", from character " + std::to_string(from) +
                     ":\n  library:   " + got.substr(from, 160) +
                     "\n  reference: " + want.substr(from, 160);
        }
    }

    std::optional<std::string> const& first() const { return first_; }

  private:
    std::optional<std::string> first_;
};

std::string described(Ask const& ask) {
    static char const* const kNames[] = {"every contact", "every id", "ids", "email", "search"};
    return kNames[static_cast<int>(ask.lookup)] + std::string(" ") + spelled(ask.keys) +
           ", limit " + std::to_string(ask.limit);
}

std::string flippedCase(std::string text) {
    for (char& c : text) {
        bool const letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
        c = letter ? static_cast<char>(c ^ 0x20) : c;
    }
    return text;
}

// Some of the book's e-mails and identifiers, and near misses of them.
std::vector<std::string> keysOf(Records const& records, std::mt19937& random, std::size_t count) {
    std::vector<std::string> columns;
    for (Fields const& record : records) {
        for (Field const& column : {record[2], record[3]}) {
            if (column) {
                columns.push_back(*column);
            }
        }
    }
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < count && !columns.empty(); ++i) {
        std::string const& column = columns[random() % columns.size()];
        keys.insert(keys.end(), {column, column.substr(1), column.substr(0, column.size() - 1),
                                 flippedCase(column), column + "\r", column + ",", " " + column});
    }
    return keys;
}

// Pieces of the book's fields (field5's and the identifier's too, which are
// not searched), some letters in the other case, one to three of them
// between runs of spaces and TABs.
std::vector<std::string> textsOf(Records const& records, std::mt19937& random, std::size_t count) {
    std::vector<std::string> fields;
    for (Fields const& record : records) {
        for (Field const& field : record) {
            if (field) {
                fields.push_back(*field);
            }
        }
    }
    static char const* const kBetween[] = {" ", "\t", "  ", " \t"};
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < count && !fields.empty(); ++i) {
        std::string text = random() % 4 == 0 ? " " : "";
        for (auto words = 1 + random() % 3; words > 0; --words) {
            std::string const& field = fields[random() % fields.size()];
            std::size_t const from = random() % field.size();
            std::string const piece = field.substr(from, 1 + random() % (field.size() - from));
            text += random() % 2 == 0 ? piece : flippedCase(piece);
            text += words > 1 ? kBetween[random() % std::size(kBetween)] : "";
        }
        texts.push_back(text + (random() % 4 == 0 ? "\t" : ""));
    }
    return texts;
}

}  // namespace

std::vector<Ask> asksFor(Records const& records, std::vector<std::string> const& keys,
                         std::vector<std::string> const& texts, std::uint32_t seed,
                         Breadth breadth) {
    bool const wide = breadth == Breadth::kWide;
    std::mt19937 random(seed);
    std::vector<std::string> allKeys = keys;
    std::vector<std::string> const own = keysOf(records, random, wide ? 3 : 1);
    allKeys.insert(allKeys.end(), own.begin(), own.end());
    std::vector<std::string> allTexts = texts;
    std::vector<std::string> const pieces = textsOf(records, random, wide ? 12 : 3);
    allTexts.insert(allTexts.end(), pieces.begin(), pieces.end());

    std::vector<Ask> unlimited = {
        {Lookup::kEveryContact, {}}, {Lookup::kEveryContactId, {}}, {Lookup::kContactIds, {}}};
    std::vector<std::string> twice;
    for (std::string const& key : allKeys) {
        unlimited.push_back({Lookup::kContactIds, {key}});
        // The same key through the many-identifier filter, beside one no book holds.
        unlimited.push_back({Lookup::kContactIds, {key, "\x7f" + key}});
        unlimited.push_back({Lookup::kEmail, {key}});
        twice.insert(twice.end(), {key, key});
    }
    unlimited.push_back({Lookup::kContactIds, twice});
    for (std::string const& text : allTexts) {
        unlimited.push_back({Lookup::kSearch, {text}});
    }
    std::vector<std::size_t> limits = {0, 1, 2, 3};
    if (!wide) {
        limits = {limits[random() % limits.size()]};
    }
    std::vector<Ask> asks;
    for (std::size_t const limit : limits) {
        for (Ask ask : unlimited) {
            ask.limit = limit;
            asks.push_back(std::move(ask));
        }
    }
    return asks;
}

std::optional<std::string> firstEngineDifference(std::string const& bytes,
                                                 std::vector<Ask> const& asks) {
    Records const records = readBytes(bytes);
    FirstDifference difference;
    for (std::size_t i = 0; i < asks.size() && !difference.first(); ++i) {
        Ask const& ask = asks[i];
        std::vector<std::string_view> const keys(ask.keys.begin(), ask.keys.end());
        MemorySource source(bytes);
        Records got;
        ScanOutcome const outcome =
            runQuery(source, Query::of(static_cast<QueryKind>(ask.lookup), keys, ask.limit),
                     [&](Match const& match) {
                         Fields& record = got.emplace_back();
                         for (std::string_view const column : match.columns) {
                             record.push_back(column.empty() ? Field() : Field(column));
                         }
                         return true;
                     });
        Records const want = answer(ask, records);
        // Spelled only to tell a difference: most answers are the same.
        if (!outcome.done() || got != want) {
            difference.compare("engine: " + described(ask),
                               outcome.done() ? spelled(got) : "failed", spelled(want));
        }
    }
    return difference.first();
}

std::optional<std::string> firstCInterfaceDifference(std::string const& path,
                                                     std::vector<Ask> const& asks) {
    Book const book = readBook(path);
    char const* const file = path.c_str();
    FirstDifference difference;
    for (std::size_t i = 0; i < asks.size() && !difference.first(); ++i) {
        Ask const& ask = asks[i];
        std::vector<char const*> keys;
        for (std::string const& key : ask.keys) {
            keys.push_back(key.c_str());
        }
        vesnik_list* list = nullptr;
        int status = VESNIK_OK;
        switch (ask.lookup) {
            case Lookup::kEveryContact:
                // Without a limit of its own: an empty search stops at one.
                status = ask.limit == 0 ? vesnik_all(file, &list)
                                        : vesnik_search(file, "", ask.limit, &list);
                break;
            case Lookup::kEveryContactId:
                continue;  // no lookup of its own: vesnik_all gives them
            case Lookup::kContactIds:
                status = vesnik_find_ids(file, keys.data(), keys.size(), ask.limit, &list);
                break;
            case Lookup::kEmail:
                status = vesnik_find_email(file, keys[0], ask.limit, &list);
                break;
            case Lookup::kSearch:
                status = vesnik_search(file, keys[0], ask.limit, &list);
                break;
        }
        std::vector<std::string> got;
        for (std::size_t at = 0; at < vesnik_list_size(list); ++at) {
            got.push_back(spelled(*vesnik_list_at(list, at)));
        }
        vesnik_list_free(list);
        std::string want = "status -1";
        if (book) {
            std::vector<std::string> records;
            for (Fields const& record : answer(ask, *book)) {
                records.push_back(spelled(record));
            }
            want = spelled(records);
        }
        difference.compare("C interface: " + described(ask),
                           status == VESNIK_OK ? spelled(got) : "status " + std::to_string(status),
                           want);
    }
    return difference.first();
}

std::optional<std::string> firstDifference(std::string const& path,
                                           std::vector<std::string> const& keyTexts,
                                           std::vector<std::vector<std::string>> const& keyLists) {
    Book const book = readBook(path);
    char const* const file = path.c_str();
    FirstDifference difference;
    auto const compare = [&](std::string const& call, auto const& library, auto const& reference) {
        difference.compare(call, spelled(library.get()), spelled(reference));
    };
    compare("GetContacts", owned::IdList(GetContacts(file, nullptr)), getContacts(book));
    std::vector<Field> keys = {std::nullopt};
    keys.insert(keys.end(), keyTexts.begin(), keyTexts.end());
    for (std::size_t i = 0; i < keys.size() && !difference.first(); ++i) {
        char* const key = cString(keys[i]);
        std::string const call = "(" + spelled(keys[i]) + ")";
        compare("GetContactInfo" + call, owned::Record(GetContactInfo(key, file, nullptr)),
                getContactInfo(keys[i], book));
        compare("GetContactInfosFromEmail" + call,
                owned::RecordList(GetContactInfosFromEmail(key, file, nullptr)),
                getContactInfosFromEmail(keys[i], book));
        compare("GetContactID" + call, owned::String(GetContactID(key, file, nullptr)),
                getContactID(keys[i], book));
    }
    std::vector<Field> twice = keys;
    twice.insert(twice.end(), keys.begin(), keys.end());
    std::vector<char*> all;
    std::transform(twice.begin(), twice.end(), std::back_inserter(all), cString);
    std::vector<char*> const none;
    compare("GetContactInfos(all keys)", owned::RecordList(GetContactInfos(&all, file, nullptr)),
            getContactInfos(twice, book));
    compare("GetContactInfos({})", owned::RecordList(GetContactInfos(&none, file, nullptr)),
            getContactInfos(std::vector<Field>{}, book));
    compare("GetContactInfos(null)", owned::RecordList(GetContactInfos(nullptr, file, nullptr)),
            getContactInfos(std::nullopt, book));
    for (std::vector<std::string> const& list : keyLists) {
        std::vector<char*> pointers;
        for (std::string const& key : list) {
            pointers.push_back(const_cast<char*>(key.c_str()));
        }
        compare("GetContactInfos(" + std::to_string(list.size()) + " keys)",
                owned::RecordList(GetContactInfos(&pointers, file, nullptr)),
                getContactInfos(std::vector<Field>(list.begin(), list.end()), book));
    }
    return difference.first();
}

}  // namespace vesnik::reference
