// What an import did, for standard error: how much it read and wrote, what it
// left out and why, each value it changed (the first few, then a count), and
// the properties it does not import, counted by name.
#ifndef VESNIK_TOOLS_IMPORT_SUMMARY_H
#define VESNIK_TOOLS_IMPORT_SUMMARY_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vesnik::tool::import {

// A place in a source, for messages: "contacts.vcf:14".
struct Location {
    std::string const* source;
    std::uint64_t line;
    std::string text() const;
};

// Messages of one kind: the first few kept, the rest counted.
class MessageList {
  public:
    void add(std::string message);
    // Each kept message a line, then "and N more ..." when some were not.
    std::string text(char const* whatMore) const;
    std::size_t size() const { return count_; }

  private:
    std::vector<std::string> kept_;
    std::size_t count_ = 0;
};

class Summary {
  public:
    std::uint64_t files = 0;
    std::uint64_t cards = 0;
    std::uint64_t rows = 0;
    std::uint64_t lines = 0;
    std::uint64_t withoutEmail = 0;
    // Bytes or sequences not valid in their character set, now U+FFFD.
    std::uint64_t replaced = 0;

    // A value written otherwise than the source has it.
    void changed(Location where, std::string const& what);
    // Anything else worth a word: a card cut short, a UID on two cards.
    void noted(Location where, std::string const& what);
    // A file inside a folder that was not imported, and why, said whole.
    void skipped(std::string const& why);
    void notImported(std::string_view property);

    // Lines for standard error; destination names where the book went.
    std::string report(std::string const& destination) const;

  private:
    MessageList notes_;
    MessageList changes_;
    MessageList skips_;
    std::map<std::string, std::uint64_t, std::less<>> notImported_;
    std::uint64_t otherNotImported_ = 0;
};

}  // namespace vesnik::tool::import

#endif
