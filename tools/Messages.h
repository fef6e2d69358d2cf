// What the command tells the user on standard error, and user text made safe
// to repeat there or in a line a mail client reads: each stays one line.
#ifndef VESNIK_TOOLS_MESSAGES_H
#define VESNIK_TOOLS_MESSAGES_H

#include <string>
#include <string_view>

namespace vesnik::tool {

// text with each control character written as an escape (\n, \t, \r, else
// \xHH), so that a newline in a query or a path cannot start a line.
std::string withControlsEscaped(std::string_view text);

// Writes "vesnik: message" as one line on standard error.
void complain(std::string_view message);

// Says memory ran out, allocating nothing.
void complainOutOfMemory();

}  // namespace vesnik::tool

#endif
