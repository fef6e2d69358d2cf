// What the commands print: contact records and single values, one a line,
// as TAB-separated text or as JSON.
#ifndef VESNIK_TOOLS_RECORDPRINTER_H
#define VESNIK_TOOLS_RECORDPRINTER_H

#include "Output.h"
#include "vesnik.h"

namespace vesnik::tool {

enum class OutputFormat {
    // Fields as the file holds them, byte for byte, an absent one empty.
    kTabSeparated,
    // One JSON value a line: an object per record, a string or null per value.
    kJson,
    // For mail clients' address completion (query only): a line of text, then
    // "email<TAB>name<TAB>contactId" a contact.
    kMutt,
    // "email<TAB>name" a contact, nothing else.
    kAerc,
    // vCard 3.0 cards (VcardPrinter).
    kVcard,
};

class RecordPrinter {
  public:
    RecordPrinter(Output& out, OutputFormat format) : out_(out), format_(format) {}

    // A record's five fields, in file order.
    void printRecord(vesnik_contact const& record);

    // One value, such as an identifier or a directory; null when it is absent.
    void printValue(char const* value);

  private:
    void printTabSeparated(vesnik_contact const& record);
    void printJsonObject(vesnik_contact const& record);
    void printJsonValue(char const* value);

    Output& out_;
    OutputFormat format_;
};

}  // namespace vesnik::tool

#endif
