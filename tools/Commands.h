// The six commands, each one lookup through the C interface in each book, in
// the order given, with the answers printed in the format asked for.
#ifndef VESNIK_TOOLS_COMMANDS_H
#define VESNIK_TOOLS_COMMANDS_H

#include <cstddef>
#include <functional>
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
    // ranked: query prints the best matches first.
    Commands(std::vector<Book> books, Output& out, Format const& format, PrintSettings settings,
             bool ranked)
        : books_(std::move(books)),
          out_(out),
          format_(format),
          settings_(std::move(settings)),
          ranked_(ranked) {}

    // The C interface library's directory, where the default book is looked for.
    ExitStatus where();

    // Every contact's identifier, in file order.
    ExitStatus ids();

    // Every record with one of these identifiers, in file order, each once.
    ExitStatus get(std::vector<std::string> const& ids);

    // Every record whose e-mail matches, letter case ignored.
    ExitStatus email(std::string const& address);

    // The identifier of the first contact with an e-mail address, from the
    // first book that has one.
    ExitStatus idOf(std::string const& address);

    // Every contact where each word stands in field1, field2 or the e-mail;
    // with fold, letter case and accents ignored in every script; ranked, the
    // books' answers merged by tier, then book, then file order.
    ExitStatus query(std::vector<std::string> const& words, bool fold);

  private:
    // A book's lookup, stopping at a limit (0: none).
    using Lookup = std::function<ContactList(Book const&, std::size_t limit)>;

    std::unique_ptr<Printer> printer(std::string const& query = {}) const;
    // Calls eachBook with each book in order until it returns false; a book
    // that cannot be read is told of and passed over.
    template <class EachBook>
    void forEachBook(EachBook const& eachBook);
    // Prints what lookup finds in book; false once the printer is full.
    bool printFrom(Book const& book, Lookup const& lookup, Printer& out);
    ExitStatus print(Lookup const& lookup, std::string const& query = {});
    ExitStatus printValue(char const* value);
    ExitStatus outcome(std::size_t printed) const;

    // A book's ranked answer to the limit it was asked with.
    struct RankedAnswer {
        Book const* book;
        std::size_t asked;
        ContactList list;
    };
    enum class Walk { kPrinterFull, kEverything, kUnsure };
    // Hands take the answers' contacts merged, until it returns false; a
    // book whose answer was cut short at the limit cannot say what follows.
    template <class Take>
    static Walk walkRanked(std::vector<RankedAnswer> const& answers, Take const& take);
    ExitStatus printRanked(std::string const& text, bool fold);

    std::vector<Book> books_;
    Output& out_;
    Format const& format_;
    PrintSettings settings_;
    // Contacts handed to the printer so far, across books.
    std::size_t handed_ = 0;
    bool ranked_;
    bool troubled_ = false;
};

}  // namespace vesnik::tool

#endif
