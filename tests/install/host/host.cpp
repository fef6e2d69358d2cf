// Looks up every contact with one e-mail address, and releases what it got
// as the library's header says.
#include <Vesnik_API.h>

#include <cstdio>

int main(int argc, char** argv) {
    std::vector<AddressBook::ContactInfo*> const* found =
        argc == 3 ? GetContactInfosFromEmail(argv[2], argv[1], nullptr) : nullptr;
    if (found == nullptr) {
        std::fprintf(stderr, "usage: host BOOK EMAIL, of a book that opens\n");
        return 2;
    }
    for (AddressBook::ContactInfo* contact : *found) {
        std::printf("%s %s\n", contact->contactId ? contact->contactId : "-", contact->email);
        delete contact;
    }
    delete found;
    return 0;
}
