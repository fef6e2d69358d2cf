// The formats mail clients complete addresses from: an address a line, first,
// and the name the template makes beside it (see AddressLines).
#include <stdexcept>
#include <string>
#include <string_view>

#include "AddressLines.h"
#include "Messages.h"
#include "Printers.h"

namespace vesnik::tool {

namespace {

// The second column: a mail client splits lines at runs of TABs, so an
// empty name would shift the next column into its place.
std::string_view nameOrAddress(std::string const& name, std::string_view email) {
    return name.empty() ? email : name;
}

// mutt shows the first line as its message, so the lines wait for the count.
class MuttPrinter final : public Printer {
  public:
    MuttPrinter(Output& out, PrintSettings const& settings)
        : out_(out), settings_(settings), lines_(settings_) {}

    bool contact(vesnik_contact const& contact) override {
        return lines_.take(contact, [&](std::string_view email, std::string const& name) {
            (((pending_ += email) += '\t') += nameOrAddress(name, email)) += '\t';
            pending_ += contact.contact_id != nullptr ? contact.contact_id : "";
            pending_ += '\n';
        });
    }

    void value(char const*) override { throw std::logic_error("mutt prints contacts only"); }

    std::size_t finish() override {
        std::size_t const count = lines_.taken();
        out_.put(count == 0
                     ? "vesnik: no contact matches '" + withControlsEscaped(settings_.query) + "'\n"
                     : "vesnik: " + std::to_string(count) +
                           (count == 1 ? " contact\n" : " contacts\n"));
        out_.put(pending_);
        return count;
    }

  private:
    Output& out_;
    PrintSettings settings_;
    AddressLines lines_;
    std::string pending_;
};

class AercPrinter final : public Printer {
  public:
    AercPrinter(Output& out, PrintSettings const& settings)
        : out_(out), settings_(settings), lines_(settings_) {}

    bool contact(vesnik_contact const& contact) override {
        return lines_.take(contact, [&](std::string_view email, std::string const& name) {
            out_.put(email);
            out_.put('\t');
            out_.put(nameOrAddress(name, email));
            out_.put('\n');
        });
    }

    void value(char const*) override { throw std::logic_error("aerc prints contacts only"); }

    std::size_t finish() override { return lines_.taken(); }

  private:
    Output& out_;
    PrintSettings settings_;
    AddressLines lines_;
};

}  // namespace

std::unique_ptr<Printer> makeMuttPrinter(Output& out, PrintSettings const& settings) {
    return std::make_unique<MuttPrinter>(out, settings);
}

std::unique_ptr<Printer> makeAercPrinter(Output& out, PrintSettings const& settings) {
    return std::make_unique<AercPrinter>(out, settings);
}

}  // namespace vesnik::tool
