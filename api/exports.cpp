// The exported lookups: each builds an AddressBook for the length of the call
// and runs the query of the same name. They share nothing, so hosts may call
// them from any thread at once.
#include "DefaultLocation.h"
#include "Vesnik_API.h"
#include "platform/Platform.h"

char const* GetDefaultAddressBookLocation() {
    return vesnik::newLocationBuffer(vesnik::platform::libraryDirectory());
}

std::vector<char*> const* GetContacts(char const* path, char const* reserved) {
    AddressBook const book(path, reserved);
    return book.GetContacts();
}

AddressBook::ContactInfo const* GetContactInfo(char const* contactId, char const* path,
                                               char const* reserved) {
    AddressBook const book(path, reserved);
    return book.GetContactInfo(contactId);
}

std::vector<AddressBook::ContactInfo*> const* GetContactInfos(std::vector<char*> const* contactIds,
                                                              char const* path,
                                                              char const* reserved) {
    AddressBook const book(path, reserved);
    return book.GetContactInfos(contactIds);
}

std::vector<AddressBook::ContactInfo*> const* GetContactInfosFromEmail(char const* email,
                                                                       char const* path,
                                                                       char const* reserved) {
    AddressBook const book(path, reserved);
    return book.GetContactInfosFromEmail(email);
}

char const* GetContactID(char const* email, char const* path, char const* reserved) {
    AddressBook const book(path, reserved);
    return book.GetContactID(email);
}
