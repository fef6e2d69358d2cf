// One vCard content line, "[group.]NAME[;parameters]:value", read as
// leniently as real files need: parameter names and bare 2.1 parameters in
// any letter case, lists and repeats of TYPE, quoted parameter values.
#ifndef VESNIK_TOOLS_IMPORT_VCARDPROPERTY_H
#define VESNIK_TOOLS_IMPORT_VCARDPROPERTY_H

#include <string_view>

#include "Contact.h"

namespace vesnik::tool::import {

struct VcardProperty {
    // Without its group.
    std::string_view name;
    std::string_view value;
    bool quotedPrintable = false;
    // BASE64 or b: a photo, a sound, a key.
    bool base64 = false;
    // VALUE=uri, as a vCard 4 tel: number has.
    bool uri = false;
    std::string_view charset;
    // TYPE=pref, a bare PREF, or PREF=1..100.
    Preference preference = kNotPreferred;
};

// False when the line holds no property (it has no colon, or no name).
bool parseProperty(std::string_view line, VcardProperty& property);

}  // namespace vesnik::tool::import

#endif
