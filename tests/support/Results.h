// What the lookups return, owned as a host owns it, and plain copies of it
// for comparing.
#ifndef VESNIK_TESTS_SUPPORT_RESULTS_H
#define VESNIK_TESTS_SUPPORT_RESULTS_H

#include <optional>
#include <string>
#include <vector>

#include "Vesnik_API.h"
#include "Vesnik_API_owners.h"

namespace vesnik::test {

using owned::IdList;
using owned::Record;
using owned::RecordList;
using owned::String;

// A field's value, or nullopt for an absent field.
using Field = std::optional<std::string>;
using Fields = std::vector<Field>;

inline Field fieldOf(char const* text) {
    return text ? Field(text) : std::nullopt;
}

inline Fields fieldsOf(AddressBook::ContactInfo const& record) {
    return {fieldOf(record.field1), fieldOf(record.field2), fieldOf(record.email),
            fieldOf(record.contactId), fieldOf(record.field5)};
}

inline std::vector<Fields> fieldsOf(std::vector<AddressBook::ContactInfo*> const& records) {
    std::vector<Fields> all;
    for (auto const* record : records) {
        all.push_back(fieldsOf(*record));
    }
    return all;
}

inline std::vector<Field> idsOf(std::vector<char*> const& ids) {
    std::vector<Field> all;
    for (char const* id : ids) {
        all.push_back(fieldOf(id));
    }
    return all;
}

}  // namespace vesnik::test

#endif
