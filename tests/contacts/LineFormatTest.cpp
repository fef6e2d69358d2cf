// How bytes become lines and columns, over many line shapes, read sizes and
// line filters, all in memory: a line must give the same columns however the
// reads split it and whichever filter lets it through.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "AsciiCase.h"
#include "ColumnWalk.h"
#include "ContactIdSet.h"
#include "IdColumnFilter.h"
#include "KeyFinder.h"
#include "LineFilters.h"
#include "LineScan.h"
#include "support/MemorySource.h"

namespace vesnik {
namespace {

using test::MemorySource;
using test::ReadPattern;

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

// The records of the lines a filter lets through.
template <class Filter>
std::vector<Record> recordsThrough(std::string_view bytes, Filter const& filter,
                                   std::size_t blockSize, ReadPattern pattern = {}) {
    std::vector<Record> records;
    MemorySource source(bytes, pattern);
    auto const status = scanLines(
        source, filter,
        [&](std::string_view text) {
            records.push_back(recordOf(text));
            return true;
        },
        blockSize);
    EXPECT_EQ(status, ScanStatus::kDone);
    return records;
}

std::string repeated(char c, std::size_t count) {
    return std::string(count, c);
}

struct LineShape {
    char const* name;
    std::string bytes;
    std::vector<Record> expected;
};

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
        {"columns about a block long",
         repeated('a', 15) + "," + repeated('b', 16) + "," + repeated('c', 17) + "," +
             repeated('d', 31) + "\t" + repeated('e', 32) + "\n",
         {{repeated('a', 15), repeated('b', 16), repeated('c', 17), repeated('d', 31),
           repeated('e', 32)}}},
        // Cut at a fixed length, the notes would leave a tail that looks like
        // a contact of its own.
        {"long notes column, one record",
         "a,b,c@d,K1," + repeated('n', 595) + ",x,y,tail@example.org,K9\nf,g\n",
         {{"a", "b", "c@d", "K1", repeated('n', 595)}, {"f", "g"}}},
        {"599 characters and LF", repeated('x', 599) + "\n", {{repeated('x', 599)}}},
        {"line of a megabyte", repeated('y', 1 << 20) + ",z", {{repeated('y', 1 << 20), "z"}}},
        {"zeros, then a contact",
         repeated('\0', 300000) + "\nid,x,mail,K1\n",
         {{"id", "x", "mail", "K1"}}},
    };
    return shapes;
}

constexpr std::size_t kBlock = LineReader::kBlockSize;

TEST(LineFormat, EveryShapeGivesItsRecordsWhateverTheReads) {
    std::vector<std::pair<char const*, ReadPattern>> const patterns = {
        {"whole reads", {}},
        {"one byte at a time, interrupted", {1, true}},
        {"seven bytes at a time", {7, false}},
    };
    for (auto const& shape : lineShapes()) {
        for (std::size_t blockSize : {std::size_t{1}, std::size_t{2}, std::size_t{3},
                                      std::size_t{7}, std::size_t{64}, std::size_t{4096}, kBlock}) {
            for (auto const& [patternName, pattern] : patterns) {
                EXPECT_EQ(recordsThrough(shape.bytes, EveryLine{}, blockSize, pattern),
                          shape.expected)
                    << shape.name << ", blocks of " << blockSize << ", " << patternName;
            }
        }
    }
}

// The text of the lines a filter lets through.
template <class Filter>
std::vector<std::string> textsThrough(std::string_view bytes, Filter const& filter,
                                      std::size_t blockSize) {
    std::vector<std::string> texts;
    MemorySource source(bytes, {});
    scanLines(
        source, filter,
        [&](std::string_view text) {
            texts.emplace_back(text);
            return true;
        },
        blockSize);
    return texts;
}

bool holds(std::string const& text, std::string const& key, LetterCase letterCase) {
    return letterCase == LetterCase::kExact
               ? text.find(key) != std::string::npos
               : asciiUpper(text).find(asciiUpper(key)) != std::string::npos;
}

std::vector<Record> withId(std::vector<Record> const& records, std::vector<std::string_view> ids) {
    std::vector<Record> found;
    for (auto const& record : records) {
        if (record.size() > kContactIdColumn &&
            std::count(ids.begin(), ids.end(), record[kContactIdColumn]) != 0) {
            found.push_back(record);
        }
    }
    return found;
}

