#include "BookFile.h"

#include <algorithm>

#include "FileSource.h"

namespace vesnik {

ScanOutcome runQueryOnFile(char const* path, Query const& query, OnMatch onMatch,
                           FunctionRef<void(std::uint64_t)> onOpened) {
    FileSource file(path);
    if (!file.isOpen()) {
        return {ScanStatus::kCannotOpen, file.openError()};
    }
    onOpened(file.size());
    return runQuery(file, query, onMatch);
}

ScanOutcome runQueryOnFile(char const* path, Query const& query, OnMatch onMatch) {
    return runQueryOnFile(path, query, onMatch, [](std::uint64_t) {});
}

std::size_t expectedLines(std::uint64_t bookSize) {
    // A contact's line seldom takes fewer bytes than this.
    constexpr std::uint64_t kShortLine = 48;
    constexpr std::uint64_t kMostLines = std::uint64_t{1} << 20;
    return static_cast<std::size_t>(std::min(bookSize / kShortLine, kMostLines));
}

}  // namespace vesnik
