// What the commands print: contact records and single values, one a line,
// as TAB-separated text or as JSON.
#ifndef VESNIK_TOOLS_RECORDPRINTER_H
#define VESNIK_TOOLS_RECORDPRINTER_H

#include <ostream>

#include "Vesnik_API.h"

namespace vesnik::tool {

enum class OutputFormat {
    // Fields as the file holds them, byte for byte, an absent one empty.
    kTabSeparated,
    // One JSON value a line: an object per record, a string or null per value.
    kJson,
};

class RecordPrinter {
  public:
    RecordPrinter(std::ostream& out, OutputFormat format) : out_(out), format_(format) {}

    // A record's five fields, in file order.
    void printRecord(AddressBook::ContactInfo const& record);

    // One value, such as an identifier or a directory; null when it is absent.
    void printValue(char const* value);

  private:
    void printTabSeparated(AddressBook::ContactInfo const& record);
    void printJsonObject(AddressBook::ContactInfo const& record);

    std::ostream& out_;
    OutputFormat format_;
};

}  // namespace vesnik::tool

#endif
