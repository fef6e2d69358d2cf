// CSV records as spreadsheets and address books write them: cells separated by
// a comma or a semicolon; quoted cells with doubled quotes and line breaks
// inside; CR LF or LF between records; blank lines skipped. Memory stays
// bounded: only the cells asked for are kept, each up to a limit.
#ifndef VESNIK_TOOLS_IMPORT_CSVREADER_H
#define VESNIK_TOOLS_IMPORT_CSVREADER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "SourceBytes.h"

namespace vesnik::tool::import {

// A record keeps no more cells than this.
inline constexpr std::size_t kMostColumns = 1024;

struct CsvRecord {
    std::vector<std::string> cells;
    // The cells that were longer than the limit, and cut.
    std::vector<bool> cut;
    // Where it starts, counted from 1.
    std::uint64_t line = 0;
};

// The separator the first line uses most, a comma or a semicolon, quoted text
// left out.
char separatorOf(std::string_view firstBytes);

class CsvReader {
  public:
    CsvReader(SourceBytes& source, char separator) : source_(source), separator_(separator) {}

    // The next record; false at the end. Keeps cell i when i < keep.size()
    // and keep[i], cut to limit bytes; keep empty keeps every cell (up to
    // kMostColumns).
    bool next(CsvRecord& record, std::vector<bool> const& keep, std::size_t limit);

  private:
    enum class State { kCellStart, kPlain, kQuoted, kQuoteInQuoted };

    // False when c ended the record. A CR waits for the byte after it.
    bool consume(char c);
    bool take(char c);
    void append(char c);
    void endCell();

    SourceBytes& source_;
    char separator_;
    std::string_view piece_;
    State state_ = State::kCellStart;
    bool crPending_ = false;
    std::uint64_t line_ = 1;

    // The record being read.
    CsvRecord* record_ = nullptr;
    std::vector<bool> const* keep_ = nullptr;
    std::size_t limit_ = 0;
    std::size_t column_ = 0;
    bool empty_ = true;
};

}  // namespace vesnik::tool::import

#endif
