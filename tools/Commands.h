// The six commands, each one lookup through the C interface with its answer
// printed.
#ifndef VESNIK_TOOLS_COMMANDS_H
#define VESNIK_TOOLS_COMMANDS_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "Book.h"
#include "NameTemplate.h"
#include "RecordPrinter.h"

namespace vesnik::tool {

// As grep's: scripts tell "not there" from "could not look".
enum class ExitStatus {
    kFound = 0,
    kNothingMatched = 1,
    kTrouble = 2,
};

class Commands {
  public:
    // limit 0 means no limit.
    Commands(Book book, Output& out, OutputFormat format, std::size_t limit, NameTemplate name)
        : book_(std::move(book)),
          out_(out),
          format_(format),
          printer_(out, format),
          limit_(limit),
          name_(std::move(name)) {}

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
    // for mail clients, those with an e-mail, named after name.
    ExitStatus query(std::vector<std::string> const& words, NameTemplate const& name);

  private:
    ExitStatus printRecords(ContactList const& list);
    ExitStatus printForMailClient(std::string const& text, NameTemplate const& name);

    Book book_;
    Output& out_;
    OutputFormat format_;
    RecordPrinter printer_;
    std::size_t limit_;
    // vcard's FN.
    NameTemplate name_;
};

}  // namespace vesnik::tool

#endif
