// AddressBook: one address-book file and the five queries about it. Each
// query is one record scan. A keyed query splits only the lines whose bytes
// hold its key, and a line becomes a heap record only when it goes into the
// result.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "AsciiCase.h"
#include "ColumnScan.h"
#include "ContactIdSet.h"
#include "ContactRecord.h"
#include "DefaultLocation.h"
#include "KeyFinder.h"
#include "RecordScan.h"
#include "Vesnik_API.h"

using vesnik::Columns;
using vesnik::kContactIdColumn;
using vesnik::kEmailColumn;
using vesnik::LetterCase;
using vesnik::RecordPtr;

namespace {

using ContactInfo = AddressBook::ContactInfo;
using IdList = std::vector<char*>;
using RecordList = std::vector<ContactInfo*>;

// Owners of a result while it is built, so that nothing leaks when memory
// runs out half-way.
struct IdListDeleter {
    void operator()(IdList* list) const {
        for (char* id : *list) {
            std::free(id);
        }
        delete list;
    }
};
struct RecordListDeleter {
    void operator()(RecordList* list) const {
        for (ContactInfo* record : *list) {
            delete record;
        }
        delete list;
    }
};
using IdListPtr = std::unique_ptr<IdList, IdListDeleter>;
using RecordListPtr = std::unique_ptr<RecordList, RecordListDeleter>;

struct FreeDeleter {
    void operator()(char* text) const { std::free(text); }
};
using HeapString = std::unique_ptr<char, FreeDeleter>;

void append(RecordList& list, RecordPtr record) {
    list.push_back(record.get());
    record.release();
}

void append(IdList& list, HeapString id) {
    list.push_back(id.get());
    id.release();
}

char* copyPath(char const* path) {
    // An empty path is kept as it is: it names no file, it does not select the
    // default.
    std::string const chosen =
        path != nullptr ? std::string(path) : vesnik::defaultAddressBookPath();
    auto* copy = static_cast<char*>(std::malloc(chosen.size() + 1));
    if (copy == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(copy, chosen.c_str(), chosen.size() + 1);
    return copy;
}

// A record for the e-mail queries: its e-mail is returned upper-cased.
RecordPtr makeRecordWithUpperEmail(Columns const& columns) {
    RecordPtr record = vesnik::makeRecord(columns);
    if (record->email != nullptr) {
        vesnik::asciiUpperInPlace(record->email);
    }
    return record;
}

// An absent column is empty, and never matches.
bool isContactId(std::string_view column, std::string_view key) {
    return !column.empty() && column == key;
}

bool isEmail(std::string_view column, std::string_view upperKey) {
    return !column.empty() && vesnik::equalsAsUpper(column, upperKey);
}

}  // namespace

AddressBook::AddressBook(char const* path, char const* reserved)
    : path_(copyPath(path)), reserved_(reserved) {}

AddressBook::~AddressBook() {
    std::free(path_);
}

std::vector<char*>* AddressBook::GetContacts() const {
    IdListPtr ids(new IdList);
    bool const opened = vesnik::scanFile(path_, [&](vesnik::LineReader& reader) {
        vesnik::forEachLineWithColumn(reader, kContactIdColumn,
                                      [&](std::string_view, std::string_view id) {
                                          append(*ids, HeapString(vesnik::heapCopy(id)));
                                          return true;
                                      });
    });
    return opened ? ids.release() : nullptr;
}

AddressBook::ContactInfo* AddressBook::GetContactInfo(char const* contactId) const {
    if (contactId == nullptr) {
        return nullptr;
    }
    vesnik::KeyFinder const finder(contactId, LetterCase::kExact);
    std::string_view const key = finder.key();
    RecordPtr found;
    vesnik::scanFile(path_, [&](vesnik::LineReader& reader) {
        vesnik::forEachLineHolding(reader, finder, [&](std::string_view text) {
            if (!isContactId(vesnik::columnAt(text, kContactIdColumn), key)) {
                return true;
            }
            found = vesnik::makeRecord(vesnik::splitColumns(text));
            return false;
        });
    });
    return found.release();
}

std::vector<AddressBook::ContactInfo*>* AddressBook::GetContactInfos(
    std::vector<char*> const* contactIds) const {
    if (contactIds == nullptr) {
        return nullptr;
    }
    // A null entry matches nothing; a key given twice still matches a record
    // once.
    vesnik::ContactIdSet const keys(*contactIds);
    RecordListPtr records(new RecordList);
    bool const opened = vesnik::scanFile(path_, [&](vesnik::LineReader& reader) {
        vesnik::forEachLineHolding(reader, keys, [&](std::string_view text) {
            if (keys.contains(vesnik::columnAt(text, kContactIdColumn))) {
                append(*records, vesnik::makeRecord(vesnik::splitColumns(text)));
            }
            return true;
        });
    });
    return opened ? records.release() : nullptr;
}

std::vector<AddressBook::ContactInfo*>* AddressBook::GetContactInfosFromEmail(
    char const* email) const {
    RecordListPtr records(new RecordList);
    if (email == nullptr) {
        return records.release();
    }
    vesnik::KeyFinder const finder(email, LetterCase::kFolded);
    std::string_view const key = finder.key();
    bool const opened = vesnik::scanFile(path_, [&](vesnik::LineReader& reader) {
        vesnik::forEachLineHolding(reader, finder, [&](std::string_view text) {
            if (isEmail(vesnik::columnAt(text, kEmailColumn), key)) {
                append(*records, makeRecordWithUpperEmail(vesnik::splitColumns(text)));
            }
            return true;
        });
    });
    return opened ? records.release() : nullptr;
}

char* AddressBook::GetContactID(char const* email) const {
    if (email == nullptr) {
        return nullptr;
    }
    vesnik::KeyFinder const finder(email, LetterCase::kFolded);
    std::string_view const key = finder.key();
    HeapString id;
    vesnik::scanFile(path_, [&](vesnik::LineReader& reader) {
        vesnik::forEachLineHolding(reader, finder, [&](std::string_view text) {
            if (!isEmail(vesnik::columnAt(text, kEmailColumn), key)) {
                return true;
            }
            id.reset(vesnik::heapCopy(vesnik::columnAt(text, kContactIdColumn)));
            return false;
        });
    });
    return id.release();
}
