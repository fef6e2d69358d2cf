// How the bytes of a file become lines and columns, over many line shapes and
// read sizes: a line must give the same columns however the reads split it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ContactRecord.h"
#include "LineReader.h"
#include "support/TempFiles.h"

namespace vesnik {
namespace {

// A record as the columns it has: columns fill the fields in order, so the
// absent ones are always the last.
using Record = std::vector<std::string>;

std::vector<Record> recordsOf(std::string const& path, std::size_t blockSize) {
    std::vector<Record> records;
    InputFile const file(path.c_str());
    if (!file.isOpen()) {
        ADD_FAILURE() << "cannot open " << path;
        return records;
    }
    LineReader reader(file, blockSize);
    std::string_view text;
    while (reader.next(text)) {
        if (text.empty()) {
            continue;
        }
        Record record;
        for (auto column : splitColumns(text)) {
            if (!column.empty()) {
                record.emplace_back(column);
            }
        }
        records.push_back(record);
    }
    return records;
}

struct LineShape {
    char const* name;
    std::string bytes;
    std::vector<Record> expected;
};

std::string repeated(char c, std::size_t count) {
    return std::string(count, c);
}

std::vector<LineShape> const& lineShapes() {
    using namespace std::string_literals;
    static std::vector<LineShape> const shapes = {
        {"no final LF", "a,b,c,d,e", {{"a", "b", "c", "d", "e"}}},
        {"final LF", "a,b,c,d,e\n", {{"a", "b", "c", "d", "e"}}},
        {"TABs", "a\tb\tc\td\te\n", {{"a", "b", "c", "d", "e"}}},
        {"mixed separators", "a,\tb\t,c,d\te\n", {{"a", "b", "c", "d", "e"}}},
        {"leading separator", ",a,b,c,d,e\n", {{"a", "b", "c", "d", "e"}}},
        {"empty column collapses", "a,,c,d,e\n", {{"a", "c", "d", "e"}}},
        {"sixth column not read", "a,b,c,d,e,f\n", {{"a", "b", "c", "d", "e"}}},
        {"three columns", "a,b,c\n", {{"a", "b", "c"}}},
        {"CR LF",
         "a,b,c,d,e\r\nf,g,h,i,j\r\n",
         {{"a", "b", "c", "d", "e"}, {"f", "g", "h", "i", "j"}}},
        {"CR at the end of the file is data", "a,b\r", {{"a", "b\r"}}},
        {"lone CR is data", "a\rb,c\n", {{"a\rb", "c"}}},
        {"only one CR before LF dropped", "a,b\r\r\n", {{"a", "b\r"}}},
        {"spaces kept", " a, b ,c\n", {{" a", " b ", "c"}}},
        {"blank lines skipped", "\na,b\n\n\r\nc,d\n\n", {{"a", "b"}, {"c", "d"}}},
        {"separators only", ",,\n\t\n", {{}, {}}},
        {"empty file", "", {}},
        {"NUL ends the text", "a,b\0,c,d\nx,y\n"s, {{"a", "b"}, {"x", "y"}}},
        {"NUL first is blank", "\0a,b,c\nx\n"s, {{"x"}}},
        {"NUL before CR LF", "a,b\0\r\n"s, {{"a", "b"}}},
        {"CR before NUL stays", "a,b\r\0\n"s, {{"a", "b\r"}}},
        {"NUL in the last line", "a\nb\0c"s, {{"a"}, {"b"}}},
        {"high bytes are data", "\xe9,\xff\xfe\n", {{"\xe9", "\xff\xfe"}}},
        {"long notes column, one record",
         "a,b,c,d," + repeated('n', 700) + "\nf,g\n",
         {{"a", "b", "c", "d", repeated('n', 700)}, {"f", "g"}}},
        {"599 characters and LF", repeated('x', 599) + "\n", {{repeated('x', 599)}}},
        {"line of a megabyte", repeated('y', 1 << 20) + ",z", {{repeated('y', 1 << 20), "z"}}},
        {"zeros, then a contact",
         repeated('\0', 300000) + "\nid,x,mail,K1\n",
         {{"id", "x", "mail", "K1"}}},
    };
    return shapes;
}

TEST(LineFormat, EveryShapeGivesItsRecordsWhateverTheReadSize) {
    test::TempDir const dir;
    for (auto const& shape : lineShapes()) {
        auto const path = dir.write("book", shape.bytes);
        for (std::size_t blockSize : {1u, 2u, 3u, 7u, 64u, 4096u, 128u * 1024u}) {
            EXPECT_EQ(recordsOf(path, blockSize), shape.expected)
                << shape.name << ", reads of " << blockSize;
        }
    }
}

TEST(LineFormat, BufferGrowsOnlyForLongLinesWithText) {
    test::TempDir const dir;
    std::size_t const block = 4096;
    auto const readAll = [&](std::string const& bytes) {
        InputFile const file(dir.write("book", bytes).c_str());
        LineReader reader(file, block);
        std::string_view text;
        std::size_t lines = 0;
        while (reader.next(text)) {
            ++lines;
        }
        return std::make_pair(lines, reader.bufferSize());
    };
    // Many short lines and a long run of zeros keep the buffer as it is.
    EXPECT_EQ(readAll(repeated('\n', 10 * block)), std::make_pair(10 * block, block));
    EXPECT_EQ(readAll("a,b" + repeated('\0', 50 * block)), std::make_pair(std::size_t{1}, block));
    // A line longer than the buffer makes it grow to hold the line.
    auto const grown = readAll(repeated('x', 5 * block) + "\n");
    EXPECT_EQ(grown.first, 1u);
    EXPECT_GE(grown.second, 5 * block);
}

}  // namespace
}  // namespace vesnik
