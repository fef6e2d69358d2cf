// The command's output formats, one table: a format's name, what it is for
// and the printer that writes it. A new format is one entry and its printer.
#ifndef VESNIK_TOOLS_FORMATS_FORMATS_H
#define VESNIK_TOOLS_FORMATS_FORMATS_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "NameTemplate.h"
#include "Output.h"
#include "Printer.h"

namespace vesnik::tool {

// What every printer may need besides its output.
struct PrintSettings {
    // The most contacts to print; 0: no limit.
    std::size_t limit = 0;
    // The name beside each address, for the formats that print one.
    NameTemplate const* name = nullptr;
    // The words searched for, as the user gave them, for a format that
    // repeats them.
    std::string query;
};

// Which commands a format serves.
enum class FormatUse {
    kEveryCommand,     // contacts, and the values of ids, id-of and where
    kContactCommands,  // the contacts of query, get and email
    kQueryOnly,        // mail clients' completion: the contacts of query
};

struct Format {
    std::string_view name;
    char const* description;
    FormatUse use;
    // Whether --name makes the name it prints beside an address.
    bool usesName;
    // Whether it prints every contact of the answer, so that the lookup
    // itself can stop at the limit; otherwise the printer counts.
    bool printsEveryContact;
    std::unique_ptr<Printer> (*make)(Output& out, PrintSettings const& settings);
};

// The format of that name, or null.
Format const* formatNamed(std::string_view name);

// Every format's name, separated by separator, in the table's order.
std::string formatNames(std::string_view separator);

}  // namespace vesnik::tool

#endif
