// Owners for what the library's lookups return, each released the way the
// library's header asks: strings with free(), records with delete, lists
// with delete after their entries.
#ifndef VESNIK_TOOLS_LIBRARYRESULTS_H
#define VESNIK_TOOLS_LIBRARYRESULTS_H

#include <cstdlib>
#include <memory>
#include <vector>

#include "Vesnik_API.h"

namespace vesnik::tool {

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
    void operator()(std::vector<AddressBook::ContactInfo*> const* records) const {
        for (AddressBook::ContactInfo* record : *records) {
            delete record;
        }
        delete records;
    }
};

using LibraryString = std::unique_ptr<char const, FreeString>;
using LibraryRecord = std::unique_ptr<AddressBook::ContactInfo const>;
using LibraryIdList = std::unique_ptr<std::vector<char*> const, DeleteIdList>;
using LibraryRecordList =
    std::unique_ptr<std::vector<AddressBook::ContactInfo*> const, DeleteRecordList>;

}  // namespace vesnik::tool

#endif
