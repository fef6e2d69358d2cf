// Which CSV columns hold what: the header rows of the exports people have
// (Google Contacts, older and newer; Outlook; Thunderbird), or the columns a
// user names with --columns; and a row read through them.
#ifndef VESNIK_TOOLS_IMPORT_CSVCOLUMNS_H
#define VESNIK_TOOLS_IMPORT_CSVCOLUMNS_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "Contact.h"
#include "CsvReader.h"
#include "Summary.h"
#include "TextDecoder.h"

namespace vesnik::tool::import {

enum class Role {
    kFamily,
    kGiven,
    // A whole name, split when there are no parts.
    kFullName,
    kEmail,
    kEmailLabel,
    kPhone,
    kPhoneLabel,
    kPreferredPhone,
    kOrganisation,
};

// --columns family=COL,given=COL,email=COL[,email=COL...],phone=COL: header
// cells by role.
using ColumnChoice = std::vector<std::pair<Role, std::string>>;

// Throws std::invalid_argument saying what is wrong.
ColumnChoice parseColumnChoice(std::string const& text);

class CsvColumns {
  public:
    // From the header row; throws ImportError naming where for a header it
    // does not know, or a column that choice names and the header lacks.
    CsvColumns(CsvRecord const& header, ColumnChoice const* choice, Location where);

    // Which cells a row needs, for CsvReader::next.
    std::vector<bool> const& kept() const { return kept_; }

    Contact contactFrom(CsvRecord const& row, Location where, TextDecoder& decoder,
                        Summary& summary) const;

  private:
    struct Column {
        std::size_t index;
        Role role;
        // The number of Google's "E-mail 2 - Value", pairing it with its label.
        std::string group;
    };

    std::vector<Column> columns_;
    std::vector<bool> kept_;
    // Google joins several values in one cell with " ::: ".
    bool joined_ = false;
};

}  // namespace vesnik::tool::import

#endif
