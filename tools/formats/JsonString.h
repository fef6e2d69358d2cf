// JSON strings made from address-book bytes, which need not be UTF-8.
#ifndef VESNIK_TOOLS_JSONSTRING_H
#define VESNIK_TOOLS_JSONSTRING_H

#include <string>
#include <string_view>

namespace vesnik::tool {

// bytes as a quoted JSON string. Well-formed UTF-8 is copied as it is; a
// quote or backslash gets a backslash; a control character, and each byte
// that is not part of well-formed UTF-8, becomes \u00XX with XX the byte's
// value in lower-case hex. No byte is dropped.
std::string jsonString(std::string_view bytes);

}  // namespace vesnik::tool

#endif
