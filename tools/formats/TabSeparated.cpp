// The default format: a contact's five fields separated by TABs, as the book
// holds them byte for byte, an absent field empty; a value on a line of its
// own.
#include "ContactFields.h"
#include "Printers.h"

namespace vesnik::tool {

namespace {

class TabSeparatedPrinter final : public Printer {
  public:
    explicit TabSeparatedPrinter(Output& out) : out_(out) {}

    bool contact(vesnik_contact const& contact) override {
        char const* separator = "";
        for (ContactField const& field : kContactFields) {
            char const* const value = contact.*field.member;
            out_.put(separator);
            out_.put(value != nullptr ? value : "");
            separator = "\t";
        }
        out_.put('\n');
        ++printed_;
        return true;
    }

    void value(char const* text) override {
        if (text != nullptr) {
            out_.put(text);
        }
        out_.put('\n');
        ++printed_;
    }

    std::size_t finish() override { return printed_; }

  private:
    Output& out_;
    std::size_t printed_ = 0;
};

}  // namespace

std::unique_ptr<Printer> makeTabSeparatedPrinter(Output& out, PrintSettings const&) {
    return std::make_unique<TabSeparatedPrinter>(out);
}

}  // namespace vesnik::tool
