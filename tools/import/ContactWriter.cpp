#include "ContactWriter.h"

#include <algorithm>
#include <cstdio>

namespace vesnik::tool::import {

namespace {

// 2^21 slots of 8 bytes, half of them used at most: a million identifiers.
constexpr std::size_t kMostSlots = std::size_t{1} << 21;

std::uint64_t fnv1a(std::string const& bytes, std::uint64_t hash = 0xCBF29CE484222325u) {
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3u;
    }
    return hash;
}

// What a byte that cannot stand in a column is called in a message.
char const* unfitByte(char c) {
    switch (c) {
        case ',':
            return "comma";
        case '\t':
            return "TAB";
        case '\r':
        case '\n':
            return "line break";
        case '\0':
            return "NUL";
        default:
            return nullptr;
    }
}

std::string orSpace(std::string const& name) {
    return name.empty() ? " " : name;
}

}  // namespace

bool IdentifierSet::insert(std::string const& identifier) {
    if (full_) {
        return true;
    }
    if ((used_ + 1) * 2 > slots_.size()) {
        if (slots_.size() == kMostSlots) {
            full_ = true;
            return true;
        }
        std::vector<std::uint64_t> old(std::max<std::size_t>(1024, slots_.size() * 2));
        old.swap(slots_);
        used_ = 0;
        for (std::uint64_t hash : old) {
            if (hash != 0) {
                std::size_t i = static_cast<std::size_t>(hash) & (slots_.size() - 1);
                while (slots_[i] != 0) {
                    i = (i + 1) & (slots_.size() - 1);
                }
                slots_[i] = hash;
                ++used_;
            }
        }
    }
    std::uint64_t const hash = std::max<std::uint64_t>(fnv1a(identifier), 1);
    std::size_t i = static_cast<std::size_t>(hash) & (slots_.size() - 1);
    while (slots_[i] != 0) {
        if (slots_[i] == hash) {
            return false;
        }
        i = (i + 1) & (slots_.size() - 1);
    }
    slots_[i] = hash;
    ++used_;
    return true;
}

std::string madeIdentifier(std::string const& family, std::string const& given,
                           std::vector<std::string> const& emails, std::string const& field5) {
    // A unit separator between the parts, which no value holds.
    std::uint64_t hash = fnv1a(family + '\x1f' + given + '\x1f' + field5);
    for (std::string const& email : emails) {
        hash = fnv1a('\x1f' + email, hash);
    }
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return std::string("vesnik-") + text;
}

std::string ContactWriter::columnText(Value const& value, char const* what) {
    std::string text = value.text;
    char const* replaced = nullptr;
    for (char& c : text) {
        if (char const* const name = unfitByte(c)) {
            replaced = replaced != nullptr ? replaced : name;
            c = ' ';
        }
    }
    if (replaced != nullptr) {
        summary_.changed({source_, value.line},
                         std::string(replaced) + " in " + what + " replaced by a space");
    }
    std::size_t const first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void ContactWriter::take(Contact& contact) {
    Location const where{source_, contact.line};
    std::vector<std::string> emails;
    Preference best = kNotPreferred + 1;
    std::size_t first = 0;
    for (Value const& email : contact.emails) {
        std::string address = columnText(email, "e-mail address");
        if (address.empty()) {
            continue;
        }
        if (email.preference < best) {
            best = email.preference;
            first = emails.size();
        }
        emails.push_back(std::move(address));
    }
    if (emails.empty()) {
        ++summary_.withoutEmail;
        return;
    }
    if (contact.emailsLeftOut != 0) {
        summary_.noted(where, "a card keeps at most 1000 e-mail addresses: " +
                                  std::to_string(contact.emailsLeftOut) + " left out");
    }
    // The preferred address first, the others in the card's order.
    std::rotate(emails.begin(), emails.begin() + static_cast<std::ptrdiff_t>(first),
                emails.begin() + static_cast<std::ptrdiff_t>(first) + 1);

    std::string family = columnText(contact.family, "name");
    std::string given = columnText(contact.given, "name");
    if (family.empty() && given.empty()) {
        // "Ada Quist": the last word is the family name.
        std::string const whole = columnText(contact.fullName, "name");
        std::size_t const space = whole.rfind(' ');
        if (space == std::string::npos) {
            family = whole;
        } else {
            family = whole.substr(space + 1);
            given = whole.substr(0, whole.find_last_not_of(' ', space) + 1);
        }
    }
    if (family.empty() && given.empty()) {
        family = emails.front();
    }
    std::string field5 = columnText(contact.phone, "telephone number");
    if (field5.empty()) {
        field5 = columnText(contact.organisation, "organisation");
    }
    std::string identifier = columnText(contact.uid, "UID");
    if (identifier.empty()) {
        identifier = madeIdentifier(family, given, emails, field5);
    } else if (!uids_.insert(identifier)) {
        summary_.noted(where, "UID '" + identifier + "' is on an earlier card too; both written");
    }
    if (uids_.full() && !uidsFullNoted_) {
        uidsFullNoted_ = true;
        summary_.noted(where, "UIDs from here on are not checked for repeats");
    }

    std::string const rest = "," + identifier + (field5.empty() ? "" : "," + field5) + "\n";
    std::string const names = orSpace(family) + "," + orSpace(given) + ",";
    for (std::string const& email : emails) {
        out_.put(names);
        out_.put(email);
        out_.put(rest);
    }
    summary_.lines += emails.size();
}

}  // namespace vesnik::tool::import
