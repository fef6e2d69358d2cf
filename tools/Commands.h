// The five commands, each one lookup through the library's public API with
// its answer printed.
#ifndef VESNIK_TOOLS_COMMANDS_H
#define VESNIK_TOOLS_COMMANDS_H

#include <string>
#include <utility>
#include <vector>

#include "AddressBookFile.h"
#include "RecordPrinter.h"
#include "Vesnik_API_owners.h"

namespace vesnik::tool {

// As grep's: scripts tell "not there" from "could not look".
enum class ExitStatus {
    kFound = 0,
    kNothingMatched = 1,
    kTrouble = 2,
};

class Commands {
  public:
    Commands(AddressBookFile book, RecordPrinter& printer)
        : book_(std::move(book)), printer_(printer) {}

    // The library's directory, where the default book is looked for.
    ExitStatus where();

    // Every contact's identifier, in file order.
    ExitStatus ids();

    // The record of one identifier, or of several in file order, each once.
    ExitStatus get(std::vector<std::string> const& ids);

    // Every record whose e-mail matches, letter case ignored.
    ExitStatus email(std::string const& address);

    // The identifier that belongs to an e-mail address.
    ExitStatus idOf(std::string const& address);

  private:
    // Prints each record of a list lookup's answer, null when the book could
    // not be opened.
    ExitStatus printRecords(owned::RecordList const& records);

    // For a lookup whose null answer can only mean the book did not open.
    ExitStatus unopenedBook() const;

    // For a lookup whose null answer means either that nothing matched or
    // that the book did not open: opening it here tells the two apart.
    ExitStatus nothingMatchedOrUnopenedBook() const;

    void reportOpenFailure(std::string const& reason) const;

    AddressBookFile book_;
    RecordPrinter& printer_;
};

}  // namespace vesnik::tool

#endif
