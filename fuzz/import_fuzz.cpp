// The libFuzzer entry for the import's vCard and CSV readers: any bytes, read
// as a source, must end in book lines the lookups can take (four or five
// columns, none empty, no separator or line break inside one, UTF-8, none
// longer than a value may be) or in an ImportError; anything else stops the
// run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "import/ContactWriter.h"
#include "import/Importer.h"
#include "import/SourceBytes.h"
#include "import/Text.h"

namespace {

using namespace vesnik::tool::import;

[[noreturn]] void fail(char const* what, std::string_view line) {
    std::fprintf(stderr, "import wrote a bad line (%s): %.*s\n", what,
                 static_cast<int>(std::min<std::size_t>(line.size(), 200)), line.data());
    std::abort();
}

void checkLine(std::string_view line) {
    std::size_t columns = 0;
    for (std::size_t start = 0; start <= line.size(); ++columns) {
        std::size_t const end = std::min(line.find(',', start), line.size());
        std::string_view const column = line.substr(start, end - start);
        if (column.empty() || column.size() > kLongestValue) {
            fail("a column empty or too long", line);
        }
        start = end + 1;
    }
    if (columns < 4 || columns > 5) {
        fail("not four or five columns", line);
    }
    if (line.find_first_of(std::string_view("\t\r\0", 3)) != std::string_view::npos) {
        fail("a TAB, CR or NUL", line);
    }
    if (!isUtf8(line)) {
        fail("not UTF-8", line);
    }
}

}  // namespace

// The first byte chooses the options: bit 0 --charset windows-1252, bit 1
// --columns naming the header cells a,b,c,d, bit 2 a file in a folder (cards
// only). The rest is the source.
extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    ImportOptions options;
    if ((data[0] & 1) != 0) {
        options.charset = "windows-1252";
    }
    if ((data[0] & 2) != 0) {
        options.columns = parseColumnChoice("family=a,given=b,email=c,email=d,phone=d");
    }
    std::string book;
    Summary summary;
    {
        vesnik::tool::Output out([&book](std::string_view bytes) { book.append(bytes); });
        ContactWriter writer(out, summary);
        Importer importer(options, writer, summary);
        MemoryInput input(std::string_view(reinterpret_cast<char const*>(data) + 1, size - 1));
        try {
            importer.importBytes(input, "fuzz", (data[0] & 4) != 0);
        } catch (ImportError const&) {
        }
        out.flush();
    }
    std::size_t lines = 0;
    for (std::size_t start = 0; start < book.size(); ++lines) {
        std::size_t const end = book.find('\n', start);
        if (end == std::string::npos) {
            fail("no line end", std::string_view(book).substr(start));
        }
        checkLine(std::string_view(book).substr(start, end - start));
        start = end + 1;
    }
    if (lines != summary.lines) {
        fail("lines miscounted", book);
    }
    summary.report("fuzz");
    return 0;
}
