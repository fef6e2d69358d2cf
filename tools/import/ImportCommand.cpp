#include "ImportCommand.h"

#include <cstdio>
#include <memory>
#include <new>
#include <optional>

#include "ContactWriter.h"
#include "Output.h"
#include "Summary.h"
#include "platform/Platform.h"

namespace vesnik::tool::import {

namespace {

constexpr int kWritten = 0;
constexpr int kNotWritten = 2;

int fail(std::string const& message) {
    std::fputs(("vesnik: " + message + "\n").c_str(), stderr);
    return kNotWritten;
}

}  // namespace

int runImport(ImportRequest const& request) {
    std::string const book = request.output ? "'" + *request.output + "'" : "standard output";
    // Said after a failure: a book is never left half written.
    std::string const untouched = request.output ? "; " + book + " is as it was" : "";
    Summary summary;
    try {
        std::unique_ptr<platform::BookFile> file;
        std::optional<platform::InterruptWatch> watch;
        if (request.output) {
            try {
                file = std::make_unique<platform::BookFile>(*request.output, request.replace);
            } catch (platform::SystemError const& error) {
                return fail("cannot write " + book + ": " + error.what());
            }
            watch.emplace();
        }
        Output out =
            file ? Output([&file](std::string_view bytes) { file->write(bytes); }) : Output();
        ContactWriter writer(out, summary);
        Importer importer(request.options, writer, summary);
        for (std::string const& source : request.sources) {
            importer.importSource(source);
        }
        out.flush();
        if (file) {
            file->commit();
        }
    } catch (ImportError const& error) {
        return fail(error.what() + untouched);
    } catch (platform::Interrupted const&) {
        return fail("interrupted" + untouched);
    } catch (platform::SystemError const& error) {
        if (error.readerGone()) {
            return kNotWritten;
        }
        return fail((request.output ? "cannot write " + book + ": " : "write error: ") +
                    error.what() + untouched);
    } catch (std::bad_alloc const&) {
        return fail("out of memory" + untouched);
    }
    std::fputs(summary.report(book).c_str(), stderr);
    return kWritten;
}

}  // namespace vesnik::tool::import
