// vesnik import: sources into one book, written whole to --output BOOK (or
// to standard output), with a summary on standard error.
#ifndef VESNIK_TOOLS_IMPORT_IMPORTCOMMAND_H
#define VESNIK_TOOLS_IMPORT_IMPORTCOMMAND_H

#include <optional>
#include <string>
#include <vector>

#include "Importer.h"

namespace vesnik::tool::import {

struct ImportRequest {
    std::vector<std::string> sources;
    std::optional<std::string> output;
    bool replace = false;
    ImportOptions options;
};

// 0 when the book was written, 2 when it was not; each error is one line on
// standard error.
int runImport(ImportRequest const& request);

}  // namespace vesnik::tool::import

#endif
