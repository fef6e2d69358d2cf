// Contacts into lines of the book, one line per e-mail address, the
// preferred first:
//   field1 family name, field2 given name, email, contactId, field5.
// The format has no quoting and a run of separators counts as one, so no
// value holds a comma, TAB, line break or NUL (each becomes a space), and an
// empty name is written as one space.
#ifndef VESNIK_TOOLS_IMPORT_CONTACTWRITER_H
#define VESNIK_TOOLS_IMPORT_CONTACTWRITER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Contact.h"
#include "Output.h"
#include "Summary.h"

namespace vesnik::tool::import {

// The identifiers written so far, to name one that comes again. Kept as
// hashes, and only up to a bound, so that memory stays bounded.
class IdentifierSet {
  public:
    // False when it was there already.
    bool insert(std::string const& identifier);
    // Past the bound, later identifiers are not checked.
    bool full() const { return full_; }

  private:
    std::vector<std::uint64_t> slots_;
    std::size_t used_ = 0;
    bool full_ = false;
};

class ContactWriter : public ContactSink {
  public:
    ContactWriter(Output& out, Summary& summary) : out_(out), summary_(summary) {}

    // The source that contacts come from next, for messages.
    void setSource(std::string const& name) { source_ = &name; }

    void take(Contact& contact) override;

  private:
    // value fit for a column, each change noted.
    std::string columnText(Value const& value, char const* what);

    Output& out_;
    Summary& summary_;
    std::string const* source_ = nullptr;
    IdentifierSet uids_;
    bool uidsFullNoted_ = false;
};

// The identifier of a contact without a UID: the same for the same names,
// addresses and field5 on every import.
std::string madeIdentifier(std::string const& family, std::string const& given,
                           std::vector<std::string> const& emails, std::string const& field5);

}  // namespace vesnik::tool::import

#endif
