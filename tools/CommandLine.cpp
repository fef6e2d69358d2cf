#include "CommandLine.h"

#include <algorithm>
#include <limits>
#include <sstream>
#include <stdexcept>

#include <CLI/CLI.hpp>

#include "Messages.h"
#include "platform/Platform.h"

namespace vesnik::tool {

namespace {

constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

// One command: its help, and how many arguments it takes.
struct CommandShape {
    Command command;
    char const* name;
    char const* description;
    char const* example;
    char const* argument;  // null when it takes none
    char const* argumentHelp;
    std::size_t fewest;
    std::size_t most;
};

constexpr CommandShape kCommands[] = {
    {Command::kQuery, "query",
     "Every contact where each word stands in field1, field2 or the e-mail, letter case and "
     "accents ignored (no words: every contact)",
     "vesnik query ada example.net", "WORD", "A word to look for, any part of a name or address", 0,
     kAny},
    {Command::kGet, "get", "Every record with one of these identifiers, in file order, each once",
     "vesnik get C1001 C1007", "ID", "A contact identifier, matched byte for byte", 1, kAny},
    {Command::kEmail, "email", "Every record whose e-mail matches, letter case ignored",
     "vesnik email Ada.Quist@example.net", "ADDRESS", "An e-mail address", 1, 1},
    {Command::kIds, "ids", "Every contact identifier in file order, an absent one as an empty line",
     "vesnik ids", nullptr, nullptr, 0, 0},
    {Command::kIdOf, "id-of",
     "The identifier of the first contact with this e-mail, letter case ignored",
     "vesnik id-of ada.quist@example.net", "ADDRESS", "An e-mail address", 1, 1},
    {Command::kWhere, "where",
     "The library's directory, where the default address book is looked for", "vesnik where",
     nullptr, nullptr, 0, 0},
    {Command::kImport, "import",
     "Reads vCard files, folders of them and CSV exports into one book, written to standard "
     "output or --output",
     "vesnik import --output ~/contacts.cdir contacts.vcf", "SOURCE",
     "A .vcf file, a folder of .vcf files, a CSV export, or - for standard input", 1, kAny},
};

constexpr char kExamples[] = R"(Examples:
  vesnik query quist ada                    contacts with both words, in any field
  vesnik query --format mutt ada            for mutt's query_command
  vesnik get C1001 C1007 --json             two identifiers' records, as JSON
  vesnik email Ada.Quist@example.net        the records with that e-mail
  vesnik id-of ada.quist@example.net        its contact's identifier
  vesnik ids --book contacts.cdir           every identifier in contacts.cdir
  vesnik where                              where the default book is looked for
  vesnik import --output c.cdir google.csv  a book from Google Contacts' export

The books are each --book PATH, in order, else those $VESNIK_BOOK lists,
separated as in PATH, else AddressBook.CDIR in the library's directory
(vesnik where). Installed from a package, that is beside the system's
library: set VESNIK_BOOK in the shell's profile to the books you keep.

Exit status: 0 something was found, 1 nothing matched, 2 a usage error, or an
address book that cannot be opened or read (the others still answer).
import: 0 the book was written, 2 it was not.)";

// The options shared by every command, as given.
struct Options {
    std::string format = "tsv";
    bool json = false;
    std::string name;
    CLI::Option* bookOption = nullptr;
    CLI::Option* formatOption = nullptr;
    CLI::Option* jsonOption = nullptr;
    CLI::Option* nameOption = nullptr;
    CLI::Option* limitOption = nullptr;
    CLI::Option* noFoldOption = nullptr;
    std::string sort;
    CLI::Option* sortOption = nullptr;
    // import's --columns, as given.
    std::string columns;
    CLI::Option* columnsOption = nullptr;
    // The commands' arguments, required unless they follow a "--".
    std::vector<CLI::Option*> arguments;
};

void declareImportOptions(CLI::App& import, Request& request, Options& options) {
    CLI::Option* const output =
        import
            .add_option_function<std::string>(
                "--output", [&request](std::string const& path) { request.import.output = path; },
                "Write the book to BOOK, whole or not at all (default: standard output); an "
                "existing BOOK only with --replace")
            ->type_name("BOOK");
    import.add_flag("--replace", request.import.replace, "Replace an existing BOOK")->needs(output);
    import
        .add_option("--charset", request.import.options.charset,
                    "The character set of sources that are not UTF-8 and do not name theirs, "
                    "such as windows-1252")
        ->type_name("NAME");
    options.columnsOption =
        import
            .add_option("--columns", options.columns,
                        "The columns of a CSV file of no known export, by their header cells: "
                        "family=COL,given=COL,email=COL[,email=COL...],phone=COL")
            ->type_name("MAP");
}

void declareCommands(CLI::App& app, Request& request, Options& options) {
    for (CommandShape const& shape : kCommands) {
        CLI::App* const sub = app.add_subcommand(shape.name, shape.description);
        sub->group("Commands");
        sub->footer(std::string("Example:\n  ") + shape.example +
                    "\n\nThe options of vesnik --help go before or after the command.");
        Command const command = shape.command;
        sub->callback([&request, command] { request.command = command; });
        if (command == Command::kImport) {
            declareImportOptions(*sub, request, options);
        }
        if (shape.argument == nullptr) {
            continue;
        }
        CLI::Option* const argument =
            sub->add_option(shape.argument, request.arguments, shape.argumentHelp);
        if (shape.most == 1) {
            argument->expected(1);
        }
        argument->required(shape.fewest > 0);
        options.arguments.push_back(argument);
    }
}

// Why value cannot be a limit, or empty. The parser's own reading saturates
// where size_t is 64 bits and fails where it is 32: both are said alike.
std::string limitProblem(std::string const& value) {
    bool const whole = !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
    std::size_t const first = value.find_first_not_of('0');
    if (!whole || first == std::string::npos) {
        return "'" + value + "' is not a whole number of 1 or more";
    }
    std::string const largest = std::to_string(kAny);
    std::size_t const digits = value.size() - first;
    if (digits > largest.size() ||
        (digits == largest.size() && value.compare(first, digits, largest) > 0)) {
        return "'" + value + "' is more than " + largest;
    }
    return "";
}

void declareOptions(CLI::App& app, Request& request, Options& options) {
    app.set_version_flag("--version", std::string("vesnik ") + VESNIK_VERSION);
    options.bookOption =
        app.add_option("--book", request.books,
                       "An address book to read, again for each further book (default: the "
                       "books $VESNIK_BOOK lists, else AddressBook.CDIR in the library's "
                       "directory)")
            ->type_name("PATH")
            ->expected(1)
            ->allow_extra_args(false)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    options.limitOption =
        app.add_option("--limit", request.limit, "Stop at the N-th match (query, get, email)")
            ->type_name("N")
            ->check(CLI::Validator(
                [](std::string& value) -> std::string { return limitProblem(value); }, ""));
    options.noFoldOption = app.add_flag_callback(
        "--no-fold", [&request] { request.fold = false; },
        "Ignore ASCII letter case alone, not accents nor case in other scripts (query)");
    options.formatOption = app.add_option("--format", options.format,
                                          "One of " + formatNames(", ") + " (see man vesnik)")
                               ->type_name("FORMAT")
                               ->check(CLI::Validator(
                                   [](std::string& value) -> std::string {
                                       return formatNamed(value) != nullptr
                                                  ? ""
                                                  : value + " not in {" + formatNames(",") + "}";
                                   },
                                   ""));
    options.sortOption =
        app.add_option(
               "--sort", options.sort,
               "The order of query's matches: rank, the best first (the default for mutt, aerc "
               "and address), or file")
            ->type_name("ORDER")
            ->check(CLI::IsMember({"rank", "file"}));
    options.jsonOption = app.add_flag("--json", options.json, "The same as --format json")
                             ->excludes(options.formatOption);
    options.nameOption =
        app.add_option("--name", options.name,
                       "The name beside each address, from {field1} {field2} {email} "
                       "{contactId} {field5} (default: '{field2} {field1}')")
            ->type_name("TEMPLATE");
}

// Whether argument is an option, of the command line or of a command, that
// takes a value. The parser's own lookup promises not to throw, yet
// allocates: memory running out there would end the program.
bool takesValue(CLI::App& app, std::string const& argument) {
    auto const takes = [&argument](CLI::App const& where) {
        for (CLI::Option const* const option : where.get_options()) {
            if (option->check_name(argument)) {
                return option->get_items_expected_min() > 0;
            }
        }
        return false;
    };
    if (argument.empty() || argument[0] != '-') {
        return false;
    }
    std::vector<CLI::App*> const commands = app.get_subcommands({});
    return takes(app) || std::any_of(commands.begin(), commands.end(),
                                     [&takes](CLI::App const* command) { return takes(*command); });
}

// Splits the arguments at the first "--" that is no option's value: after it
// every argument is the command's own, even one that starts with "-". And
// "--book=" becomes "--book" "", an empty path. The parser is not trusted
// with either: after a command's first argument it takes a "--" for nothing,
// and it takes "--book=" to want the next argument as its value.
std::vector<std::string> splitAtSeparator(CLI::App& app, std::vector<std::string>& arguments) {
    std::vector<std::string> head;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string const& argument = arguments[i];
        if (argument == "--") {
            std::vector<std::string> tail(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                          arguments.end());
            arguments = std::move(head);
            return tail;
        }
        std::string const name = argument.substr(0, argument.size() - 1);
        if (argument.size() > 3 && argument.rfind("--", 0) == 0 && argument.back() == '=' &&
            name.find('=') == std::string::npos && takesValue(app, name)) {
            head.push_back(name);
            head.emplace_back();
            continue;
        }
        head.push_back(argument);
        if (takesValue(app, argument) && i + 1 < arguments.size()) {
            head.push_back(arguments[++i]);
        }
    }
    arguments = std::move(head);
    return {};
}

