#include "reference/Differences.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <random>

#include "ByteSource.h"
#include "Query.h"
#include "UnicodeFolds.h"
#include "Vesnik_API.h"
#include "Vesnik_API_owners.h"
#include "reference/ReferenceFold.h"
#include "vesnik.h"

namespace vesnik::reference {

namespace {

// What a front door answered, or nullopt where it failed or gave null.
using Answer = std::optional<Records>;

// Answers spelled as C++ would write their values: strings quoted with every
// other byte escaped, lists and records in brackets, null for none.
std::string spelled(Field const& field) {
    if (!field) {
        return "null";
    }
    std::string out = "\"";
    for (char const byte : *field) {
        auto const c = static_cast<unsigned char>(byte);
        bool const plain = c >= 0x20 && c < 0x7f && c != '"' && c != '\\';
        out += plain ? std::string(1, byte)
                     : std::string("\\x") + "0123456789abcdef"[c >> 4] + "0123456789abcdef"[c & 15];
    }
    return out + "\"";
}

template <class T>
std::string spelled(std::vector<T> const& values) {
    std::string out = "[";
    for (T const& value : values) {
        out += (out.size() > 1 ? ", " : "") + spelled(value);
    }
    return out + "]";
}

std::string spelled(Answer const& answer) {
    return answer ? spelled(*answer) : "null";
}

// Tells the first difference between two answers, shown from a little
// before where their spellings part: lines may be longer than a block, lists
// thousands long.
class FirstDifference {
  public:
    void compare(std::string const& call, Answer const& got, Answer const& want) {
        if (first_ || got == want) {
            return;
        }
        std::string const library = spelled(got);
        std::string const reference = spelled(want);
        auto const at = static_cast<std::size_t>(
            std::mismatch(library.begin(), library.end(), reference.begin(), reference.end())
                .first -
            library.begin());
        std::size_t const from = at < 60 ? 0 : at - 60;
        first_ = call + ", from character " + std::to_string(from) +
                 ":\n  library:   " + library.substr(from, 160) +
                 "\n  reference: " + reference.substr(from, 160);
    }

    std::optional<std::string> const& first() const { return first_; }

  private:
    std::optional<std::string> first_;
};

std::string described(Ask const& ask) {
    static char const* const kNames[] = {"every contact", "every id", "ids", "email", "search"};
    std::vector<Field> const keys(ask.keys.begin(), ask.keys.end());
    return kNames[static_cast<int>(ask.lookup)] + std::string(ask.ranked ? " ranked " : " ") +
           spelled(keys) + ", limit " + std::to_string(ask.limit) + ", fold " +
           std::to_string(ask.fold);
}

// Bytes in memory read as a troublesome file might be: at most some bytes a
// read, every other read interrupted, breaking off after some bytes.
struct TroublesomeSource final : ByteSource {
    TroublesomeSource(std::string_view b, std::size_t most, bool interrupting, std::size_t failing)
        : bytes(b), mostPerRead(most), interrupts(interrupting), failAfter(failing) {}

    ReadResult read(char* into, std::size_t size) override {
        if (interrupts && (interrupted = !interrupted)) {
            return {ReadStatus::kInterrupted, 0};
        }
        if (position == bytes.size() || position >= failAfter) {
            return {position == bytes.size() ? ReadStatus::kEnd : ReadStatus::kFailed, 0, EIO};
        }
        std::size_t const count =
            std::min({size, mostPerRead, bytes.size() - position, failAfter - position});
        std::memcpy(into, bytes.data() + position, count);
        position += count;
        return {ReadStatus::kData, count};
    }

