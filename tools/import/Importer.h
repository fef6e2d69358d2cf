// Sources into contacts: each SOURCE a .vcf file, a CSV file, a folder of
// .vcf files (as CardDAV synchronisers keep them), or "-" for standard input.
#ifndef VESNIK_TOOLS_IMPORT_IMPORTER_H
#define VESNIK_TOOLS_IMPORT_IMPORTER_H

#include <optional>
#include <string>

#include "ContactWriter.h"
#include "CsvColumns.h"
#include "SourceBytes.h"
#include "Summary.h"
#include "TextDecoder.h"

namespace vesnik::tool::import {

struct ImportOptions {
    // --charset, or empty.
    std::string charset;
    // --columns, when given.
    std::optional<ColumnChoice> columns;
};

class Importer {
  public:
    // Throws ImportError for a --charset the platform does not know.
    Importer(ImportOptions options, ContactWriter& writer, Summary& summary);

    // Throws ImportError for a source that cannot be imported; inside a
    // folder, such a file is reported and skipped.
    void importSource(std::string const& source);

    // One source's bytes; name is how messages call it.
    void importBytes(RawInput& input, std::string const& name, bool cardsOnly);

  private:
    void importFolder(std::string const& path, std::string const& shown, unsigned depth);
    void importCsv(SourceBytes& bytes, std::string const& name);

    ImportOptions options_;
    ContactWriter& writer_;
    Summary& summary_;
    TextDecoder decoder_;
};

}  // namespace vesnik::tool::import

#endif