CommandShape const& shapeOf(Command command) {
    return *std::find_if(std::begin(kCommands), std::end(kCommands),
                         [command](CommandShape const& shape) { return shape.command == command; });
}

void takeArgumentsAfterSeparator(Request& request, std::vector<std::string> const& tail) {
    CommandShape const& shape = shapeOf(request.command);
    request.arguments.insert(request.arguments.end(), tail.begin(), tail.end());
    if (request.arguments.size() > shape.most) {
        throw CLI::ExtrasError(std::vector<std::string>(
            request.arguments.begin() + static_cast<std::ptrdiff_t>(shape.most),
            request.arguments.end()));
    }
    if (request.arguments.size() < shape.fewest) {
        throw CLI::RequiredError(shape.argument);
    }
}

// import writes a book: the lookups' options mean nothing to it.
void settleImport(Request& request, Options const& options) {
    for (CLI::Option const* option :
         {options.bookOption, options.formatOption, options.jsonOption, options.nameOption,
          options.limitOption, options.sortOption}) {
        if (option->count() > 0) {
            throw CLI::ValidationError(option->get_name(), "applies to the lookups, not to import");
        }
    }
    if (options.columnsOption->count() > 0) {
        try {
            request.import.options.columns = import::parseColumnChoice(options.columns);
        } catch (std::invalid_argument const& error) {
            throw CLI::ValidationError("--columns", error.what());
        }
    }
    std::string const& charset = request.import.options.charset;
    if (!charset.empty() && platform::Converter::open(charset) == nullptr) {
        throw CLI::ValidationError("--charset",
                                   "this system knows no character set '" + charset + "'");
    }
    request.import.sources = request.arguments;
}

