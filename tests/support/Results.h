// Owning wrappers for what the lookups return, released as a host must
// release them, and plain copies of them for comparing.
#ifndef VESNIK_TESTS_SUPPORT_RESULTS_H
#define VESNIK_TESTS_SUPPORT_RESULTS_H

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Vesnik_API.h"

namespace vesnik::test {

struct FreeString {
    void operator()(char const* text) const { std::free(const_cast<char*>(text)); }
};
struct DeleteIdList {
    void operator()(std::vector<char*> const* list) const {
        for (char* id : *list) {
            std::free(id);
        }
        delete list;
    }
};
struct DeleteRecordList {
    void operator()(std::vector<AddressBook::ContactInfo*> const* list) const {
        for (auto* record : *list) {
            delete record;
        }
        delete list;
    }
};

using String = std::unique_ptr<char const, FreeString>;
using IdList = std::unique_ptr<std::vector<char*> const, DeleteIdList>;
using Record = std::unique_ptr<AddressBook::ContactInfo const>;
using RecordList = std::unique_ptr<std::vector<AddressBook::ContactInfo*> const, DeleteRecordList>;

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
