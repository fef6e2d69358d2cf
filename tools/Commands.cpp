#include "Commands.h"

#include <iostream>

#include "Vesnik_API.h"
#include "Vesnik_API_owners.h"

namespace vesnik::tool {

namespace {

ExitStatus foundAny(std::size_t count) {
    return count != 0 ? ExitStatus::kFound : ExitStatus::kNothingMatched;
}

}  // namespace

ExitStatus Commands::where() {
    owned::String const directory(GetDefaultAddressBookLocation());
    if (directory.get()[0] == '\0') {
        return ExitStatus::kNothingMatched;
    }
    printer_.printValue(directory.get());
    return ExitStatus::kFound;
}

ExitStatus Commands::ids() {
    owned::IdList const ids(GetContacts(book_.pathForLibrary(), nullptr));
    if (!ids) {
        return unopenedBook();
    }
    for (char const* id : *ids) {
        printer_.printValue(id);
    }
    return foundAny(ids->size());
}

ExitStatus Commands::get(std::vector<std::string> const& ids) {
    if (ids.size() == 1) {
        owned::Record const record(
            GetContactInfo(ids.front().c_str(), book_.pathForLibrary(), nullptr));
        if (!record) {
            return nothingMatchedOrUnopenedBook();
        }
        printer_.printRecord(*record);
        return ExitStatus::kFound;
    }
    // The library takes mutable strings but only reads them.
    std::vector<char*> keys;
    keys.reserve(ids.size());
    for (std::string const& id : ids) {
        keys.push_back(const_cast<char*>(id.c_str()));
    }
    return printRecords(owned::RecordList(GetContactInfos(&keys, book_.pathForLibrary(), nullptr)));
}

ExitStatus Commands::email(std::string const& address) {
    return printRecords(owned::RecordList(
        GetContactInfosFromEmail(address.c_str(), book_.pathForLibrary(), nullptr)));
}

ExitStatus Commands::idOf(std::string const& address) {
    owned::String const id(GetContactID(address.c_str(), book_.pathForLibrary(), nullptr));
    if (!id) {
        return nothingMatchedOrUnopenedBook();
    }
    printer_.printValue(id.get());
    return ExitStatus::kFound;
}

ExitStatus Commands::printRecords(owned::RecordList const& records) {
    if (!records) {
        return unopenedBook();
    }
    for (AddressBook::ContactInfo const* record : *records) {
        printer_.printRecord(*record);
    }
    return foundAny(records->size());
}

ExitStatus Commands::unopenedBook() const {
    // Only a file that vanished or changed since the library tried has no
    // reason left to give.
    reportOpenFailure(book_.openFailure().value_or("it could not be read"));
    return ExitStatus::kTrouble;
}

ExitStatus Commands::nothingMatchedOrUnopenedBook() const {
    std::optional<std::string> const failure = book_.openFailure();
    if (!failure) {
        return ExitStatus::kNothingMatched;
    }
    reportOpenFailure(*failure);
    return ExitStatus::kTrouble;
}

void Commands::reportOpenFailure(std::string const& reason) const {
    std::cerr << "vesnik: cannot open address book '" << book_.displayPath() << "': " << reason
              << '\n';
}

}  // namespace vesnik::tool
