// The printer of each format, for the table in Formats.cpp.
#ifndef VESNIK_TOOLS_FORMATS_PRINTERS_H
#define VESNIK_TOOLS_FORMATS_PRINTERS_H

#include <memory>

#include "Formats.h"

namespace vesnik::tool {

std::unique_ptr<Printer> makeTabSeparatedPrinter(Output& out, PrintSettings const& settings);
std::unique_ptr<Printer> makeJsonPrinter(Output& out, PrintSettings const& settings);
std::unique_ptr<Printer> makeMuttPrinter(Output& out, PrintSettings const& settings);
std::unique_ptr<Printer> makeAercPrinter(Output& out, PrintSettings const& settings);
std::unique_ptr<Printer> makeVcardPrinter(Output& out, PrintSettings const& settings);
std::unique_ptr<Printer> makeAddressListPrinter(Output& out, PrintSettings const& settings);

}  // namespace vesnik::tool

#endif
