// Owners for what the Vesnik_API lookups return, each releasing its object
// the way Vesnik_API.h asks: strings with free(), records with delete, lists
// with delete after their entries.
//
//   vesnik::owned::IdList const ids(GetContacts(path, nullptr));
//
// This header needs C++11 and nothing beyond the standard library.
#ifndef VESNIK_API_OWNERS_H
#define VESNIK_API_OWNERS_H

#include <cstdlib>
#include <memory>
#include <vector>

#include "Vesnik_API.h"

namespace vesnik {
namespace owned {

struct FreeString {
    // The library hands strings out as const but allocates them with malloc.
    void operator()(char const* text) const { std::free(const_cast<char*>(text)); }
};

struct DeleteIdList {
    void operator()(std::vector<char*> const* ids) const {
        for (char* id : *ids) {
            std::free(id);
        }
        delete ids;
    }
};

struct DeleteRecordList {
    void operator()(std::vector<::AddressBook::ContactInfo*> const* records) const {
        for (::AddressBook::ContactInfo* record : *records) {
            delete record;
        }
        delete records;
    }
};

typedef std::unique_ptr<char const, FreeString> String;
typedef std::unique_ptr<::AddressBook::ContactInfo const> Record;
typedef std::unique_ptr<std::vector<char*> const, DeleteIdList> IdList;
typedef std::unique_ptr<std::vector<::AddressBook::ContactInfo*> const, DeleteRecordList>
    RecordList;

}  // namespace owned
}  // namespace vesnik

#endif  // VESNIK_API_OWNERS_H
