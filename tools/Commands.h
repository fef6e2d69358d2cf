// The six commands, each one lookup through the C interface with its answer
// printed in the format asked for.
#ifndef VESNIK_TOOLS_COMMANDS_H
#define VESNIK_TOOLS_COMMANDS_H

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Book.h"
#include "formats/Formats.h"

namespace vesnik::tool {

// As grep's: scripts tell "not there" from "could not look".
enum class ExitStatus {
    kFound = 0,
    kNothingMatched = 1,
    kTrouble = 2,
};

class Commands {
  public:
    // settings.limit 0 means no limit.
    Commands(Book book, Output& out, Format const& format, PrintSettings settings)
        : book_(std::move(book)), out_(out), format_(format), settings_(std::move(settings)) {}

    // The C interface library's directory, where the default book is looked for.
    ExitStatus where();

    // Every contact's identifier, in file order.
    ExitStatus ids();

    // Every record with one of these identifiers, in file order, each once.
    ExitStatus get(std::vector<std::string> const& ids);

    // Every record whose e-mail matches, letter case ignored.
    ExitStatus email(std::string const& address);

    // The identifier of the first contact with an e-mail address.
    ExitStatus idOf(std::string const& address);

    // Every contact where each word stands in field1, field2 or the e-mail;
    // with fold, letter case and accents ignored in every script.
    ExitStatus query(std::vector<std::string> const& words, bool fold);

  private:
    std::unique_ptr<Printer> printer(std::string const& query = {}) const;
    // The limit the lookup itself may stop at: the format's printer counts
    // otherwise.
    std::size_t lookupLimit() const;
    ExitStatus print(ContactList const& list, std::string const& query = {});
    ExitStatus printValue(char const* value);

    Book book_;
    Output& out_;
    Format const& format_;
    PrintSettings settings_;
};

}  // namespace vesnik::tool

#endif