void settleOptions(Request& request, Options const& options) {
    if (request.command == Command::kImport) {
        settleImport(request, options);
        return;
    }
    std::string const name = options.json ? "json" : options.format;
    request.format = formatNamed(name);
    FormatUse const use = request.format->use;
    bool const printsContacts = request.command == Command::kQuery ||
                                request.command == Command::kGet ||
                                request.command == Command::kEmail;
    if ((use == FormatUse::kQueryOnly && request.command != Command::kQuery) ||
        (use == FormatUse::kContactCommands && !printsContacts)) {
        throw CLI::ValidationError("--format", name + (use == FormatUse::kQueryOnly
                                                           ? " is for the query command only"
                                                           : " is for query, get and email only"));
    }
    if (options.nameOption->count() > 0) {
        if (!request.format->usesName) {
            throw CLI::ValidationError("--name", "does not apply to --format " + name);
        }
        try {
            request.name = NameTemplate(options.name);
        } catch (std::invalid_argument const& error) {
            throw CLI::ValidationError("--name", error.what());
        }
    }
    if (options.limitOption->count() > 0 && !printsContacts) {
        throw CLI::ValidationError("--limit", "applies to query, get and email only");
    }
    if (options.noFoldOption->count() > 0 && request.command != Command::kQuery) {
        throw CLI::ValidationError("--no-fold", "applies to query only");
    }
    if (options.sortOption->count() > 0 && request.command != Command::kQuery) {
        throw CLI::ValidationError("--sort", "applies to query only");
    }
    // Completion shows the best first; other formats keep the book's order.
    request.ranked =
        options.sortOption->count() > 0 ? options.sort == "rank" : use == FormatUse::kQueryOnly;
}

