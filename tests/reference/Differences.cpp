#include "reference/Differences.h"

#include <algorithm>
#include <iterator>

#include "Vesnik_API.h"
#include "Vesnik_API_owners.h"
#include "reference/ReferenceBook.h"

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

}  // namespace

std::optional<std::string> firstDifference(std::string const& path,
                                           std::vector<std::string> const& keyTexts) {
    Book const book = readBook(path);
    char const* const file = path.c_str();
    // The first difference, shown from a little before where the two
    // spellings part: lines may be longer than a block, lists thousands long.
    std::optional<std::string> first;
    auto const compare = [&](std::string const& call, auto const& library, auto const& reference) {
        std::string const a = spelled(library.get());
        std::string const b = spelled(reference);
        auto const at = static_cast<std::size_t>(
            std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
        if (!first && at < std::max(a.size(), b.size())) {
            std::size_t const from = at < 60 ? 0 : at - 60;
            first = call + ", from character " + std::to_string(from) +
                    ":\n  library:   " + a.substr(from, 160) +
                    "\n  reference: " + b.substr(from, 160);
        }
    };
    compare("GetContacts", owned::IdList(GetContacts(file, nullptr)), getContacts(book));
    std::vector<Field> keys = {std::nullopt};
    keys.insert(keys.end(), keyTexts.begin(), keyTexts.end());
    for (std::size_t i = 0; i < keys.size() && !first; ++i) {
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
    return first;
}

}  // namespace vesnik::reference
