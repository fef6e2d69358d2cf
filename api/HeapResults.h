// The engine's answers turned into what the lookups hand their callers: heap
// strings, records and lists, held by owners while they are built so that
// nothing leaks when memory runs out half-way.
#ifndef VESNIK_API_HEAPRESULTS_H
#define VESNIK_API_HEAPRESULTS_H

#include <memory>
#include <string_view>
#include <vector>

#include "Columns.h"
#include "Vesnik_API.h"
#include "Vesnik_API_owners.h"

namespace vesnik::api {

using ContactInfo = ::AddressBook::ContactInfo;
using NewString = std::unique_ptr<char, owned::FreeString>;
using NewRecord = std::unique_ptr<ContactInfo>;
using NewIdList = std::unique_ptr<std::vector<char*>, owned::DeleteIdList>;
using NewRecordList = std::unique_ptr<std::vector<ContactInfo*>, owned::DeleteRecordList>;

// A NUL-terminated malloc copy of text; null for an empty (absent) column.
// Throws std::bad_alloc when memory runs out.
NewString heapCopy(std::string_view text);

// A new record holding a heap copy of each present column.
NewRecord newRecord(Columns const& columns);

// Moves an owned entry into a list, which then owns it.
template <class List, class Entry>
void append(List& list, Entry entry) {
    list->push_back(entry.get());
    entry.release();
}

// A zero-filled calloc buffer holding text at its start: 260 bytes, the size
// hosts of the original platform expect, or more when text needs them.
char* newLocationBuffer(std::string_view text);

}  // namespace vesnik::api

#endif
