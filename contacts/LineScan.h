// The one scan loop that every query runs: the runs of lines a reader gives,
// in order, through a line filter.
#ifndef VESNIK_CONTACTS_LINESCAN_H
#define VESNIK_CONTACTS_LINESCAN_H

#include <string_view>

#include "ByteSource.h"
#include "LineReader.h"

namespace vesnik {

enum class ScanStatus {
    kDone,        // the scan went to the end, or onLine ended it
    kCannotOpen,  // the book is missing, unreadable or a directory
    kReadFailed,  // reading broke off part-way: what was seen is not the whole book
};

// How a scan ended, with the system's reason when it failed.
struct ScanOutcome {
    ScanStatus status;
    SystemError error = 0;

    bool done() const { return status == ScanStatus::kDone; }
};

// Hands the lines that filter lets through to onLine, until it returns false.
template <class Filter, class OnLine>
ScanOutcome scanLines(ByteSource& source, Filter const& filter, OnLine&& onLine,
                      std::size_t blockSize = LineReader::kBlockSize) {
    LineReader reader(source, blockSize);
    std::string_view lines;
    while (reader.nextLines(lines)) {
        if (!filter.forEachIn(lines, onLine)) {
            return {ScanStatus::kDone};
        }
    }
    return reader.failed() ? ScanOutcome{ScanStatus::kReadFailed, reader.failure()}
                           : ScanOutcome{ScanStatus::kDone};
}

}  // namespace vesnik

#endif
