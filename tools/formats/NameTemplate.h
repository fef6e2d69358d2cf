// The name a mail client shows beside an address, made from a template such
// as "{field2} {field1}".
#ifndef VESNIK_TOOLS_NAMETEMPLATE_H
#define VESNIK_TOOLS_NAMETEMPLATE_H

#include <stdexcept>
#include <string>
#include <vector>

#include "ContactFields.h"

namespace vesnik::tool {

class NameTemplate {
  public:
    // {field1}, {field2}, {email}, {contactId} and {field5} stand for the
    // fields; other text is kept. Throws std::invalid_argument for a {...}
    // that names no field; a { without its } is text.
    explicit NameTemplate(std::string const& text);

    // An absent field is empty. Spaces and control characters at either end
    // go, and each run of them inside becomes one space: a name never holds
    // the TAB that ends it in the mail clients' formats, nor a line's end.
    std::string render(vesnik_contact const& contact) const;

  private:
    // Text, or a field when member is set.
    struct Piece {
        std::string text;
        FieldOf member = nullptr;
    };
    std::vector<Piece> pieces_;
};

}  // namespace vesnik::tool

#endif
