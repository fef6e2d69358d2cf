// The address book the commands read, and its lookups through the C
// interface. A book that cannot be opened or read, or memory running out,
// ends the command: the lookups throw rather than answer.
#ifndef VESNIK_TOOLS_BOOK_H
#define VESNIK_TOOLS_BOOK_H

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "vesnik.h"

namespace vesnik::tool {

// The book cannot be opened or read; the message names it and the reason.
class BookError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct ListFree {
    void operator()(vesnik_list* list) const { vesnik_list_free(list); }
};
using ContactList = std::unique_ptr<vesnik_list, ListFree>;

class Book {
  public:
    // Each --book, in order, when given; else the books VESNIK_BOOK lists,
    // separated as in PATH, empty ones skipped; else the library's default
    // book.
    static std::vector<Book> choose(std::vector<std::string> options);

    // The path to show the user: for the default book, where the library
    // looks for it.
    std::string displayPath() const;

    // limit 0 means no limit.
    ContactList all() const;
    ContactList findIds(std::vector<std::string> const& ids, std::size_t limit) const;
    ContactList findEmail(std::string const& email, std::size_t limit) const;
    // With fold, letter case and accents are ignored in every script;
    // ranked, the best matches first (see vesnik_list_tier).
    ContactList search(std::string const& text, std::size_t limit, bool fold,
                       bool ranked = false) const;

  private:
    explicit Book(std::optional<std::string> path) : path_(std::move(path)) {}

    // Null selects the library's default book.
    char const* path() const { return path_ ? path_->c_str() : nullptr; }

    ContactList checked(int status, vesnik_list* list) const;

    std::optional<std::string> path_;
};

// The directory of the C interface's library, where it looks for the default
// book, ending in its separator; empty when the library cannot tell.
std::string libraryDirectory();

}  // namespace vesnik::tool

#endif
