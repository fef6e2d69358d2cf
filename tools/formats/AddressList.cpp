// The address format: "Display Name <address>" lines as RFC 5322 writes a
// mailbox, UTF-8 allowed as RFC 6532 allows it, for tools that read such
// lines (fzf pipelines, Emacs, alot, himalaya). Each address once, as the
// mail clients' formats print them (see AddressLines).
#include <stdexcept>
#include <string>
#include <string_view>

#include "AddressLines.h"
#include "Printers.h"

namespace vesnik::tool {

namespace {

// Letters, digits and RFC 5322's atom characters, and spaces between them:
// a phrase that needs no quotes. Bytes past ASCII are UTF-8's letters.
bool standsBare(std::string_view name) {
    constexpr std::string_view kAtomSpecials = "!#$%&'*+-/=?^_`{|}~ ";
    for (char const c : name) {
        auto const byte = static_cast<unsigned char>(c);
        bool const letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                   (c >= '0' && c <= '9') || byte >= 0x80;
        if (!letterOrDigit && kAtomSpecials.find(c) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

void putDisplayName(Output& out, std::string_view name) {
    if (standsBare(name)) {
        out.put(name);
        return;
    }
    out.put('"');
    for (char const c : name) {
        if (c == '"' || c == '\\') {
            out.put('\\');
        }
        out.put(c);
    }
    out.put('"');
}

class AddressListPrinter final : public Printer {
  public:
    AddressListPrinter(Output& out, PrintSettings const& settings)
        : out_(out), settings_(settings), lines_(settings_) {}

    bool contact(vesnik_contact const& contact) override {
        return lines_.take(contact, [&](std::string_view email, std::string const& name) {
            if (!name.empty()) {
                putDisplayName(out_, name);
                out_.put(" <");
            }
            out_.put(email);
            out_.put(name.empty() ? "\n" : ">\n");
        });
    }

    void value(char const*) override { throw std::logic_error("address prints contacts only"); }

    std::size_t finish() override { return lines_.taken(); }

  private:
    Output& out_;
    PrintSettings settings_;
    AddressLines lines_;
};

}  // namespace

std::unique_ptr<Printer> makeAddressListPrinter(Output& out, PrintSettings const& settings) {
    return std::make_unique<AddressListPrinter>(out, settings);
}

}  // namespace vesnik::tool
