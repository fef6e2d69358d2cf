// vesnik-genbook N OUT [--crlf] [--seed S] [--ids SHAPE] [--script SCRIPT]: writes the
// benchmark's address book of N contacts to OUT.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "BookGenerator.h"

int main(int argc, char** argv) {
    CLI::App app(
        "Writes a made-up address book, the same bytes for the same N, seed, ids and script");
    std::size_t contacts = 0;
    std::string out;
    vesnik::bench::BookOptions options;
    app.add_option("N", contacts, "number of contacts")->required();
    app.add_option("OUT", out, "file to write")->required();
    app.add_flag("--crlf", options.crlf, "end lines with CR LF");
    app.add_option("--seed", options.seed, "random seed")->capture_default_str();
    app.add_option("--ids", options.ids, "the contact ids' shape")
        ->check(CLI::IsMember(vesnik::bench::kIdShapes))
        ->capture_default_str();
    app.add_option("--script", options.script, "the names' script")
        ->check(CLI::IsMember(vesnik::bench::scripts()))
        ->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    if (!vesnik::bench::writeBook(out, contacts, options)) {
        std::fprintf(stderr, "vesnik-genbook: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
