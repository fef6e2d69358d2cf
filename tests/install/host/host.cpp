// Looks up every contact with one e-mail address, and releases what it got
// as the library's header says.
#include <Vesnik_API.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host BOOK EMAIL\n");
        return 2;
    }
    std::vector<AddressBook::ContactInfo*> const* found =
        GetContactInfosFromEmail(argv[2], argv[1], nullptr);
    if (found == nullptr) {
        return 2;
    }
    for (AddressBook::ContactInfo* contact : *found) {
        std::printf("%s %s\n", contact->contactId ? contact->contactId : "-", contact->email);
        delete contact;
    }
    bool const any = !found->empty();
    delete found;
    return any ? 0 : 1;
}
