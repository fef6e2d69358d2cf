// One JSON value a line: an object a contact, its keys in file order and an
// absent field null; a string, or null, a value.
#include "ContactFields.h"
#include "JsonString.h"
#include "Printers.h"

namespace vesnik::tool {

namespace {

class JsonPrinter final : public Printer {
  public:
    explicit JsonPrinter(Output& out) : out_(out) {}

    bool contact(vesnik_contact const& contact) override {
        char separator = '{';
        for (ContactField const& field : kContactFields) {
            out_.put(separator);
            out_.put(jsonString(field.name));
            out_.put(':');
            putValue(contact.*field.member);
            separator = ',';
        }
        out_.put("}\n");
        ++printed_;
        return true;
    }

    void value(char const* text) override {
        putValue(text);
        out_.put('\n');
        ++printed_;
    }

    std::size_t finish() override { return printed_; }

  private:
    void putValue(char const* text) { out_.put(text != nullptr ? jsonString(text) : "null"); }

    Output& out_;
    std::size_t printed_ = 0;
};

}  // namespace

std::unique_ptr<Printer> makeJsonPrinter(Output& out, PrintSettings const&) {
    return std::make_unique<JsonPrinter>(out);
}

}  // namespace vesnik::tool
