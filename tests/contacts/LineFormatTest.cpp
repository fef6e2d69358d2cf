// How bytes become lines and columns, over many line shapes, read sizes and
// line filters, all in memory: a line must give the same columns however the
// reads split it and whichever filter lets it through.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "AsciiCase.h"
#include "ByteSource.h"
#include "ColumnWalk.h"
#include "ContactIdSet.h"
#include "IdColumnFilter.h"
#include "KeyFinder.h"
#include "LineFilters.h"
#include "LineScan.h"

namespace vesnik {
namespace {

struct ReadPattern {
    std::size_t mostPerRead = SIZE_MAX;
    bool interruptEveryOtherRead = false;
    std::size_t failAfter = SIZE_MAX;  // bytes read before the source breaks off
};

// Bytes in memory read as a troublesome file might be: a few bytes at a time,
// interrupted every other time, or breaking off.
class MemorySource final : public ByteSource {
  public:
    MemorySource(std::string_view bytes, ReadPattern pattern) : bytes_(bytes), pattern_(pattern) {}

    ReadResult read(char* into, std::size_t size) override {
        if (pattern_.interruptEveryOtherRead && (interrupted_ = !interrupted_)) {
            return {ReadStatus::kInterrupted, 0};
        }
        if (position_ == bytes_.size()) {
            return {ReadStatus::kEnd, 0};
        }
        if (position_ >= pattern_.failAfter) {
            return {ReadStatus::kFailed, 0};
        }
        std::size_t const count = std::min({size, pattern_.mostPerRead, bytes_.size() - position_,
                                            pattern_.failAfter - position_});
        std::memcpy(into, bytes_.data() + position_, count);
        position_ += count;
        return {ReadStatus::kData, count};
    }

  private:
    std::string_view bytes_;
    ReadPattern pattern_;
    std::size_t position_ = 0;
    bool interrupted_ = false;
};

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
                                   std::size_t blockSize, ReadPattern pattern) {
    std::vector<Record> records;
    MemorySource source(bytes, pattern);
    auto const status = scanLines(
        source, filter,
        [&](std::string_view text) {
            records.push_back(recordOf(text));
            return true;
        },
        blockSize);
    EXPECT_EQ(status.status, ScanStatus::kDone);
    return records;
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
         std::string(15, 'a') + "," + std::string(16, 'b') + "," + std::string(17, 'c') + "," +
             std::string(31, 'd') + "\t" + std::string(32, 'e') + "\n",
         {{std::string(15, 'a'), std::string(16, 'b'), std::string(17, 'c'), std::string(31, 'd'),
           std::string(32, 'e')}}},
        // Cut at a fixed length, the notes would leave a tail that looks like
        // a contact of its own.
        {"long notes column, one record",
         "a,b,c@d,K1," + std::string(595, 'n') + ",x,y,tail@example.org,K9\nf,g\n",
         {{"a", "b", "c@d", "K1", std::string(595, 'n')}, {"f", "g"}}},
        {"599 characters and LF", std::string(599, 'x') + "\n", {{std::string(599, 'x')}}},
        {"identifier over two blocks",
         "a,b,c," + std::string(300000, 'y') + ",z",
         {{"a", "b", "c", std::string(300000, 'y'), "z"}}},
        {"NUL past a grown buffer",
         std::string(5000, 'x') + ",y\0,K7\nf,g,h,K7\n"s,
         {{std::string(5000, 'x'), "y"}, {"f", "g", "h", "K7"}}},
        {"zeros, then a contact",
         std::string(300000, '\0') + "\nid,x,mail,K1\n",
         {{"id", "x", "mail", "K1"}}},
    };
    return shapes;
}

constexpr std::size_t kBlock = LineReader::kBlockSize;

// The records that remain of those given when keep is asked of each.
template <class Keep>
std::vector<Record> only(std::vector<Record> records, Keep const& keep) {
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [&](Record const& record) { return !keep(record); }),
                  records.end());
    return records;
}

