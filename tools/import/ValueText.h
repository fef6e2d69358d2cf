// A vCard value's text: quoted-printable decoded, backslash escapes undone,
// components of a structured value (N, ORG) split.
#ifndef VESNIK_TOOLS_IMPORT_VALUETEXT_H
#define VESNIK_TOOLS_IMPORT_VALUETEXT_H

#include <string>
#include <string_view>
#include <vector>

namespace vesnik::tool::import {

// "=XX" becomes its byte; an "=" before anything else stays, and one at the
// very end (a soft line break) goes.
std::string decodeQuotedPrintable(std::string_view text);

// \, \; \\ become the character, \n and \N a line break; any other
// backslash stays as it is.
std::string unescaped(std::string text);

// The parts between semicolons that no backslash escapes, still escaped.
std::vector<std::string_view> components(std::string_view text);

}  // namespace vesnik::tool::import

#endif
