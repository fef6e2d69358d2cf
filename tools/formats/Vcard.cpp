// --format vcard: the answer as cards another program can import.
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

#include "Printers.h"
#include "import/Text.h"

namespace vesnik::tool {

namespace {

constexpr std::size_t kFoldAt = 75;

std::string_view orEmpty(char const* value) {
    return value != nullptr ? value : "";
}

// A name of spaces only (an importer's placeholder) is no name.
std::string_view nameOf(char const* value) {
    std::string_view const name = orEmpty(value);
    return import::trimmed(name).empty() ? std::string_view() : name;
}

// Whether a field5 is a telephone number: digits, spaces and + - ( ) . /,
// with at least three digits. Anything else is an organisation.
bool looksLikePhoneNumber(std::string_view text) {
    std::size_t digits = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (std::string_view(" +-().//").find(c) == std::string_view::npos) {
            return false;
        }
    }
    return digits >= 3;
}

// Records as vCard 3.0 cards, the version importers read best. Consecutive
// records with the same identifier, names and field5 form one card, each
// record's e-mail an EMAIL (the first preferred); a record without an
// identifier is a card of its own, without UID.
class VcardPrinter final : public Printer {
  public:
    VcardPrinter(Output& out, PrintSettings const& settings) : out_(out), settings_(settings) {}

    bool contact(vesnik_contact const& record) override;
    void value(char const*) override { throw std::logic_error("vcard prints contacts only"); }
    // Ends the last card, and says on standard error how many bytes that
    // were not well-formed UTF-8 became U+FFFD.
    std::size_t finish() override;

  private:
    void endCard();
    // One content line: UTF-8, CR LF, folded at 75 octets between sequences.
    void contentLine(std::string_view nameAndParameters, std::string const& value);
    // value as UTF-8 with , ; \ and line breaks escaped.
    std::string escaped(char const* value);

    Output& out_;
    PrintSettings settings_;
    bool open_ = false;
    // What the open card's further records must share with it.
    std::string key_;
    std::size_t printed_ = 0;
    std::size_t replaced_ = 0;
};

}  // namespace

std::string VcardPrinter::escaped(char const* value) {
    std::string_view text = orEmpty(value);
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        std::size_t const length = import::utf8SequenceLength(text);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++replaced_;
            text.remove_prefix(1);
            continue;
        }
        char const c = text.front();
        if (c == ',' || c == ';' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n' || c == '\r') {
            out += "\\n";
        } else {
            out.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return out;
}

void VcardPrinter::contentLine(std::string_view nameAndParameters, std::string const& value) {
    std::string const line = std::string(nameAndParameters) + ":" + value;
    std::string_view rest = line;
    std::size_t room = kFoldAt;
    while (!rest.empty()) {
        std::size_t length = 0;
        while (length < rest.size()) {
            std::size_t const next =
                std::max<std::size_t>(1, import::utf8SequenceLength(rest.substr(length)));
            if (length + next > room) {
                break;
            }
            length += next;
        }
        out_.put(rest.substr(0, length));
        out_.put("\r\n");
        rest.remove_prefix(length);
        if (!rest.empty()) {
            out_.put(' ');
            room = kFoldAt - 1;
        }
    }
}

bool VcardPrinter::contact(vesnik_contact const& record) {
    ++printed_;
    std::string const key =
        record.contact_id == nullptr
            ? std::string()
            : std::string(record.contact_id) + '\0' + std::string(nameOf(record.field1)) + '\0' +
                  std::string(nameOf(record.field2)) + '\0' + std::string(orEmpty(record.field5));
    bool const sameCard = open_ && !key.empty() && key == key_;
    if (!sameCard) {
        endCard();
        open_ = true;
        key_ = key;
        out_.put("BEGIN:VCARD\r\nVERSION:3.0\r\n");
        contentLine("N", escaped(std::string(nameOf(record.field1)).c_str()) + ";" +
                             escaped(std::string(nameOf(record.field2)).c_str()) + ";;;");
        std::string fullName = settings_.name->render(record);
        if (fullName.empty()) {
            fullName = orEmpty(record.email);
        }
        contentLine("FN", escaped(fullName.c_str()));
        if (record.contact_id != nullptr) {
            contentLine("UID", escaped(record.contact_id));
        }
        std::string_view const field5 = orEmpty(record.field5);
        if (!field5.empty()) {
            contentLine(looksLikePhoneNumber(field5) ? "TEL" : "ORG", escaped(record.field5));
        }
    }
    if (record.email != nullptr) {
        contentLine(sameCard ? "EMAIL;TYPE=INTERNET" : "EMAIL;TYPE=INTERNET,pref",
                    escaped(record.email));
    }
    return settings_.limit == 0 || printed_ < settings_.limit;
}

void VcardPrinter::endCard() {
    if (open_) {
        out_.put("END:VCARD\r\n");
        open_ = false;
    }
}

std::size_t VcardPrinter::finish() {
    endCard();
    if (replaced_ != 0) {
        std::string const message = "vesnik: " + std::to_string(replaced_) +
                                    (replaced_ == 1 ? " byte" : " bytes") +
                                    " not well-formed UTF-8 written as U+FFFD\n";
        std::fputs(message.c_str(), stderr);
    }
    return printed_;
}

std::unique_ptr<Printer> makeVcardPrinter(Output& out, PrintSettings const& settings) {
    return std::make_unique<VcardPrinter>(out, settings);
}

}  // namespace vesnik::tool
