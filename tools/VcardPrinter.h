// --format vcard: records as vCard 3.0 cards, the version importers read
// best. Consecutive records with the same identifier, names and field5 form
// one card, each record's e-mail an EMAIL (the first preferred); a record
// without an identifier is a card of its own, without UID.
#ifndef VESNIK_TOOLS_VCARDPRINTER_H
#define VESNIK_TOOLS_VCARDPRINTER_H

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "NameTemplate.h"
#include "Output.h"
#include "vesnik.h"

namespace vesnik::tool {

class VcardPrinter {
  public:
    // name makes FN.
    VcardPrinter(Output& out, NameTemplate name) : out_(out), name_(std::move(name)) {}

    void printRecord(vesnik_contact const& record);

    // Ends the last card, and says on standard error how many bytes that were
    // not well-formed UTF-8 became U+FFFD.
    void finish();

  private:
    void endCard();
    // One content line: UTF-8, CR LF, folded at 75 octets between sequences.
    void contentLine(std::string_view nameAndParameters, std::string const& value);
    // value as UTF-8 with , ; \ and line breaks escaped.
    std::string escaped(char const* value);

    Output& out_;
    NameTemplate name_;
    bool open_ = false;
    // What the open card's further records must share with it.
    std::string key_;
    std::size_t replaced_ = 0;
};

// Whether a field5 is a telephone number: digits, spaces and + - ( ) . /,
// with at least three digits. Anything else is an organisation.
bool looksLikePhoneNumber(std::string_view text);

}  // namespace vesnik::tool

#endif