// What each filter lets through, against what the plain split says it must:
// the column walk every line with the column that columnAt gives; a key
// finder every line with a column equal to its key, and only lines that hold
// it; the identifier filter at least every line with a wanted identifier.
TEST(LineFormat, EveryFilterLetsThroughTheLinesItMust) {
    for (auto const& shape : lineShapes()) {
        for (std::size_t blockSize : {std::size_t{7}, std::size_t{4096}, kBlock}) {
            auto const where = [&] {
                return std::string(shape.name) + ", blocks of " + std::to_string(blockSize);
            };
            for (std::size_t index = 0; index < kColumnCount; ++index) {
                std::vector<std::pair<Record, std::string>> walked, split;
                MemorySource source(shape.bytes, {});
                scanLines(
                    source, LinesWithColumn{index},
                    [&](std::string_view text, std::string_view column) {
                        walked.emplace_back(recordOf(text), column);
                        split.emplace_back(recordOf(text), columnAt(text, index));
                        return true;
                    },
                    blockSize);
                EXPECT_EQ(walked, split) << where() << ", column " << index;
                std::vector<Record> records;
                for (auto const& line : walked) {
                    records.push_back(line.first);
                }
                EXPECT_EQ(records, shape.expected) << where() << ", column " << index;
            }
            auto const every = textsThrough(shape.bytes, EveryLine{}, blockSize);
            for (auto const& record : shape.expected) {
                for (auto const& column : record) {
                    for (auto const& [key, letterCase] :
                         {std::pair{column, LetterCase::kExact},
                          std::pair{asciiUpper(column), LetterCase::kFolded},
                          std::pair{column.substr(column.size() / 2), LetterCase::kExact}}) {
                        auto const withColumn = [&, &key = key, letterCase = letterCase](
                                                    std::vector<std::string> texts) {
                            auto const isKey = [&](std::string_view c) {
                                return letterCase == LetterCase::kExact ? c == key
                                                                        : asciiUpper(c) == key;
                            };
                            texts.erase(std::remove_if(texts.begin(), texts.end(),
                                                       [&](std::string const& text) {
                                                           auto const columns = splitColumns(text);
                                                           return std::none_of(columns.begin(),
                                                                               columns.end(),
                                                                               isKey);
                                                       }),
                                        texts.end());
                            return texts;
                        };
                        KeyFinder const finder(key, letterCase);
                        auto const through =
                            textsThrough(shape.bytes, LinesHolding{finder}, blockSize);
                        EXPECT_EQ(withColumn(through), withColumn(every))
                            << where() << ", key " << key.substr(0, 20);
                        for (auto const& text : through) {
                            EXPECT_TRUE(holds(text, key, letterCase))
                                << where() << ", key " << key.substr(0, 20);
                        }
                    }
                }
                if (record.size() <= kContactIdColumn) {
                    continue;
                }
                // Alone, and among identifiers of many first bytes and lengths.
                std::string_view const id = record[kContactIdColumn];
                for (auto const& ids : {std::vector<std::string_view>{id},
                                        {"v1", id, "wx", "y", "zzzzzzzzzz", "Q"}}) {
                    IdColumnFilter const filter(ContactIdSet(ids).ids());
                    EXPECT_EQ(
                        withId(recordsThrough(shape.bytes, LinesHolding{filter}, blockSize), ids),
                        withId(shape.expected, ids))
                        << where() << ", " << ids.size() << " ids";
                }
            }
        }
    }
}

// A read that fails part-way is not the end of the book, wherever it fails;
// a scan that has its answer before the failure has no need to know.
TEST(LineFormat, AReadFailureIsToldApartFromTheEnd) {
    std::string book;
    for (int i = 0; i < 20000; ++i) {
        book += "name,given,mail" + std::to_string(i) + "@x,K" + std::to_string(i) + "\n";
    }
    auto const scan = [&](std::size_t failAfter, std::size_t stopAfterLines) {
        MemorySource source(book, {SIZE_MAX, false, failAfter});
        std::size_t lines = 0;
        return scanLines(source, EveryLine{},
                         [&](std::string_view) { return ++lines < stopAfterLines; });
    };
    for (std::size_t failAfter : {std::size_t{0}, std::size_t{1}, std::size_t{8191},
                                  std::size_t{8192}, std::size_t{200000}, book.size() - 1}) {
        EXPECT_EQ(scan(failAfter, SIZE_MAX), ScanStatus::kReadFailed) << failAfter;
    }
    EXPECT_EQ(scan(book.size(), SIZE_MAX), ScanStatus::kDone);
    EXPECT_EQ(scan(200000, 3), ScanStatus::kDone);
}

TEST(LineFormat, BufferGrowsOnlyForLongLinesWithText) {
    std::size_t const block = 4096;
    auto const readAll = [&](std::string const& bytes) {
        MemorySource source(bytes, {});
        LineReader reader(source, block);
        std::size_t lines = 0;
        auto count = [&](std::string_view) { return ++lines != 0; };
        for (std::string_view run; reader.nextLines(run);) {
            EveryLine{}.forEachIn(run, count);
        }
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
