#include "CsvColumns.h"

#include <algorithm>
#include <stdexcept>

#include "SourceBytes.h"
#include "Text.h"

namespace vesnik::tool::import {

namespace {

// A header cell, "#" standing for a number.
struct Rule {
    char const* header;
    Role role;
};

struct Layout {
    // All three must be there.
    char const* signature[3];
    std::vector<Rule> rules;
    bool joined;
};

// In the order they are tried: Google's newer layout shares its names with
// Outlook's, but not "E-mail 1 - Value".
std::vector<Layout> const& layouts() {
    static std::vector<Layout> const known = {
        // Google Contacts, older.
        {{"Given Name", "Family Name", "E-mail 1 - Value"},
         {{"Family Name", Role::kFamily},
          {"Given Name", Role::kGiven},
          {"Name", Role::kFullName},
          {"E-mail # - Value", Role::kEmail},
          {"E-mail # - Type", Role::kEmailLabel},
          {"Phone # - Value", Role::kPhone},
          {"Phone # - Type", Role::kPhoneLabel},
          {"Organization # - Name", Role::kOrganisation}},
         true},
        // Google Contacts, newer.
        {{"First Name", "Last Name", "E-mail 1 - Value"},
         {{"Last Name", Role::kFamily},
          {"First Name", Role::kGiven},
          {"E-mail # - Value", Role::kEmail},
          {"E-mail # - Label", Role::kEmailLabel},
          {"Phone # - Value", Role::kPhone},
          {"Phone # - Label", Role::kPhoneLabel},
          {"Organization Name", Role::kOrganisation}},
         true},
        // Outlook.
        {{"First Name", "Last Name", "E-mail Address"},
         {{"Last Name", Role::kFamily},
          {"First Name", Role::kGiven},
          {"E-mail Address", Role::kEmail},
          {"E-mail 2 Address", Role::kEmail},
          {"E-mail 3 Address", Role::kEmail},
          {"Primary Phone", Role::kPreferredPhone},
          {"Mobile Phone", Role::kPhone},
          {"Business Phone", Role::kPhone},
          {"Business Phone 2", Role::kPhone},
          {"Home Phone", Role::kPhone},
          {"Home Phone 2", Role::kPhone},
          {"Company Main Phone", Role::kPhone},
          {"Other Phone", Role::kPhone},
          {"Company", Role::kOrganisation}},
         false},
        // Thunderbird.
        {{"First Name", "Last Name", "Primary Email"},
         {{"Last Name", Role::kFamily},
          {"First Name", Role::kGiven},
          {"Display Name", Role::kFullName},
          {"Primary Email", Role::kEmail},
          {"Secondary Email", Role::kEmail},
          {"Work Phone", Role::kPhone},
          {"Home Phone", Role::kPhone},
          {"Mobile Number", Role::kPhone},
          {"Organization", Role::kOrganisation}},
         false},
    };
    return known;
}

constexpr char kUnknownHeader[] =
    "a header row of no export this knows: it looks for Google Contacts' 'Given Name', "
    "'Family Name' or 'First Name', 'Last Name' with 'E-mail 1 - Value'; Outlook's 'First "
    "Name', 'Last Name', 'E-mail Address'; Thunderbird's 'First Name', 'Last Name', 'Primary "
    "Email'. Name the columns of any other: --columns "
    "family=COL,given=COL,email=COL[,email=COL...],phone=COL";

// Whether cell matches pattern; number gets the digits "#" stood for.
bool matches(std::string_view cell, std::string_view pattern, std::string& number) {
    std::size_t const hash = pattern.find('#');
    if (hash == std::string_view::npos) {
        return equalsIgnoringCase(cell, pattern);
    }
    std::string_view const before = pattern.substr(0, hash);
    std::string_view const after = pattern.substr(hash + 1);
    if (cell.size() <= before.size() + after.size() || !startsWithIgnoringCase(cell, before) ||
        !equalsIgnoringCase(cell.substr(cell.size() - after.size()), after)) {
        return false;
    }
    std::string_view const digits =
        cell.substr(before.size(), cell.size() - before.size() - after.size());
    if (digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    number = std::string(digits);
    return true;
}

bool hasCell(CsvRecord const& header, std::string_view name) {
    return std::any_of(header.cells.begin(), header.cells.end(), [name](std::string const& cell) {
        return equalsIgnoringCase(trimmed(cell), name);
    });
}

// Google's values in one cell, " ::: " between them.
std::vector<std::string_view> split(std::string_view cell, bool joined) {
    std::vector<std::string_view> parts;
    constexpr std::string_view kJoin = " ::: ";
    while (joined) {
        std::size_t const at = cell.find(kJoin);
        if (at == std::string_view::npos) {
            break;
        }
        parts.push_back(cell.substr(0, at));
        cell.remove_prefix(at + kJoin.size());
    }
    parts.push_back(cell);
    return parts;
}

// Google marks the preferred value's label with "* ".
Preference preferenceOf(std::string_view label) {
    return trimmed(label).substr(0, 1) == "*" ? kMostPreferred : kNotPreferred;
}

}  // namespace

ColumnChoice parseColumnChoice(std::string const& text) {
    static constexpr std::pair<char const*, Role> kKeys[] = {
        {"family", Role::kFamily},
        {"given", Role::kGiven},
        {"email", Role::kEmail},
        {"phone", Role::kPhone},
    };
    ColumnChoice choice;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t const end = std::min(text.find(',', start), text.size());
        std::string const item = text.substr(start, end - start);
        start = end + 1;
        std::size_t const equals = item.find('=');
        auto const key = std::find_if(std::begin(kKeys), std::end(kKeys), [&](auto const& known) {
            return item.substr(0, equals) == known.first;
        });
        if (equals == std::string::npos || key == std::end(kKeys) || equals + 1 == item.size()) {
            throw std::invalid_argument("'" + item +
                                        "' is not family=COL, given=COL, email=COL or phone=COL");
        }
        choice.emplace_back(key->second, item.substr(equals + 1));
    }
    if (std::none_of(choice.begin(), choice.end(),
                     [](auto const& column) { return column.first == Role::kEmail; })) {
        throw std::invalid_argument("names no email=COL");
    }
    return choice;
}

CsvColumns::CsvColumns(CsvRecord const& header, ColumnChoice const* choice, Location where) {
    if (choice != nullptr) {
        for (auto const& [role, name] : *choice) {
            std::string_view const wanted = trimmed(name);
            auto const cell = std::find_if(
                header.cells.begin(), header.cells.end(),
                [wanted](std::string const& c) { return equalsIgnoringCase(trimmed(c), wanted); });
            if (cell == header.cells.end()) {
                throw ImportError(where.text() + ": no column '" + name + "' (named by --columns)");
            }
            columns_.push_back({static_cast<std::size_t>(cell - header.cells.begin()), role, {}});
        }
    } else {
        auto const layout =
            std::find_if(layouts().begin(), layouts().end(), [&header](Layout const& candidate) {
                return std::all_of(std::begin(candidate.signature), std::end(candidate.signature),
                                   [&header](char const* name) { return hasCell(header, name); });
            });
        if (layout == layouts().end()) {
            throw ImportError(where.text() + ": " + kUnknownHeader);
        }
        joined_ = layout->joined;
        for (std::size_t i = 0; i < header.cells.size(); ++i) {
            std::string number;
            for (Rule const& rule : layout->rules) {
                if (matches(trimmed(header.cells[i]), rule.header, number)) {
                    columns_.push_back({i, rule.role, number});
                    break;
                }
            }
        }
    }
    for (Column const& column : columns_) {
        kept_.resize(std::max(kept_.size(), column.index + 1));
        kept_[column.index] = true;
    }
}

Contact CsvColumns::contactFrom(CsvRecord const& row, Location where, TextDecoder& decoder,
                                Summary& summary) const {
    auto const cellText = [&](Column const& column) {
        if (column.index >= row.cells.size()) {
            return std::string();
        }
        std::string bytes = row.cells[column.index];
        bool const cut = row.cut[column.index];
        if (cut) {
            dropCutSequence(bytes);
        }
        std::string text = decoder.toUtf8(std::move(bytes), {}, where, summary);
        if (cutToSize(text, kLongestValue) || cut) {
            summary.changed(where, "value longer than 64 KiB cut");
        }
        return text;
    };
    auto const labelFor = [&](Role labelRole, std::string const& group) {
        for (Column const& column : columns_) {
            if (column.role == labelRole && column.group == group) {
                return cellText(column);
            }
        }
        return std::string();
    };
    Contact contact;
    contact.line = where.line;
    auto const set = [&where](Value& value, std::string text, Preference preference) {
        value = {std::move(text), where.line, preference};
    };
    for (Column const& column : columns_) {
        switch (column.role) {
            case Role::kFamily:
            case Role::kGiven:
            case Role::kFullName:
            case Role::kOrganisation: {
                Value& value = column.role == Role::kFamily     ? contact.family
                               : column.role == Role::kGiven    ? contact.given
                               : column.role == Role::kFullName ? contact.fullName
                                                                : contact.organisation;
                if (value.text.empty()) {
                    set(value, cellText(column), kNotPreferred);
                }
                break;
            }
            case Role::kEmail:
            case Role::kPhone:
            case Role::kPreferredPhone: {
                bool const email = column.role == Role::kEmail;
                std::string const cell = cellText(column);
                std::vector<std::string_view> const values = split(cell, joined_);
                std::string const labels =
                    labelFor(email ? Role::kEmailLabel : Role::kPhoneLabel, column.group);
                std::vector<std::string_view> const labelParts = split(labels, joined_);
                for (std::size_t i = 0; i < values.size(); ++i) {
                    std::string_view const text = trimmed(values[i]);
                    Preference const preference =
                        column.role == Role::kPreferredPhone ? kMostPreferred
                        : i < labelParts.size()              ? preferenceOf(labelParts[i])
                                                             : kNotPreferred;
                    if (text.empty()) {
                        continue;
                    }
                    if (!email) {
                        if (contact.phone.text.empty() || preference < contact.phone.preference) {
                            set(contact.phone, std::string(text), preference);
                        }
                    } else if (contact.emails.size() == kMostEmails) {
                        ++contact.emailsLeftOut;
                    } else {
                        contact.emails.push_back({std::string(text), where.line, preference});
                    }
                }
                break;
            }
            case Role::kEmailLabel:
            case Role::kPhoneLabel:
                break;
        }
    }
    return contact;
}

}  // namespace vesnik::tool::import
