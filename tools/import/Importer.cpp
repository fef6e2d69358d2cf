#include "Importer.h"

#include <algorithm>

#include "CsvReader.h"
#include "Text.h"
#include "VcardReader.h"

namespace vesnik::tool::import {

namespace {

// Deeper folders are not walked: a loop of mounts cannot hold the walk.
constexpr unsigned kDeepestFolder = 64;
// A header cell longer than this names no column anyone looks for.
constexpr std::size_t kLongestHeader = 256;

bool isCardFile(std::string const& name) {
    return name.size() > 4 &&
           equalsIgnoringCase(std::string_view(name).substr(name.size() - 4), ".vcf");
}

// What the start of a source that is not a vCard file holds.
enum class Kind { kEmpty, kBinary, kCsv, kOther };

Kind kindOf(std::string_view start) {
    std::string_view const firstLine = start.substr(0, start.find('\n'));
    if (trimmed(start).find_first_not_of("\r\n") == std::string_view::npos) {
        return Kind::kEmpty;
    }
    bool const binary = std::any_of(firstLine.begin(), firstLine.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r';
    });
    if (binary) {
        return Kind::kBinary;
    }
    return firstLine.find_first_of(",;") != std::string_view::npos ? Kind::kCsv : Kind::kOther;
}

}  // namespace

Importer::Importer(ImportOptions options, ContactWriter& writer, Summary& summary)
    : options_(std::move(options)),
      writer_(writer),
      summary_(summary),
      decoder_(options_.charset) {}

void Importer::importSource(std::string const& source) {
    if (source != "-" && platform::isDirectory(source)) {
        std::uint64_t const cards = summary_.cards;
        importFolder(source, source, 0);
        if (summary_.cards == cards) {
            throw ImportError(source +
                              ": a folder without cards (no .vcf file in it or its "
                              "subfolders holds one)");
        }
        return;
    }
    std::string const name = source == "-" ? "(standard input)" : source;
    FileInput input(source, name);
    importBytes(input, name, false);
}

void Importer::importBytes(RawInput& input, std::string const& name, bool cardsOnly) {
    SourceBytes bytes(input);
    writer_.setSource(name);
    std::string_view const start = bytes.peek();
    if (looksLikeVcard(start)) {
        VcardReader(bytes, name, decoder_, summary_, writer_).readAll();
    } else if (cardsOnly) {
        throw ImportError(name + ": not a vCard file");
    } else {
        switch (kindOf(start)) {
            case Kind::kEmpty:
                throw ImportError(name + ": empty: neither vCard nor CSV");
            case Kind::kBinary:
                throw ImportError(name + ": binary data: neither vCard nor CSV");
            case Kind::kOther:
                throw ImportError(name + ": neither vCard (BEGIN:VCARD) nor CSV (a header row)");
            case Kind::kCsv:
                importCsv(bytes, name);
                break;
        }
    }
    summary_.replaced += bytes.replaced();
    ++summary_.files;
}

void Importer::importCsv(SourceBytes& bytes, std::string const& name) {
    CsvReader reader(bytes, separatorOf(bytes.peek()));
    CsvRecord header;
    reader.next(header, {}, kLongestHeader);
    Location const where{&name, header.line};
    // Localised headers may be in the file's own character set.
    for (std::string& cell : header.cells) {
        dropCutSequence(cell);
        cell = decoder_.toUtf8(std::move(cell), {}, where, summary_);
    }
    CsvColumns const columns(header, options_.columns ? &*options_.columns : nullptr, where);
    CsvRecord row;
    while (reader.next(row, columns.kept(), kLongestValue + 4)) {
        ++summary_.rows;
        Contact contact = columns.contactFrom(row, {&name, row.line}, decoder_, summary_);
        writer_.take(contact);
    }
}

void Importer::importFolder(std::string const& path, std::string const& shown, unsigned depth) {
    std::vector<platform::DirectoryEntry> entries;
    try {
        entries = platform::listDirectory(path);
    } catch (platform::SystemError const& error) {
        if (depth == 0) {
            throw ImportError("cannot read folder " + shown + ": " + error.what());
        }
        summary_.skipped("cannot read folder " + shown + ": " + error.what() + "; skipped");
        return;
    }
    std::sort(entries.begin(), entries.end(),
              [](auto const& a, auto const& b) { return a.name < b.name; });
    for (platform::DirectoryEntry const& entry : entries) {
        // Dot-files are synchronisers' own.
        if (entry.name.front() == '.') {
            continue;
        }
        std::string const full = platform::joinPath(path, entry.name);
        std::string const fullShown = platform::joinPath(shown, entry.name);
        if (entry.isDirectory) {
            if (depth + 1 < kDeepestFolder) {
                importFolder(full, fullShown, depth + 1);
            } else {
                summary_.skipped(fullShown + ": too deep a folder; skipped");
            }
            continue;
        }
        if (!isCardFile(entry.name)) {
            continue;
        }
        std::uint64_t const cards = summary_.cards;
        try {
            FileInput input(full, fullShown);
            importBytes(input, fullShown, true);
        } catch (ImportError const& error) {
            summary_.skipped(std::string(error.what()) + (summary_.cards == cards
                                                              ? "; skipped"
                                                              : "; the rest of the file skipped"));
        }
    }
}

}  // namespace vesnik::tool::import