// The parser says an unknown option was "not expected", or, when the command
// then lacks its argument, only that; and of a misspelled command, that a
// command is required: name either.
std::optional<std::string> unknownArgument(CLI::App const& app) {
    std::vector<std::string> const remaining = app.remaining(true);
    for (std::string const& argument : remaining) {
        if (argument.size() > 1 && argument[0] == '-') {
            return "unknown option '" + argument + "'";
        }
    }
    if (!remaining.empty() && app.get_subcommands().empty()) {
        return "unknown command '" + remaining.front() + "'";
    }
    return std::nullopt;
}

}  // namespace

CommandLine parseCommandLine(int argc, char const* const* argv) {
    std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    CLI::App app("Looks contacts up in a plain-text address book.", "vesnik");
    Request request;
    Options options;
    // Options given after the command fall through to the shared ones.
    app.fallthrough();
    declareOptions(app, request, options);
    declareCommands(app, request, options);
    std::vector<std::string> const tail = splitAtSeparator(app, arguments);
    if (!tail.empty()) {
        // Arguments after "--" are counted once they are in.
        for (CLI::Option* argument : options.arguments) {
            argument->required(false);
        }
    }
    app.require_subcommand(1);
    app.footer(kExamples);
    app.failure_message([](CLI::App const*, CLI::Error const& error) {
        return "vesnik: " + withControlsEscaped(error.what()) + " (see vesnik --help)\n";
    });

    CommandLine line;
    try {
        std::reverse(arguments.begin(), arguments.end());
        app.parse(arguments);
        if (!tail.empty()) {
            takeArgumentsAfterSeparator(request, tail);
        }
        settleOptions(request, options);
        line.request = std::move(request);
        return line;
    } catch (CLI::ParseError const& error) {
        std::ostringstream output;
        std::ostringstream message;
        // A stream keeps memory running out to itself unless asked.
        output.exceptions(std::ios::badbit | std::ios::failbit);
        message.exceptions(std::ios::badbit | std::ios::failbit);
        line.exitCode = app.exit(error, output, message) == 0 ? 0 : 2;
        line.output = output.str();
        line.error = message.str();
        if (line.exitCode != 0) {
            if (std::optional<std::string> const unknown = unknownArgument(app)) {
                line.error = "vesnik: " + withControlsEscaped(*unknown) + " (see vesnik --help)\n";
            }
        }
        return line;
    }
}

}  // namespace vesnik::tool
