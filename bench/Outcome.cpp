#include "Outcome.h"

#include <cstddef>

namespace vesnik::bench {

namespace {

// A list that is missing altogether (the file could not be opened) must not
// pass for an empty one.
constexpr char kNoList[] = "(no list)";
constexpr char kNoId[] = "(no id)";
constexpr std::size_t kIdsDescribed = 5;

std::string idOf(AddressBook::ContactInfo const& record) {
    return record.contactId != nullptr ? record.contactId : kNoId;
}

}  // namespace

Outcome outcomeOf(tool::LibraryRecord const& record) {
    if (!record) {
        return {};
    }
    return {idOf(*record)};
}

Outcome outcomeOf(tool::LibraryRecordList const& records) {
    if (!records) {
        return {kNoList};
    }
    Outcome ids;
    for (AddressBook::ContactInfo const* record : *records) {
        ids.push_back(idOf(*record));
    }
    return ids;
}

Outcome outcomeOf(tool::LibraryString const& contactId) {
    if (!contactId) {
        return {};
    }
    return {contactId.get()};
}

Outcome outcomeOf(tool::LibraryIdList const& contactIds) {
    if (!contactIds) {
        return {kNoList};
    }
    Outcome ids;
    for (char const* id : *contactIds) {
        if (id != nullptr) {
            ids.emplace_back(id);
        }
    }
    return ids;
}

std::string describe(Outcome const& outcome) {
    std::string text = std::to_string(outcome.size()) + " found";
    for (std::size_t shown = 0; shown < outcome.size() && shown < kIdsDescribed; ++shown) {
        text += (shown == 0 ? ": " : " ") + outcome[shown];
    }
    if (outcome.size() > kIdsDescribed) {
        text += " ...";
    }
    return text;
}

}  // namespace vesnik::bench
