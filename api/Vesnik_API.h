// Vesnik_API: read-only lookups in a plain-text address book.
//
// The address book has one contact per line and up to five columns separated
// by commas or TABs: field1, field2, email, contactId, field5.
//
// Every lookup reads the file anew and returns new heap objects that belong to
// the caller:
//   - a string (from GetDefaultAddressBookLocation, GetContactID, or an entry
//     of an identifier list) is released with free();
//   - an AddressBook::ContactInfo is released with delete, which frees its
//     five fields;
//   - a std::vector is released with delete, after its entries.
// Vesnik_API_owners.h has owners that do this.
// A null path selects "AddressBook.CDIR" in the library's own directory.
// The last argument of each lookup is accepted and ignored.
//
// This header needs C++11 and nothing beyond the standard library.
#ifndef VESNIK_API_H
#define VESNIK_API_H

#include <cstdlib>
#include <vector>

#if defined(_WIN32) || defined(__CYGWIN__)
#if defined(VESNIK_API_BUILDING)
#define VESNIK_API __declspec(dllexport)
#else
#define VESNIK_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define VESNIK_API __attribute__((visibility("default")))
#else
#define VESNIK_API
#endif

// The record type of the lookups lives in this scope.
class AddressBook {
  public:
    // One contact: a field is null when its line had too few columns.
    struct ContactInfo {
        char* field1 = nullptr;
        char* field2 = nullptr;
        char* email = nullptr;
        char* contactId = nullptr;
        char* field5 = nullptr;

        ContactInfo() = default;
        ContactInfo(ContactInfo const&) = delete;
        ContactInfo& operator=(ContactInfo const&) = delete;
        ~ContactInfo() {
            std::free(field1);
            std::free(field2);
            std::free(email);
            std::free(contactId);
            std::free(field5);
        }
    };
};

// The library's directory, ending in the path separator: where the default
// address book is looked for. A zero-filled buffer of at least 260 bytes.
VESNIK_API char const* GetDefaultAddressBookLocation();

// Every contact's identifier, in file order (null entries for contacts
// without one); null when the file cannot be opened or read.
VESNIK_API std::vector<char*> const* GetContacts(char const* path, char const* reserved);

// The first contact whose identifier equals contactId, byte for byte; null
// when none does, contactId is null or the file cannot be opened.
VESNIK_API AddressBook::ContactInfo const* GetContactInfo(char const* contactId, char const* path,
                                                          char const* reserved);

// Every contact whose identifier equals one of contactIds, in file order and
// each once; null when contactIds is null or the file cannot be opened or
// read.
VESNIK_API std::vector<AddressBook::ContactInfo*> const* GetContactInfos(
    std::vector<char*> const* contactIds, char const* path, char const* reserved);

// Every contact whose e-mail equals email with ASCII letter case ignored, in
// file order, each with its e-mail upper-cased. An empty list when email is
// null; null when the file cannot be opened or read.
VESNIK_API std::vector<AddressBook::ContactInfo*> const* GetContactInfosFromEmail(
    char const* email, char const* path, char const* reserved);

// The identifier of the first contact whose e-mail equals email with ASCII
// letter case ignored; null when none does, that contact has no identifier,
// email is null or the file cannot be opened.
VESNIK_API char const* GetContactID(char const* email, char const* path, char const* reserved);

#endif  // VESNIK_API_H
