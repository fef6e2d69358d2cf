// vesnik: looks contacts up in a plain-text address book from the shell,
// through the library's public API as any host would.
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "AddressBookFile.h"
#include "Commands.h"
#include "RecordPrinter.h"

namespace {

using vesnik::tool::AddressBookFile;
using vesnik::tool::Commands;
using vesnik::tool::ExitStatus;
using vesnik::tool::OutputFormat;
using vesnik::tool::RecordPrinter;

enum class Command { kWhere, kIds, kGet, kEmail, kIdOf };

// What the command line asks for.
struct Request {
    Command command = Command::kWhere;
    std::optional<std::string> book;
    bool json = false;
    std::vector<std::string> ids;
    std::string address;
};

constexpr char kExamples[] = R"(Examples:
  vesnik where                              the library's directory
  vesnik ids --book contacts.cdir           every identifier in contacts.cdir
  vesnik get C1001 C1007                    the records of two identifiers
  vesnik email Ada.Quist@example.net        the records with that e-mail
  vesnik id-of ada.quist@example.net --json the identifier, as JSON

Exit status: 0 something was found, 1 nothing matched, 2 a usage error or an
address book that cannot be opened.)";

CLI::App* addCommand(CLI::App& app, Request& request, Command command, std::string const& name,
                     std::string const& description, std::string const& example) {
    CLI::App* const sub = app.add_subcommand(name, description);
    sub->group("Commands");
    sub->footer("Example:\n  " + example +
                "\n\n--book and --json (see vesnik --help) go before or after the command.");
    sub->callback([&request, command] { request.command = command; });
    return sub;
}

void declareCommands(CLI::App& app, Request& request) {
    addCommand(app, request, Command::kWhere, "where",
               "The library's directory, where the default address book is looked for",
               "vesnik where");
    addCommand(app, request, Command::kIds, "ids",
               "Every contact identifier in file order, an absent one as an empty line",
               "vesnik ids");
    addCommand(app, request, Command::kGet, "get",
               "The records of these identifiers, in file order and each once",
               "vesnik get C1001 C1007")
        ->add_option("ID", request.ids, "A contact identifier, matched byte for byte")
        ->required();
    addCommand(app, request, Command::kEmail, "email",
               "Every record whose e-mail matches, letter case ignored",
               "vesnik email Ada.Quist@example.net")
        ->add_option("ADDRESS", request.address, "An e-mail address")
        ->required();
    addCommand(app, request, Command::kIdOf, "id-of",
               "The identifier of the first contact with this e-mail, letter case ignored",
               "vesnik id-of ada.quist@example.net")
        ->add_option("ADDRESS", request.address, "An e-mail address")
        ->required();
}

void declareCommandLine(CLI::App& app, Request& request) {
    // Options given after the command fall through to these shared ones.
    app.fallthrough();
    app.failure_message([](CLI::App const*, CLI::Error const& error) {
        return std::string("vesnik: ") + error.what() + " (see vesnik --help)\n";
    });
    app.set_version_flag("--version", std::string("vesnik ") + VESNIK_VERSION);
    app.add_option_function<std::string>(
           "--book", [&request](std::string const& path) { request.book = path; },
           "The address book to read (default: AddressBook.CDIR in the library's directory)")
        ->type_name("PATH");
    app.add_flag("--json", request.json,
                 "One JSON value a line: an object per record, absent fields as null");
    declareCommands(app, request);
    app.require_subcommand(1);
    app.footer(kExamples);
}

ExitStatus carryOut(Request const& request) {
    RecordPrinter printer(std::cout,
                          request.json ? OutputFormat::kJson : OutputFormat::kTabSeparated);
    Commands commands(AddressBookFile(request.book), printer);
    switch (request.command) {
        case Command::kWhere:
            return commands.where();
        case Command::kIds:
            return commands.ids();
        case Command::kGet:
            return commands.get(request.ids);
        case Command::kEmail:
            return commands.email(request.address);
        case Command::kIdOf:
            return commands.idOf(request.address);
    }
    return ExitStatus::kTrouble;
}

int exitCode(ExitStatus status) {
    return static_cast<int>(status);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Looks contacts up in a plain-text address book.", "vesnik");
    Request request;
    declareCommandLine(app, request);
    try {
        app.parse(argc, argv);
    } catch (CLI::ParseError const& error) {
        // Help and version end the run as successes; anything else was a
        // mistake on the command line.
        int const code = app.exit(error);
        return code == 0 ? 0 : exitCode(ExitStatus::kTrouble);
    }
    try {
        ExitStatus status = carryOut(request);
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "vesnik: cannot write the output\n";
            status = ExitStatus::kTrouble;
        }
        return exitCode(status);
    } catch (std::exception const& error) {
        std::cerr << "vesnik: " << error.what() << '\n';
        return exitCode(ExitStatus::kTrouble);
    }
}
