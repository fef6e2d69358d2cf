// A contact's five fields in file order, under the names the command shows:
// JSON keys and the fields of --name.
#ifndef VESNIK_TOOLS_CONTACTFIELDS_H
#define VESNIK_TOOLS_CONTACTFIELDS_H

#include "vesnik.h"

namespace vesnik::tool {

using FieldOf = char const* vesnik_contact::*;

struct ContactField {
    char const* name;
    FieldOf member;
};

inline constexpr ContactField kContactFields[] = {
    {"field1", &vesnik_contact::field1}, {"field2", &vesnik_contact::field2},
    {"email", &vesnik_contact::email},   {"contactId", &vesnik_contact::contact_id},
    {"field5", &vesnik_contact::field5},
};

}  // namespace vesnik::tool

#endif
