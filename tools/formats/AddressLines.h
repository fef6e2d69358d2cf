// What the formats for mail clients print: each address once, the first time
// it comes (ASCII letter case ignored), with the name the template makes,
// up to the limit. Contacts without an e-mail cannot be completed to, so
// they are passed over before the limit counts.
#ifndef VESNIK_TOOLS_FORMATS_ADDRESSLINES_H
#define VESNIK_TOOLS_FORMATS_ADDRESSLINES_H

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

#include "Formats.h"

namespace vesnik::tool {

class AddressLines {
  public:
    explicit AddressLines(PrintSettings const& settings) : settings_(settings) {}

    // Calls print(email, name) when contact has an address not printed yet;
    // false once the limit is reached.
    template <class Print>
    bool take(vesnik_contact const& contact, Print const& print) {
        if (contact.email != nullptr && isNew(contact.email)) {
            print(contact.email, settings_.name->render(contact));
            ++taken_;
        }
        return settings_.limit == 0 || taken_ < settings_.limit;
    }

    std::size_t taken() const { return taken_; }

  private:
    bool isNew(std::string_view email);

    PrintSettings const& settings_;
    std::size_t taken_ = 0;
    // Lower-cased: as many as the lines printed.
    std::unordered_set<std::string> printed_;
};

}  // namespace vesnik::tool

#endif
