#include "Formats.h"

#include <iterator>

#include "Printers.h"

namespace vesnik::tool {

namespace {

constexpr Format kFormats[] = {
    {"tsv", "the five fields separated by TABs, byte for byte (the default)",
     FormatUse::kEveryCommand, false, true, makeTabSeparatedPrinter},
    {"json", "a JSON object a contact, a JSON string a value", FormatUse::kEveryCommand, false,
     true, makeJsonPrinter},
    {"vcard", "vCard 3.0 cards, a record's e-mails on one card", FormatUse::kContactCommands, true,
     true, makeVcardPrinter},
    {"mutt", "for mutt's query_command: a message line, then email, name and identifier",
     FormatUse::kQueryOnly, true, false, makeMuttPrinter},
    {"aerc", "for aerc's address-book-cmd: email and name", FormatUse::kQueryOnly, true, false,
     makeAercPrinter},
    {"address", "Name <address> lines (RFC 5322) for other mail tools", FormatUse::kQueryOnly, true,
     false, makeAddressListPrinter},
};

}  // namespace

Format const* formatNamed(std::string_view name) {
    for (Format const& format : kFormats) {
        if (format.name == name) {
            return &format;
        }
    }
    return nullptr;
}

std::string formatNames(std::string_view separator) {
    std::string names;
    for (Format const& format : kFormats) {
        names += names.empty() ? "" : separator;
        names += format.name;
    }
    return names;
}

}  // namespace vesnik::tool
