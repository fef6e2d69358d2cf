// A source's text as lines, however long: LF or CR LF ends one, and of a line
// longer than the limit only the start is kept, so that memory stays bounded
// and time linear in the input.
#ifndef VESNIK_TOOLS_IMPORT_LINESPLITTER_H
#define VESNIK_TOOLS_IMPORT_LINESPLITTER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "SourceBytes.h"

namespace vesnik::tool::import {

struct PhysicalLine {
    // Without its line end; valid until the next line is asked for.
    std::string_view text;
    // Only the start of the line is in text.
    bool cut = false;
    // The line's last byte, even when cut; 0 for an empty line.
    char last = 0;
    // Counted from 1.
    std::uint64_t number = 0;
};

class LineSplitter {
  public:
    LineSplitter(SourceBytes& source, std::size_t limit) : source_(source), limit_(limit) {}

    // False at the end.
    bool next(PhysicalLine& line);

  private:
    void keep(std::string_view part);

    SourceBytes& source_;
    std::size_t limit_;
    std::string_view piece_;
    std::string long_;
    bool cut_ = false;
    char last_ = 0;
    char previous_ = 0;
    std::uint64_t number_ = 0;
};

}  // namespace vesnik::tool::import

#endif
