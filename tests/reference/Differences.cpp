#include "reference/Differences.h"

#include <algorithm>
#include <iterator>

#include "Vesnik_API.h"
#include "reference/ReferenceBook.h"
#include "support/Results.h"

namespace vesnik::reference {

namespace {

using test::IdList;
using test::Record;
using test::RecordList;
using test::String;

// Values as C++ would spell them, cut short.
template <class T>
std::string shown(std::optional<T> const& value);

std::string shown(std::string const& bytes) {
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size() && i < 40; ++i) {
        auto const c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x20 || c >= 0x7f || c == '"' || c == '\\') {
            out += std::string("\\x") + "0123456789abcdef"[c >> 4] + "0123456789abcdef"[c & 15];
        } else {
            out += bytes[i];
        }
    }
    return out + (bytes.size() > 40 ? "\"...(" + std::to_string(bytes.size()) + " bytes)" : "\"");
}

template <class T>
std::string shown(std::vector<T> const& values) {
    std::string out = "[";
    for (std::size_t i = 0; i < values.size() && i < 8; ++i) {
        out += (i == 0 ? "" : ", ") + shown(values[i]);
    }
    return out + (values.size() > 8 ? ", ...(" + std::to_string(values.size()) + ")]" : "]");
}

template <class T>
std::string shown(std::optional<T> const& value) {
    return value ? shown(*value) : "null";
}

std::optional<std::vector<Field>> valueOf(IdList const& ids) {
    return ids ? std::optional(test::idsOf(*ids)) : std::nullopt;
}
std::optional<Fields> valueOf(Record const& record) {
    return record ? std::optional(test::fieldsOf(*record)) : std::nullopt;
}
std::optional<Records> valueOf(RecordList const& records) {
    return records ? std::optional(test::fieldsOf(*records)) : std::nullopt;
}
Field valueOf(String const& text) {
    return test::fieldOf(text.get());
}

// Keeps the first difference seen; later answers are not compared.
class Comparison {
  public:
    bool differs() const { return first_.has_value(); }
    std::optional<std::string> const& first() const { return first_; }

    template <class T>
    void compare(std::string const& call, T const& library, T const& reference) {
        if (!differs() && !(library == reference)) {
            note(call, shown(library), shown(reference));
        }
    }

    // Lists are shown from their first difference: they can be long.
    template <class T>
    void compare(std::string const& call, std::optional<std::vector<T>> library,
                 std::optional<std::vector<T>> reference) {
        if (differs() || library == reference) {
            return;
        }
        std::size_t same = 0;
        if (library && reference) {
            auto const [a, b] = std::mismatch(library->begin(), library->end(), reference->begin(),
                                              reference->end());
            same = static_cast<std::size_t>(a - library->begin());
            library->erase(library->begin(), a);
            reference->erase(reference->begin(), b);
        }
        note(call + " (first " + std::to_string(same) + " entries alike)", shown(library),
             shown(reference));
    }

  private:
    void note(std::string const& call, std::string const& library, std::string const& reference) {
        first_ = call + "\n  library:   " + library + "\n  reference: " + reference;
    }

    std::optional<std::string> first_;
};

char* cString(Field const& key) {
    return key ? const_cast<char*>(key->c_str()) : nullptr;
}

}  // namespace

std::optional<std::string> firstDifference(std::string const& path,
                                           std::vector<std::string> const& keyTexts) {
    Book const book = readBook(path);
    char const* const file = path.c_str();
    Comparison comparison;
    comparison.compare("GetContacts", valueOf(IdList(GetContacts(file, nullptr))),
                       getContacts(book));
    std::vector<Field> keys = {std::nullopt};
    keys.insert(keys.end(), keyTexts.begin(), keyTexts.end());
    for (std::size_t i = 0; i < keys.size() && !comparison.differs(); ++i) {
        Field const& key = keys[i];
        char* const k = cString(key);
        std::string const call = "(" + shown(key) + ")";
        comparison.compare("GetContactInfo" + call,
                           valueOf(Record(GetContactInfo(k, file, nullptr))),
                           getContactInfo(key, book));
        comparison.compare("GetContactInfosFromEmail" + call,
                           valueOf(RecordList(GetContactInfosFromEmail(k, file, nullptr))),
                           getContactInfosFromEmail(key, book));
        comparison.compare("GetContactID" + call, valueOf(String(GetContactID(k, file, nullptr))),
                           getContactID(key, book));
        std::vector<char*> const one = {k};
        comparison.compare("GetContactInfos({" + shown(key) + "})",
                           valueOf(RecordList(GetContactInfos(&one, file, nullptr))),
                           getContactInfos(std::vector<Field>{key}, book));
    }
    std::vector<Field> twice = keys;
    twice.insert(twice.end(), keys.begin(), keys.end());
    std::vector<char*> all;
    std::transform(twice.begin(), twice.end(), std::back_inserter(all), cString);
    std::vector<char*> const none;
    comparison.compare("GetContactInfos(all keys)",
                       valueOf(RecordList(GetContactInfos(&all, file, nullptr))),
                       getContactInfos(twice, book));
    comparison.compare("GetContactInfos({})",
                       valueOf(RecordList(GetContactInfos(&none, file, nullptr))),
                       getContactInfos(std::vector<Field>{}, book));
    comparison.compare("GetContactInfos(null)",
                       valueOf(RecordList(GetContactInfos(nullptr, file, nullptr))),
                       getContactInfos(std::nullopt, book));
    return comparison.first();
}

}  // namespace vesnik::reference
