// The exported lookups: each asks the engine one query about the book the
// host names and hands over what it found as new heap objects. They share
// nothing, so hosts may call them from any thread at once.
#include <string>
#include <string_view>
#include <vector>

#include "AddressBook.h"
#include "AsciiCase.h"
#include "HeapResults.h"
#include "LibraryLocation.h"
#include "Vesnik_API.h"

using vesnik::ScanStatus;
using vesnik::api::append;
using vesnik::api::ContactInfo;
using vesnik::api::heapCopy;
using vesnik::api::NewIdList;
using vesnik::api::NewRecord;
using vesnik::api::newRecord;
using vesnik::api::NewRecordList;

namespace {

// Hosts find the default book beside the DLL they load by this name.
constexpr char kLibraryFileName[] = "Vesnik_API.dll";

// The book a lookup reads. An empty path is kept as it is: it names no file,
// it does not select the default.
vesnik::AddressBook bookAt(char const* path) {
    return vesnik::AddressBook(path != nullptr ? std::string(path)
                                               : vesnik::defaultBookPath(kLibraryFileName));
}

// What make gives for the first match, or null.
template <class Find, class Make>
auto first(Find const& find, Make const& make) {
    decltype(make(vesnik::Columns{})) found;
    find([&](vesnik::Columns const& columns) {
        found = make(columns);
        return false;
    });
    return found.release();
}

// Every matching record in file order; null unless the whole book was read.
template <class Find, class Adjust>
std::vector<ContactInfo*>* everyRecord(Find const& find, Adjust const& adjust) {
    NewRecordList records(new std::vector<ContactInfo*>);
    ScanStatus const status = find([&](vesnik::Columns const& columns) {
        NewRecord record = newRecord(columns);
        adjust(*record);
        append(records, std::move(record));
        return true;
    });
    return status == ScanStatus::kDone ? records.release() : nullptr;
}

void asIs(ContactInfo&) {}

// The e-mail lookups hand out e-mails upper-cased.
void upperCaseEmail(ContactInfo& record) {
    if (record.email != nullptr) {
        vesnik::asciiUpperInPlace(record.email);
    }
}

}  // namespace

char const* GetDefaultAddressBookLocation() {
    return vesnik::api::newLocationBuffer(vesnik::libraryDirectory(kLibraryFileName));
}

std::vector<char*> const* GetContacts(char const* path, char const*) {
    NewIdList ids(new std::vector<char*>);
    auto const book = bookAt(path);
    ids->reserve(book.expectedLines());
    ScanStatus const status =
        book.eachContactId([&](std::string_view id) { append(ids, heapCopy(id)); });
    return status == ScanStatus::kDone ? ids.release() : nullptr;
}

AddressBook::ContactInfo const* GetContactInfo(char const* contactId, char const* path,
                                               char const*) {
    if (contactId == nullptr) {
        return nullptr;
    }
    auto const book = bookAt(path);
    return first([&](vesnik::OnMatch onMatch) { return book.findId(contactId, onMatch); },
                 newRecord);
}

std::vector<AddressBook::ContactInfo*> const* GetContactInfos(std::vector<char*> const* contactIds,
                                                              char const* path, char const*) {
    if (contactIds == nullptr) {
        return nullptr;
    }
    // A null entry matches nothing.
    std::vector<std::string_view> ids;
    ids.reserve(contactIds->size());
    for (char const* id : *contactIds) {
        if (id != nullptr) {
            ids.emplace_back(id);
        }
    }
    auto const book = bookAt(path);
    return everyRecord([&](vesnik::OnMatch onMatch) { return book.findIds(ids, onMatch); }, asIs);
}

std::vector<AddressBook::ContactInfo*> const* GetContactInfosFromEmail(char const* email,
                                                                       char const* path,
                                                                       char const*) {
    if (email == nullptr) {
        return new std::vector<ContactInfo*>;
    }
    auto const book = bookAt(path);
    return everyRecord([&](vesnik::OnMatch onMatch) { return book.findEmail(email, onMatch); },
                       upperCaseEmail);
}

char const* GetContactID(char const* email, char const* path, char const*) {
    if (email == nullptr) {
        return nullptr;
    }
    auto const book = bookAt(path);
    return first(
        [&](vesnik::OnMatch onMatch) { return book.findEmail(email, onMatch); },
        [](vesnik::Columns const& columns) { return heapCopy(columns[vesnik::kContactIdColumn]); });
}
