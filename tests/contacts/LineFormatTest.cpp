// How the bytes of a file become lines and columns, over many line shapes and
// read sizes: a line must give the same columns however the reads split it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AsciiCase.h"
#include "ContactIdSet.h"
#include "ContactRecord.h"
#include "KeyFinder.h"
#include "LineReader.h"
#include "RecordScan.h"
#include "support/TempFiles.h"

namespace vesnik {
namespace {

// A record as the columns it has: columns fill the fields in order, so the
// absent ones are always the last.
using Record = std::vector<std::string>;

Record recordOf(std::string_view text) {
    Record record;
    for (auto column : splitColumns(text)) {
        if (!column.empty()) {
            record.emplace_back(column);
        }
    }
    return record;
}

// The records of every line, or with a key only of the lines where it is
// found.
template <class Finder = KeyFinder>
std::vector<Record> recordsOf(std::string const& path, std::size_t blockSize,
                              Finder const* key = nullptr) {
    std::vector<Record> records;
    InputFile const file(path.c_str());
    if (!file.isOpen()) {
        ADD_FAILURE() << "cannot open " << path;
        return records;
    }
    LineReader reader(file, blockSize);
    auto const collect = [&](std::string_view text) {
        records.push_back(recordOf(text));
        return true;
    };
    if (key != nullptr) {
        forEachLineHolding(reader, *key, collect);
    } else {
        forEachLine(reader, collect);
    }
    return records;
}

bool holds(Record const& record, std::string const& key, LetterCase letterCase) {
    for (auto const& column : record) {
        bool const found = letterCase == LetterCase::kExact
                               ? column.find(key) != std::string::npos
                               : asciiUpper(column).find(asciiUpper(key)) != std::string::npos;
        if (found) {
            return true;
        }
    }
    return false;
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

constexpr std::size_t kBlock = LineReader::kBlockSize;
std::vector<std::size_t> const kBlockSizes = {1, 2, 3, 7, 64, 4096, kBlock};

TEST(LineFormat, EveryShapeGivesItsRecordsWhateverTheReadSize) {
    test::TempDir const dir;
    for (auto const& shape : lineShapes()) {
        auto const path = dir.write("book", shape.bytes);
        for (std::size_t blockSize : kBlockSizes) {
            EXPECT_EQ(recordsOf(path, blockSize), shape.expected)
                << shape.name << ", reads of " << blockSize;
        }
    }
}

// A keyed scan passes over a line only when the line's columns cannot hold
// the key: for a column taken as the key, it gives exactly the records that
// hold that column's text.
TEST(LineFormat, KeyedScanGivesTheLinesThatHoldTheKey) {
    test::TempDir const dir;
    for (auto const& shape : lineShapes()) {
        auto const path = dir.write("book", shape.bytes);
        for (auto const& record : shape.expected) {
            for (auto const& column : record) {
                for (auto const letterCase : {LetterCase::kExact, LetterCase::kFolded}) {
                    std::string const key = letterCase == LetterCase::kExact
                                                ? column.substr(column.size() / 2)
                                                : asciiUpper(column);
                    std::vector<Record> holding;
                    for (auto const& candidate : shape.expected) {
                        if (holds(candidate, key, letterCase)) {
                            holding.push_back(candidate);
                        }
                    }
                    KeyFinder const finder(key, letterCase);
                    // The finder sees runs of whole lines, so tiny reads
                    // add nothing here that the test above does not cover.
                    for (std::size_t blockSize : {std::size_t{7}, std::size_t{4096}, kBlock}) {
                        EXPECT_EQ(recordsOf(path, blockSize, &finder), holding)
                            << shape.name << ", key " << key.substr(0, 20) << ", reads of "
                            << blockSize;
                    }
                }
            }
        }
    }
}

// The identifier filter may let lines through that hold none of the
// identifiers, but never one that does.
TEST(LineFormat, IdFilterPassesEveryLineWithAWantedId) {
    test::TempDir const dir;
    auto const wanted = [](std::vector<Record> const& records,
                           std::vector<std::string> const& ids) {
        std::vector<Record> found;
        for (auto const& record : records) {
            if (record.size() > 3 && std::count(ids.begin(), ids.end(), record[3]) != 0) {
                found.push_back(record);
            }
        }
        return found;
    };
    for (auto const& shape : lineShapes()) {
        auto const path = dir.write("book", shape.bytes);
        for (auto const& record : shape.expected) {
            if (record.size() <= 3) {
                continue;
            }
            // Alone, and among identifiers of many first bytes and lengths.
            for (std::vector<std::string> ids :
                 {std::vector<std::string>{record[3]},
                  std::vector<std::string>{"v1", record[3], "wx", "y", "zzzzzzzzzz", "Q"}}) {
                std::vector<char*> pointers;
                for (auto& id : ids) {
                    pointers.push_back(id.data());
                }
                ContactIdSet const set(pointers);
                for (std::size_t blockSize : {std::size_t{7}, std::size_t{4096}, kBlock}) {
                    EXPECT_EQ(wanted(recordsOf(path, blockSize, &set), ids),
                              wanted(shape.expected, ids))
                        << shape.name << ", " << ids.size() << " ids, reads of " << blockSize;
                }
            }
        }
    }
}

TEST(LineFormat, BufferGrowsOnlyForLongLinesWithText) {
    test::TempDir const dir;
    std::size_t const block = 4096;
    auto const readAll = [&](std::string const& bytes) {
        InputFile const file(dir.write("book", bytes).c_str());
        LineReader reader(file, block);
        std::size_t lines = 0;
        forEachLine(reader, [&](std::string_view) {
            ++lines;
            return true;
        });
        return std::make_pair(lines, reader.bufferSize());
    };
    // Many short lines and a long run of zeros keep the buffer as it is.
    std::string shortLines;
    for (std::size_t i = 0; i < 5 * block; ++i) {
        shortLines += "a\n";
    }
    EXPECT_EQ(readAll(shortLines), std::make_pair(5 * block, block));
    EXPECT_EQ(readAll("a,b" + repeated('\0', 50 * block)), std::make_pair(std::size_t{1}, block));
    // A line longer than the buffer makes it grow to hold the line.
    auto const grown = readAll(repeated('x', 5 * block) + "\n");
    EXPECT_EQ(grown.first, 1u);
    EXPECT_GE(grown.second, 5 * block);
}

}  // namespace
}  // namespace vesnik
