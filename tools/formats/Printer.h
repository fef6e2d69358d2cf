// What a command's answer is printed through: each output format is one
// printer, made from the table in Formats.h.
#ifndef VESNIK_TOOLS_FORMATS_PRINTER_H
#define VESNIK_TOOLS_FORMATS_PRINTER_H

#include <cstddef>

#include "vesnik.h"

namespace vesnik::tool {

class Printer {
  public:
    virtual ~Printer() = default;

    // One contact of the answer, in the answer's order. False once the
    // printer has printed all that it may (its --limit reached), so that the
    // caller asks for no more.
    virtual bool contact(vesnik_contact const& contact) = 0;

    // One value, such as an identifier or a directory, or null when it is
    // absent; only the formats that can print values are asked (see Format).
    virtual void value(char const* text) = 0;

    // Prints what waits for the end of the answer. Gives how many contacts
    // or values were printed: none means nothing matched.
    virtual std::size_t finish() = 0;
};

}  // namespace vesnik::tool

#endif