    std::string_view bytes;
    std::size_t mostPerRead;
    bool interrupts;
    std::size_t failAfter;
    std::size_t position = 0;
    bool interrupted = false;
};

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
        for (unsigned const fold : {0u, kFoldCase, kFoldMarks, kFoldCase | kFoldMarks}) {
            unlimited.push_back({Lookup::kSearch, {text}, 0, fold});
        }
        for (unsigned const fold : {0u, kFoldCase | kFoldMarks}) {
            unlimited.push_back({Lookup::kSearch, {text}, 0, fold, true});
        }
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
        // Each ask read another way: whole, a byte at a time, seven bytes,
        // interrupted, or breaking off part-way, where no query may end as
        // if the book had ended.
        bool const breaksOff = i % 4 == 3 && ask.limit == 0 && !bytes.empty();
        // Small reads scale with the book, so that a long one stays quick.
        std::size_t const scale = bytes.size() / 4096 + 1;
        std::size_t const mostPerRead[] = {SIZE_MAX, scale, 7 * scale, 4093};
        TroublesomeSource source(bytes, mostPerRead[i % 4], i % 2 == 1,
                                 breaksOff ? i * 7919 % bytes.size() : SIZE_MAX);
        Records got;
        Query query = Query::of(
            static_cast<QueryKind>(ask.lookup), keys, ask.limit,
            ask.fold != 0 ? &capi::unicodeFolds(static_cast<capi::FoldMode>(ask.fold)) : nullptr);
        query.ranked = ask.ranked;
        // A ranked run hands its matches in file order, each with its tier,
        // and may stop once the best are certain: the caller keeps them.
        std::vector<Records> tiers(kTierCount);
        ScanOutcome const outcome = runQuery(source, query, [&](Match const& match) {
            Fields& record = tiers[static_cast<std::size_t>(match.tier) - 1].emplace_back();
            for (std::string_view const column : match.columns) {
                record.push_back(column.empty() ? Field() : Field(column));
            }
            return true;
        });
        for (Records const& tier : tiers) {
            got.insert(got.end(), tier.begin(), tier.end());
        }
        if (ask.ranked && ask.limit != 0 && got.size() > ask.limit) {
            got.resize(ask.limit);
        }
        difference.compare("engine: " + described(ask) + (breaksOff ? ", read breaking off" : ""),
                           outcome.done() ? Answer(got) : std::nullopt,
                           breaksOff ? std::nullopt : Answer(answer(ask, records)));
    }
    return difference.first();
}

