#include "AddressLines.h"

namespace vesnik::tool {

bool AddressLines::isNew(std::string_view email) {
    std::string lower(email);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return printed_.insert(std::move(lower)).second;
}

}  // namespace vesnik::tool
