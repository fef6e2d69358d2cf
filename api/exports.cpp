// The exported lookups: each turns its arguments into one query of the
// engine about the book the host names, and hands over what it found as new
// heap objects. They share nothing, so hosts may call them from any thread at
// once.
#include <string>
#include <string_view>
#include <vector>

#include "AsciiCase.h"
#include "BookFile.h"
#include "HeapResults.h"
#include "LibraryLocation.h"
#include "Vesnik_API.h"

using vesnik::Match;
using vesnik::Query;
using vesnik::QueryKind;
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

// Runs query over the book at path, or the default book when path is null.
template <class... OnOpened>
vesnik::ScanOutcome run(char const* path, Query const& query, vesnik::OnMatch onMatch,
                        OnOpened&&... onOpened) {
    return vesnik::runQueryOnFile(vesnik::bookPath(path, kLibraryFileName).c_str(), query, onMatch,
                                  onOpened...);
}

// What make gives for the query's first match, or null.
template <class Make>
auto first(char const* path, Query query, Make const& make) {
    decltype(make(vesnik::Columns{})) found;
    query.limit = 1;
    run(path, query, [&](Match const& match) {
        found = make(match.columns);
        return true;
    });
    return found.release();
}

// Every match's record in file order; null unless the whole book was read.
template <class Adjust>
std::vector<ContactInfo*>* everyRecord(char const* path, Query const& query, Adjust const& adjust) {
    NewRecordList records(new std::vector<ContactInfo*>);
    bool const done = run(path, query, [&](Match const& match) {
                          NewRecord record = newRecord(match.columns);
                          adjust(*record);
                          append(records, std::move(record));
                          return true;
                      }).done();
    return done ? records.release() : nullptr;
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
    auto const makeRoom = [&](std::uint64_t bookSize) {
        ids->reserve(vesnik::expectedLines(bookSize));
    };
    bool const done = run(
                          path, Query::of(QueryKind::kEveryContactId),
                          [&](Match const& match) {
                              append(ids, heapCopy(match.columns[vesnik::kContactIdColumn]));
                              return true;
                          },
                          vesnik::FunctionRef<void(std::uint64_t)>(makeRoom))
                          .done();
    return done ? ids.release() : nullptr;
}

AddressBook::ContactInfo const* GetContactInfo(char const* contactId, char const* path,
                                               char const*) {
    if (contactId == nullptr) {
        return nullptr;
    }
    return first(path, Query::of(QueryKind::kContactIds, {contactId}), newRecord);
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
    return everyRecord(path, Query::of(QueryKind::kContactIds, std::move(ids)), asIs);
}

std::vector<AddressBook::ContactInfo*> const* GetContactInfosFromEmail(char const* email,
                                                                       char const* path,
                                                                       char const*) {
    if (email == nullptr) {
        return new std::vector<ContactInfo*>;
    }
    return everyRecord(path, Query::of(QueryKind::kEmail, {email}), upperCaseEmail);
}

char const* GetContactID(char const* email, char const* path, char const*) {
    if (email == nullptr) {
        return nullptr;
    }
    return first(path, Query::of(QueryKind::kEmail, {email}), [](vesnik::Columns const& columns) {
        return heapCopy(columns[vesnik::kContactIdColumn]);
    });
}
