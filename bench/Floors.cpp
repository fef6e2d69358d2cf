#include "Floors.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace vesnik::bench {

namespace {

constexpr std::size_t kBlockSize = 128 * 1024;

// Hands every block of the file to take; false when the file cannot be read.
template <typename Take>
bool readBlocks(char const* path, Take take) {
    int const file = ::open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return false;
    }
    // Left uninitialised, as a reader's buffer would be.
    std::unique_ptr<char[]> const buffer(new char[kBlockSize]);
    ssize_t got = 0;
    while ((got = ::read(file, buffer.get(), kBlockSize)) > 0) {
        take(buffer.get(), static_cast<std::size_t>(got));
    }
    ::close(file);
    return got == 0;
}

std::size_t lineFeedsIn(char const* block, std::size_t size) {
    std::size_t count = 0;
    char const* const end = block + size;
    for (char const* at = block;; ++count) {
        auto const* lineFeed =
            static_cast<char const*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        if (lineFeed == nullptr) {
            return count;
        }
        at = lineFeed + 1;
    }
}

}  // namespace

std::optional<std::size_t> readWholeFile(char const* path) {
    std::size_t bytes = 0;
    if (!readBlocks(path, [&](char const*, std::size_t size) { bytes += size; })) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::size_t> countLineFeeds(char const* path) {
    std::size_t lineFeeds = 0;
    if (!readBlocks(path, [&](char const* block, std::size_t size) {
            lineFeeds += lineFeedsIn(block, size);
        })) {
        return std::nullopt;
    }
    return lineFeeds;
}

tool::LibraryIdList copyEveryLine(char const* path) {
    constexpr std::size_t kCopied = 8;
    auto* const list = new std::vector<char*>;
    tool::LibraryIdList copies(list);
    readBlocks(path, [&](char const* block, std::size_t size) {
        char const* const end = block + size;
        for (char const* at = block; at < end;) {
            auto const* lineFeed =
                static_cast<char const*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
            char const* const lineEnd = lineFeed != nullptr ? lineFeed : end;
            std::size_t const length = std::min(kCopied, static_cast<std::size_t>(lineEnd - at));
            auto* copy = static_cast<char*>(std::malloc(length + 1));
            if (copy == nullptr) {
                throw std::bad_alloc();
            }
            std::memcpy(copy, at, length);
            copy[length] = '\0';
            list->push_back(copy);
            at = lineEnd + 1;
        }
    });
    return copies;
}

}  // namespace vesnik::bench