// Every filter over every shape, however the reads split it: every line
// gives its record; the column walks give the column that columnAt gives and
// the columns that splitColumns gives; a key finder lets through every line
// with a column equal to its key, and the identifier filter every line with a
// wanted identifier, alone and among identifiers of many first bytes and
// lengths.
TEST(LineFormat, EveryFilterGivesTheRecordsOfEveryShapeWhateverTheReads) {
    std::vector<std::pair<char const*, ReadPattern>> const patterns = {
        {"whole reads", {}},
        {"one byte at a time, interrupted", {1, true}},
        {"seven bytes at a time", {7, false}},
    };
    for (auto const& shape : lineShapes()) {
        for (std::size_t blockSize : {std::size_t{1}, std::size_t{2}, std::size_t{3},
                                      std::size_t{7}, std::size_t{64}, std::size_t{4096}, kBlock}) {
            for (auto const& [patternName, pattern] : patterns) {
                SCOPED_TRACE(std::string(shape.name) + ", blocks of " + std::to_string(blockSize) +
                             ", " + patternName);
                auto const through = [&](auto const& filter) {
                    return recordsThrough(shape.bytes, filter, blockSize, pattern);
                };
                EXPECT_EQ(through(EveryLine{}), shape.expected);
                for (std::size_t index = 0; index < kColumnCount; ++index) {
                    std::vector<Record> records;
                    MemorySource source(shape.bytes, pattern);
                    scanLines(
                        source, LinesWithColumn{index},
                        [&](std::string_view text, std::string_view column) {
                            EXPECT_EQ(column, columnAt(text, index)) << "column " << index;
                            records.push_back(recordOf(text));
                            return true;
                        },
                        blockSize);
                    EXPECT_EQ(records, shape.expected) << "column " << index;
                }
                std::vector<Record> records;
                MemorySource source(shape.bytes, pattern);
                scanLines(
                    source, LinesWithColumns{},
                    [&](std::string_view text, Columns const& columns) {
                        EXPECT_EQ(columns, splitColumns(text));
                        records.push_back(recordOf(text));
                        return true;
                    },
                    blockSize);
                EXPECT_EQ(records, shape.expected) << "every column";
                for (auto const& record : shape.expected) {
                    for (auto const& column : record) {
                        for (auto const& [key, letterCase] :
                             {std::pair{column, LetterCase::kExact},
                              std::pair{asciiUpper(column), LetterCase::kFolded},
                              std::pair{column.substr(column.size() / 2), LetterCase::kExact}}) {
                            auto const holdsKey = [&, &key = key,
                                                   letterCase = letterCase](Record const& columns) {
                                return std::any_of(columns.begin(), columns.end(),
                                                   [&](std::string const& c) {
                                                       return (letterCase == LetterCase::kExact
                                                                   ? c
                                                                   : asciiUpper(c)) == key;
                                                   });
                            };
                            KeyFinder const finder(key, letterCase);
                            EXPECT_EQ(only(through(LinesHolding{finder}), holdsKey),
                                      only(shape.expected, holdsKey))
                                << "key " << key.substr(0, 20);
                        }
                    }
                    if (record.size() <= kContactIdColumn) {
                        continue;
                    }
                    // Wanted after four other first bytes, the line's
                    // identifier is one of more than the filter compares at
                    // once.
                    std::string_view const id = record[kContactIdColumn];
                    for (auto const& ids : {std::vector<std::string_view>{id},
                                            {"v1", "wx", "y", "zzzzzzzzzz", "Q", id}}) {
                        IdColumnFilter const filter(ContactIdSet(ids).ids());
                        auto const wanted = [&](Record const& columns) {
                            return columns.size() > kContactIdColumn &&
                                   std::count(ids.begin(), ids.end(), columns[kContactIdColumn]);
                        };
                        EXPECT_EQ(only(through(LinesHolding{filter}), wanted),
                                  only(shape.expected, wanted))
                            << ids.size() << " ids";
                    }
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
                         [&](std::string_view) { return ++lines < stopAfterLines; })
            .status;
    };
    for (std::size_t failAfter : {std::size_t{0}, std::size_t{1}, std::size_t{8191},
                                  std::size_t{8192}, std::size_t{200000}, book.size() - 1}) {
        EXPECT_EQ(scan(failAfter, SIZE_MAX), ScanStatus::kReadFailed) << failAfter;
    }
    EXPECT_EQ(scan(book.size(), SIZE_MAX), ScanStatus::kDone);
    EXPECT_EQ(scan(200000, 3), ScanStatus::kDone);
}

// However long a file, the buffer grows only for a line longer than a block,
// and not for a run of NULs, which has no text to hold.
TEST(LineFormat, BufferGrowsOnlyForLongLinesWithText) {
    std::size_t const block = 4096;
    auto const bufferAfter = [&](std::string const& bytes) {
        MemorySource source(bytes, {});
        LineReader reader(source, block);
        for (std::string_view run; reader.nextLines(run);) {
        }
        return reader.bufferSize();
    };
    std::string shortLines;
    for (std::size_t i = 0; i < 5 * block; ++i) {
        shortLines += "a\n";
    }
    EXPECT_EQ(bufferAfter(shortLines), block);
    EXPECT_EQ(bufferAfter("a,b" + std::string(50 * block, '\0')), block);
    EXPECT_GE(bufferAfter(std::string(5 * block, 'x') + "\n"), 5 * block);
}

}  // namespace
}  // namespace vesnik
