// The formats mail clients complete addresses from: a contact a line, its
// e-mail first and the name the template makes beside it. Contacts without
// an e-mail cannot be completed to, so they are left out before the limit
// counts.
#include <stdexcept>
#include <string>
#include <vector>

#include "Printers.h"

namespace vesnik::tool {

namespace {

// The lines of the contacts that can be printed, up to the limit.
class AddressLines {
  public:
    explicit AddressLines(PrintSettings const& settings) : settings_(settings) {}

    // False once the limit is reached; a contact without an e-mail is
    // passed over.
    template <class Print>
    bool take(vesnik_contact const& contact, Print const& print) {
        if (contact.email != nullptr) {
            print(contact.email, settings_.name->render(contact));
            ++taken_;
        }
        return settings_.limit == 0 || taken_ < settings_.limit;
    }

    std::size_t taken() const { return taken_; }

  private:
    PrintSettings const& settings_;
    std::size_t taken_ = 0;
};

// mutt shows the first line as its message, so the lines wait for the count.
class MuttPrinter final : public Printer {
  public:
    MuttPrinter(Output& out, PrintSettings const& settings)
        : out_(out), settings_(settings), lines_(settings_) {}

    bool contact(vesnik_contact const& contact) override {
        return lines_.take(contact, [&](char const* email, std::string const& name) {
            (((pending_ += email) += '\t') += name) += '\t';
            pending_ += contact.contact_id != nullptr ? contact.contact_id : "";
            pending_ += '\n';
        });
    }

    void value(char const*) override { throw std::logic_error("mutt prints contacts only"); }

    std::size_t finish() override {
        std::size_t const count = lines_.taken();
        out_.put(count == 0 ? "vesnik: no contact matches '" + settings_.query + "'\n"
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
        return lines_.take(contact, [&](char const* email, std::string const& name) {
            out_.put(email);
            out_.put('\t');
            out_.put(name);
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
