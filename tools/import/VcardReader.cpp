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
    VcardProperty property;
    bool quotedPrintable = parseProperty(line_, property) && property.quotedPrintable;
    while (lines_.next(ahead_)) {
        // A quoted-printable "=" at a line's end joins the next line, indented
        // or not; but never a card's first or last line.
        bool const softBreak = quotedPrintable && last == '=' &&
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
        if (!part.empty()) {
            last = ahead_.last;
        }
        if (!quotedPrintable) {
            // The parameters may have been folded.
            quotedPrintable = parseProperty(line_, property) && property.quotedPrintable;
        }
    }
    return true;
}

void VcardReader::readAll() {
    while (nextLine()) {
        VcardProperty property;
        if (!parseProperty(line_, property)) {
            continue;
        }
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
    return decoder_.toUtf8(bytes, property.charset, {&name_, lineNumber_}, summary_);
}

Value VcardReader::value(VcardProperty const& property, std::string text) {
    if (cutToSize(text, kLongestValue) || lineCut_) {
        summary_.changed({&name_, lineNumber_},
                         std::string(property.name) + " value longer than 64 KiB cut");
    }
    return {std::move(text), lineNumber_, property.preference};
}

void VcardReader::take(VcardProperty const& property) {
    std::string_view const name = property.name;
    auto const is = [name](char const* known) { return equalsIgnoringCase(name, known); };
    if (is("VERSION")) {
        return;
    }
    bool const imported = !property.base64 && (is("N") || is("FN") || is("EMAIL") || is("TEL") ||
                                               is("ORG") || is("UID"));
    bool const repeated = (is("N") && haveName_) || (is("FN") && !card_.fullName.text.empty()) ||
                          (is("ORG") && haveOrganisation_) || (is("UID") && card_.uid.line != 0);
    if (!imported || repeated) {
        summary_.notImported(name);
        return;
    }
    std::string const decoded = text(property);
    if (is("N") || is("ORG")) {
        std::vector<std::string_view> const parts = components(decoded);
        if (is("N")) {
            haveName_ = true;
            card_.family = value(property, unescaped(parts[0]));
            card_.given = value(property, parts.size() > 1 ? unescaped(parts[1]) : std::string());
            return;
        }
        std::string joined;
        for (std::string_view part : parts) {
            std::string const plain = unescaped(part);
            if (!trimmed(plain).empty()) {
                joined += (joined.empty() ? "" : " ") + plain;
            }
        }
        haveOrganisation_ = true;
        card_.organisation = value(property, std::move(joined));
        return;
    }
    std::string plain = unescaped(decoded);
    if (is("FN")) {
        card_.fullName = value(property, std::move(plain));
    } else if (is("UID")) {
        card_.uid = value(property, std::move(plain));
    } else if (is("EMAIL")) {
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
    } else if (is("TEL")) {
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
}

}  // namespace vesnik::tool::import
