// Values' bytes to UTF-8. A value whose property names a character set
// (vCard 2.1's CHARSET=) is converted from it; any other is kept when it is
// well-formed UTF-8, and otherwise converted from the --charset the user
// named, or refused for want of one.
#ifndef VESNIK_TOOLS_IMPORT_TEXTDECODER_H
#define VESNIK_TOOLS_IMPORT_TEXTDECODER_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Summary.h"
#include "platform/Platform.h"

namespace vesnik::tool::import {

class TextDecoder {
  public:
    // fallback: the --charset, or empty. Throws ImportError when the platform
    // does not know it.
    explicit TextDecoder(std::string const& fallback);

    // Throws ImportError, naming where, for bytes that are not UTF-8 without a
    // character set to read them in.
    std::string toUtf8(std::string bytes, std::string_view charset, Location where,
                       Summary& summary);

  private:
    platform::Converter* converterFor(std::string_view charset);

    std::unique_ptr<platform::Converter> fallback_;
    // The character sets values named, each opened once; null for a name
    // the platform does not know.
    std::vector<std::pair<std::string, std::unique_ptr<platform::Converter>>> named_;
};

}  // namespace vesnik::tool::import

#endif
