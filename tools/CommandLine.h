// The command line: what it asks for, or, when it asks for help or is wrong,
// the text to print and the status to end with.
#ifndef VESNIK_TOOLS_COMMANDLINE_H
#define VESNIK_TOOLS_COMMANDLINE_H

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "formats/Formats.h"
#include "formats/NameTemplate.h"
#include "import/ImportCommand.h"

namespace vesnik::tool {

enum class Command { kQuery, kGet, kEmail, kIds, kIdOf, kWhere, kImport };

struct Request {
    Command command = Command::kWhere;
    // Each --book, in the order given.
    std::vector<std::string> books;
    Format const* format = formatNamed("tsv");
    // 0: no limit.
    std::size_t limit = 0;
    // query: letter case and accents ignored in every script; false with
    // --no-fold, for ASCII letter case alone.
    bool fold = true;
    NameTemplate name{"{field2} {field1}"};
    // query's order: the best match first, else file order.
    bool ranked = false;
    // The command's words, identifiers or address.
    std::vector<std::string> arguments;
    // import's sources and options.
    import::ImportRequest import;
};

struct CommandLine {
    // Empty when the run ends at once, with output and error printed.
    std::optional<Request> request;
    std::string output;
    std::string error;
    int exitCode = 0;
};

CommandLine parseCommandLine(int argc, char const* const* argv);

}  // namespace vesnik::tool

#endif
