// vesnik: looks contacts up in a plain-text address book from the shell or a
// mail client, through the C interface as any host would.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "Book.h"
#include "CommandLine.h"
#include "Commands.h"
#include "Messages.h"
#include "Output.h"
#include "import/ImportCommand.h"
#ifdef _WIN32
#include "WindowsArguments.h"
#endif

namespace {

using vesnik::tool::Book;
using vesnik::tool::BookError;
using vesnik::tool::Command;
using vesnik::tool::Commands;
using vesnik::tool::ExitStatus;
using vesnik::tool::Output;
using vesnik::tool::PrintSettings;
using vesnik::tool::Request;
using vesnik::tool::WriteError;

constexpr int kTrouble = static_cast<int>(ExitStatus::kTrouble);

ExitStatus carryOut(Request const& request, Output& out) {
    PrintSettings settings;
    settings.limit = request.limit;
    settings.name = &request.name;
    Commands commands(Book::choose(request.books), out, *request.format, std::move(settings),
                      request.ranked);
    switch (request.command) {
        case Command::kQuery:
            return commands.query(request.arguments, request.fold);
        case Command::kGet:
            return commands.get(request.arguments);
        case Command::kEmail:
            return commands.email(request.arguments.at(0));
        case Command::kIds:
            return commands.ids();
        case Command::kIdOf:
            return commands.idOf(request.arguments.at(0));
        case Command::kWhere:
            return commands.where();
        case Command::kImport:
            break;
    }
    return ExitStatus::kTrouble;
}

int fail(std::string const& message) {
    vesnik::tool::complain(message);
    return kTrouble;
}

// Memory running out is not always let out as an exception: the command-line
// library's text streams keep it to themselves and print less. Each failure
// is noted, so that the command ends as any other failure ends it.
bool memoryRanOut = false;

void noteMemoryRanOut() {
    memoryRanOut = true;
    throw std::bad_alloc();
}

void endIfMemoryRanOut() {
    if (memoryRanOut) {
        throw std::bad_alloc();
    }
}

// The command-line library looks names up in functions that promise not to
// throw, yet allocate: memory running out there ends in std::terminate, with
// or without the exception, which nothing else in the program lets happen.
[[noreturn]] void terminated() {
    vesnik::tool::complainOutOfMemory();
    std::_Exit(kTrouble);
}

// Made before any other static object: the command-line library's own
// allocate too.
struct EndsCleanly {
    EndsCleanly() {
        std::set_terminate(terminated);
        std::set_new_handler(noteMemoryRanOut);
    }
} const endsCleanly __attribute__((init_priority(101)));

}  // namespace

namespace {

// wordsArgv: the same arguments as argv, in UTF-8, where the query's words
// are taken from.
int run(int argc, char const* const* argv, char const* const* wordsArgv) {
    try {
        Output out;
        vesnik::tool::CommandLine line = vesnik::tool::parseCommandLine(argc, argv);
        endIfMemoryRanOut();
        if (line.request && line.request->command == Command::kQuery && wordsArgv != argv) {
            vesnik::tool::CommandLine words = vesnik::tool::parseCommandLine(argc, wordsArgv);
            endIfMemoryRanOut();
            if (words.request) {
                line.request->arguments = std::move(words.request->arguments);
            }
        }
        if (!line.request) {
            out.put(line.output);
            out.flush();
            std::fputs(line.error.c_str(), stderr);
            return line.exitCode;
        }
        if (line.request->command == Command::kImport) {
            return vesnik::tool::import::runImport(line.request->import);
        }
        ExitStatus const status = carryOut(*line.request, out);
        endIfMemoryRanOut();
        out.flush();
        return static_cast<int>(status);
    } catch (WriteError const& error) {
        return error.readerGone() ? kTrouble : fail(std::string("write error: ") + error.what());
    } catch (BookError const& error) {
        return fail(error.what());
    } catch (std::bad_alloc const&) {
        // Nothing is allocated on the way out.
        vesnik::tool::complainOutOfMemory();
        return kTrouble;
    } catch (std::exception const& error) {
        return fail(error.what());
    }
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    try {
        vesnik::tool::WindowsArguments const arguments(argc, argv);
        return run(argc, arguments.ansi(), arguments.utf8());
    } catch (std::bad_alloc const&) {
        vesnik::tool::complainOutOfMemory();
        return kTrouble;
    }
}
#else
int main(int argc, char** argv) {
    return run(argc, argv, argv);
}
#endif