namespace {

Field fieldOf(char const* text) {
    return text ? Field(text) : std::nullopt;
}

Fields fieldsOf(::AddressBook::ContactInfo const& r) {
    return {fieldOf(r.field1), fieldOf(r.field2), fieldOf(r.email), fieldOf(r.contactId),
            fieldOf(r.field5)};
}

// A record of the identifier alone (or of none).
Fields idRecord(char const* id) {
    return {std::nullopt, std::nullopt, std::nullopt, fieldOf(id), std::nullopt};
}

template <class List, class Each>
Answer answerOf(List const& list, Each const& each) {
    if (!list) {
        return std::nullopt;
    }
    Records records;
    for (auto const* entry : *list) {
        records.push_back(each(entry));
    }
    return records;
}

// What the C interface answers to ask; null for a failure.
// A ranked search's records, each with its tier after its five fields, as
// the C interface tells them.
Records withTiers(Ask const& ask, Records records) {
    if (ask.ranked) {
        for (Fields& record : records) {
            record.push_back(std::to_string(tierOf(ask, record)));
        }
    }
    return records;
}

Answer cInterfaceAnswer(char const* file, Ask const& ask) {
    std::vector<char const*> keys;
    for (std::string const& key : ask.keys) {
        keys.push_back(key.c_str());
    }
    vesnik_list* list = nullptr;
    int status = VESNIK_OK;
    if (ask.lookup == Lookup::kContactIds) {
        status = vesnik_find_ids(file, keys.data(), keys.size(), ask.limit, &list);
    } else if (ask.lookup == Lookup::kEmail) {
        status = vesnik_find_email(file, keys[0], ask.limit, &list);
    } else if (ask.lookup == Lookup::kSearch && (ask.fold != 0 || ask.ranked)) {
        status = vesnik_search_v2(file, keys[0], ask.fold | (ask.ranked ? VESNIK_RANK : 0u),
                                  ask.limit, &list);
    } else if (ask.lookup == Lookup::kSearch || ask.limit != 0) {
        // Every contact has no limit of its own: an empty search stops at one.
        status = vesnik_search(file, keys.empty() ? "" : keys[0], ask.limit, &list);
    } else {
        status = vesnik_all(file, &list);
    }
    Records got;
    for (std::size_t at = 0; at < vesnik_list_size(list); ++at) {
        vesnik_contact const& c = *vesnik_list_at(list, at);
        got.push_back({fieldOf(c.field1), fieldOf(c.field2), fieldOf(c.email),
                       fieldOf(c.contact_id), fieldOf(c.field5)});
        if (ask.ranked) {
            got.back().push_back(std::to_string(vesnik_list_tier(list, at)));
        }
    }
    vesnik_list_free(list);
    return status == VESNIK_OK ? Answer(got) : std::nullopt;
}

// The six functions that answer an ask without a limit: GetContacts every
// identifier; GetContactInfos the identifiers, with a null entry that
// matches nothing, and GetContactInfo one of them, the first match or null;
// GetContactInfosFromEmail the e-mail, upper-cased in what it gives, and
// GetContactID the first match's identifier, null where it has none.
void compareSixFunctions(char const* file, Ask const& ask, Book const& book,
                         FirstDifference& difference) {
    std::string const call = "(" + described(ask) + ")";
    Answer want = book ? Answer(answer(ask, *book)) : std::nullopt;
    Answer first = want && !want->empty() ? Answer(Records{want->front()}) : std::nullopt;
    auto const record = [](auto const* r) { return fieldsOf(*r); };
    if (ask.lookup == Lookup::kEveryContactId) {
        difference.compare("GetContacts",
                           answerOf(owned::IdList(GetContacts(file, nullptr)), idRecord), want);
    } else if (ask.lookup == Lookup::kContactIds) {
        std::vector<char*> keys;
        for (std::string const& key : ask.keys) {
            keys.push_back(const_cast<char*>(key.c_str()));
        }
        keys.push_back(nullptr);
        difference.compare(
            "GetContactInfos" + call,
            answerOf(owned::RecordList(GetContactInfos(&keys, file, nullptr)), record), want);
        if (ask.keys.size() == 1) {
            owned::Record const got(GetContactInfo(keys[0], file, nullptr));
            difference.compare("GetContactInfo" + call,
                               got ? Answer(Records{fieldsOf(*got)}) : std::nullopt, first);
        }
    } else if (ask.lookup == Lookup::kEmail) {
        char const* const key = ask.keys[0].c_str();
        owned::String const id(GetContactID(key, file, nullptr));
        difference.compare(
            "GetContactID" + call, id ? Answer(Records{idRecord(id.get())}) : std::nullopt,
            first && first->front()[3] ? Answer(Records{idRecord(first->front()[3]->c_str())})
                                       : std::nullopt);
        for (std::size_t at = 0; want && at < want->size(); ++at) {
            (*want)[at][2] = asciiUpper(*(*want)[at][2]);
        }
        difference.compare(
            "GetContactInfosFromEmail" + call,
            answerOf(owned::RecordList(GetContactInfosFromEmail(key, file, nullptr)), record),
            want);
    }
}

}  // namespace

std::optional<std::string> firstFileDifference(std::string const& path,
                                               std::vector<Ask> const& asks) {
    Book const book = readBook(path);
    char const* const file = path.c_str();
    FirstDifference difference;
    for (std::size_t i = 0; i < asks.size() && !difference.first(); ++i) {
        Ask const& ask = asks[i];
        if (ask.lookup != Lookup::kEveryContactId) {
            difference.compare("C interface: " + described(ask), cInterfaceAnswer(file, ask),
                               book ? Answer(withTiers(ask, answer(ask, *book))) : std::nullopt);
        }
        if (ask.limit == 0) {
            compareSixFunctions(file, ask, book, difference);
        }
    }
    // A null key or list asks nothing of the book: null, or no contact by
    // e-mail.
    owned::RecordList const byNullEmail(GetContactInfosFromEmail(nullptr, file, nullptr));
    bool const nullKeysAnswered = !owned::Record(GetContactInfo(nullptr, file, nullptr)) &&
                                  !owned::RecordList(GetContactInfos(nullptr, file, nullptr)) &&
                                  !owned::String(GetContactID(nullptr, file, nullptr)) &&
                                  byNullEmail && byNullEmail->empty();
    difference.compare("null keys", nullKeysAnswered ? Answer() : Answer(Records()), Answer());
    return difference.first();
}

}  // namespace vesnik::reference
