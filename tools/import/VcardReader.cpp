#include "VcardReader.h"

#include <utility>

#include "Text.h"
#include "ValueText.h"

namespace vesnik::tool::import {

namespace {

// A line holds a longest value, encoded (quoted-printable triples a byte),
// and its name and parameters.
constexpr std::size_t kLongestLine = 3 * kLongestValue + 8 * 1024;

bool isCardLine(std::string_view text, std::string_view keyword) {
    VcardProperty property;
    return parseProperty(text, property) && equalsIgnoringCase(property.name, keyword) &&
           equalsIgnoringCase(trimmed(property.value), "VCARD");
}

bool continues(std::string_view text) {
    return !text.empty() && (text[0] == ' ' || text[0] == '\t');
}

}  // namespace

bool looksLikeVcard(std::string_view text) {
    std::size_t const start = text.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos &&
           startsWithIgnoringCase(text.substr(start), "BEGIN:VCARD");
}

VcardReader::VcardReader(SourceBytes& source, std::string const& name, TextDecoder& decoder,
                         Summary& summary, ContactSink& sink)
    : lines_(source, kLongestLine),
      name_(name),
      decoder_(decoder),
      summary_(summary),
      sink_(sink) {}

bool VcardReader::nextLine() {
    PhysicalLine first;
    do {
        if (haveAhead_) {
            first = ahead_;
            haveAhead_ = false;
        } else if (!lines_.next(first)) {
            return false;
        }
    } while (first.text.empty());
    line_.assign(first.text);
    lineCut_ = first.cut;
    lineNumber_ = first.number;
    char last = first.last;
    isProperty_ = parseProperty(line_, property_);
    bool joined = false;
    while (lines_.next(ahead_)) {
        // A quoted-printable "=" at a line's end joins the next line, indented
        // or not; but never a card's first or last line.
        bool const softBreak = isProperty_ && property_.quotedPrintable && last == '=' &&
                               !isCardLine(ahead_.text, "BEGIN") && !isCardLine(ahead_.text, "END");
        if (!softBreak && !continues(ahead_.text)) {
            haveAhead_ = true;
            break;
        }
        if (softBreak && !lineCut_ && !line_.empty() && line_.back() == '=') {
            line_.pop_back();
        }
        std::string_view part = ahead_.text;
        if (continues(part)) {
            part.remove_prefix(1);
        }
        std::size_t const room = kLongestLine - std::min(kLongestLine, line_.size());
        lineCut_ = lineCut_ || ahead_.cut || part.size() > room;
        line_.append(part.substr(0, room));
        joined = true;
        if (!part.empty()) {
            last = ahead_.last;
        }
        // The parameters may have been folded: read them once the colon
        // after them is in.
        if (!isProperty_ && part.find(':') != std::string_view::npos) {
            isProperty_ = parseProperty(line_, property_);
        }
    }
    if (joined) {
        // The line has moved.
        isProperty_ = parseProperty(line_, property_);
    }
    return true;
}

void VcardReader::readAll() {
    while (nextLine()) {
        if (!isProperty_) {
            continue;
        }
        VcardProperty const& property = property_;
        bool const isVcard = equalsIgnoringCase(trimmed(property.value), "VCARD");
        if (isVcard && equalsIgnoringCase(property.name, "BEGIN")) {
            begin();
        } else if (isVcard && equalsIgnoringCase(property.name, "END")) {
            end();
        } else if (depth_ >= 1 && equalsIgnoringCase(property.name, "AGENT")) {
            // vCard 2.1 writes the embedded card on the lines that follow,
            // starting on this one or the next.
            if (depth_ == 1) {
                summary_.notImported(property.name);
            }
            std::string_view const value = trimmed(property.value);
            agentFollows_ = value.empty();
            if (equalsIgnoringCase(value, "BEGIN:VCARD")) {
                ++depth_;
            }
            continue;
        } else if (depth_ == 1) {
            take(property);
        }
        agentFollows_ = false;
    }
    if (depth_ != 0) {
        summary_.noted({&name_, card_.line}, "card without END:VCARD, read as far as it goes");
        finishCard();
    }
}

void VcardReader::begin() {
    if (depth_ >= 1 && (agentFollows_ || depth_ > 1)) {
        ++depth_;
        return;
    }
    if (depth_ == 1) {
        summary_.noted({&name_, card_.line}, "card without END:VCARD, read up to the next card");
        finishCard();
    }
    depth_ = 1;
    card_ = Contact{};
    card_.line = lineNumber_;
    haveName_ = false;
    haveOrganisation_ = false;
}

void VcardReader::end() {
    if (depth_ == 0) {
        return;
    }
    if (--depth_ == 0) {
        finishCard();
    }
}

void VcardReader::finishCard() {
    depth_ = 0;
    ++summary_.cards;
    sink_.take(card_);
}

std::string VcardReader::text(VcardProperty const& property) {
    std::string_view const raw = property.value;
    std::string bytes = property.quotedPrintable ? decodeQuotedPrintable(raw) : std::string(raw);
    if (lineCut_) {
        dropCutSequence(bytes);
    }
    return decoder_.toUtf8(std::move(bytes), property.charset, {&name_, lineNumber_}, summary_);
}

Value VcardReader::value(VcardProperty const& property, std::string text) {
    if (cutToSize(text, kLongestValue) || lineCut_) {
        summary_.changed({&name_, lineNumber_},
                         std::string(property.name) + " value longer than 64 KiB cut");
    }
    return {std::move(text), lineNumber_, property.preference};
}

namespace {

enum class Known { kVersion, kN, kFn, kEmail, kTel, kOrg, kUid, kOther };

Known kindOf(std::string_view name) {
    static constexpr std::pair<char const*, Known> kKnown[] = {
        {"VERSION", Known::kVersion}, {"N", Known::kN},     {"FN", Known::kFn},
        {"EMAIL", Known::kEmail},     {"TEL", Known::kTel}, {"ORG", Known::kOrg},
        {"UID", Known::kUid},
    };
    for (auto const& [known, kind] : kKnown) {
        if (equalsIgnoringCase(name, known)) {
            return kind;
        }
    }
    return Known::kOther;
}

}  // namespace

void VcardReader::take(VcardProperty const& property) {
    Known const kind = kindOf(property.name);
    if (kind == Known::kVersion) {
        return;
    }
    bool const repeated =
        (kind == Known::kN && haveName_) || (kind == Known::kFn && !card_.fullName.text.empty()) ||
        (kind == Known::kOrg && haveOrganisation_) || (kind == Known::kUid && card_.uid.line != 0);
    if (kind == Known::kOther || property.base64 || repeated) {
        summary_.notImported(property.name);
        return;
    }
    std::string decoded = text(property);
    switch (kind) {
        case Known::kN: {
            std::vector<std::string_view> const parts = components(decoded);
            haveName_ = true;
            card_.family = value(property, unescaped(std::string(parts[0])));
            card_.given = value(
                property, parts.size() > 1 ? unescaped(std::string(parts[1])) : std::string());
            break;
        }
        case Known::kOrg: {
            std::string joined;
            for (std::string_view part : components(decoded)) {
                std::string const plain = unescaped(std::string(part));
                if (!trimmed(plain).empty()) {
                    joined += (joined.empty() ? "" : " ") + plain;
                }
            }
            haveOrganisation_ = true;
            card_.organisation = value(property, std::move(joined));
            break;
        }
        case Known::kFn:
            card_.fullName = value(property, unescaped(std::move(decoded)));
            break;
        case Known::kUid:
            card_.uid = value(property, unescaped(std::move(decoded)));
            break;
        case Known::kEmail:
            takeEmail(property, unescaped(std::move(decoded)));
            break;
        case Known::kTel:
            takePhone(property, unescaped(std::move(decoded)));
            break;
        case Known::kVersion:
        case Known::kOther:
            break;
    }
}

void VcardReader::takeEmail(VcardProperty const& property, std::string plain) {
    std::string_view address = trimmed(plain);
    if (startsWithIgnoringCase(address, "mailto:")) {
        address.remove_prefix(7);
    }
    if (address.empty()) {
        return;
    }
    if (card_.emails.size() == kMostEmails) {
        ++card_.emailsLeftOut;
        return;
    }
    card_.emails.push_back(value(property, std::string(address)));
}

void VcardReader::takePhone(VcardProperty const& property, std::string plain) {
    std::string_view number = trimmed(plain);
    // A tel: URI's number, without its parameters (";ext=...").
    if (property.uri || startsWithIgnoringCase(number, "tel:")) {
        if (startsWithIgnoringCase(number, "tel:")) {
            number.remove_prefix(4);
        }
        number = number.substr(0, number.find(';'));
    }
    if (!number.empty() &&
        (card_.phone.text.empty() || property.preference < card_.phone.preference)) {
        card_.phone = value(property, std::string(number));
    }
}

}  // namespace vesnik::tool::import
