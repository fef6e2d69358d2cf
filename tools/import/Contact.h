// One card or CSV row as read, before it becomes lines of the book: values
// decoded to UTF-8, each with the line it came from.
#ifndef VESNIK_TOOLS_IMPORT_CONTACT_H
#define VESNIK_TOOLS_IMPORT_CONTACT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vesnik::tool::import {

// How strongly a value is preferred: lower first.
using Preference = int;
inline constexpr Preference kMostPreferred = 1;
inline constexpr Preference kNotPreferred = 101;

struct Value {
    std::string text;
    std::uint64_t line = 0;
    Preference preference = kNotPreferred;
};

struct Contact {
    // Where it starts.
    std::uint64_t line = 0;
    Value family;
    Value given;
    // A whole name, for when family and given are both empty.
    Value fullName;
    std::vector<Value> emails;
    // The most preferred telephone number, first of equals.
    Value phone;
    Value organisation;
    Value uid;
    // Addresses past the limit of one card.
    std::size_t emailsLeftOut = 0;
};

// A card keeps at most this many addresses.
inline constexpr std::size_t kMostEmails = 1000;
// Longer values are cut.
inline constexpr std::size_t kLongestValue = 64 * 1024;

// Takes contacts as they are read.
class ContactSink {
  public:
    virtual ~ContactSink() = default;
    virtual void take(Contact& contact) = 0;
};

}  // namespace vesnik::tool::import

#endif
