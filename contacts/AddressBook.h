// AddressBook: one address-book file and the queries about it, answered in
// views of the file's bytes. Each query is one scan; a keyed query splits
// only the lines whose bytes hold its key. What a caller keeps of an answer
// it must copy before its callback returns.
#ifndef VESNIK_CONTACTS_ADDRESSBOOK_H
#define VESNIK_CONTACTS_ADDRESSBOOK_H

#include <string>
#include <string_view>
#include <vector>

#include "Columns.h"
#include "FunctionRef.h"
#include "LineScan.h"

namespace vesnik {

// A matching line's columns; the callback returns false to end the scan. A
// scan that cannot open the book, or whose reading fails, leaves the reason
// where the platform keeps it (errno, or the thread's last error).
using OnMatch = FunctionRef<bool(Columns const&)>;

class AddressBook {
  public:
    explicit AddressBook(std::string path) : path_(std::move(path)) {}

    // Every non-blank line's columns, in file order.
    ScanStatus eachLine(OnMatch onLine) const;

    // A guess, from the book's size, at how many lines it holds, for a
    // caller to make room for once; capped, so that a huge book of long
    // lines does not make it take much memory in vain.
    std::size_t expectedLines() const;

    // Every non-blank line's identifier, in file order; empty when the line
    // has none.
    ScanStatus eachContactId(FunctionRef<void(std::string_view)> onId) const;

    // The lines whose identifier equals id, byte for byte.
    ScanStatus findId(std::string_view id, OnMatch onMatch) const;

    // The lines whose identifier equals one of ids (empty ones match
    // nothing), each line once.
    ScanStatus findIds(std::vector<std::string_view> const& ids, OnMatch onMatch) const;

    // The lines whose e-mail equals email, ASCII letter case ignored.
    ScanStatus findEmail(std::string_view email, OnMatch onMatch) const;

    // The lines where every word of text (split at spaces and TABs) stands
    // in field1, field2 or the e-mail, ASCII letter case ignored; each word
    // may stand in another of them. Text without words matches every line.
    ScanStatus search(std::string_view text, OnMatch onMatch) const;

  private:
    std::string path_;
};

}  // namespace vesnik

#endif
