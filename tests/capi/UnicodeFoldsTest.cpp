// The C interface's folds against the plain reading: every code point in
// every mode, with the blocks first asked for by several threads at once; and
// a block whose making ran out of memory. The rule itself, on names as people
// write them, is held by the folded-search table of DifferentialTest.cpp.
#include <gtest/gtest.h>
#include <utf8proc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

#include "UnicodeFolds.h"
#include "reference/ReferenceFold.h"

namespace {

using namespace vesnik;
using capi::FoldMode;
using capi::UnicodeFolds;

constexpr FoldMode kModes[] = {FoldMode::kCase, FoldMode::kMarks, FoldMode::kCaseAndMarks};

std::string utf8Of(char32_t codePoint) {
    utf8proc_uint8_t bytes[4];
    auto const length = utf8proc_encode_char(static_cast<utf8proc_int32_t>(codePoint), bytes);
    return std::string(reinterpret_cast<char*>(bytes), static_cast<std::size_t>(length));
}

std::string foldIn(FoldBlock const& block, char32_t codePoint) {
    FoldedCodePoint const& entry = block.codePoints[codePoint & 0xFF];
    return (entry.traits & kFoldsToItself) != 0 ? utf8Of(codePoint)
                                                : block.text.substr(entry.offset, entry.length);
}

TEST(UnicodeFolds, EveryCodePointFoldsAsThePlainReadingFoldsIt) {
    for (FoldMode const mode : kModes) {
        SCOPED_TRACE(static_cast<unsigned>(mode));
        // Each thread reads every block it is handed, which must be the one
        // published.
        UnicodeFolds const fresh(mode);
        std::vector<std::vector<FoldBlock const*>> seen(4);
        std::vector<std::size_t> sums(seen.size());
        std::atomic<bool> go{false};
        std::vector<std::thread> threads;
        for (std::size_t t = 0; t < seen.size(); ++t) {
            threads.emplace_back([&, t] {
                while (!go.load()) {
                }
                for (std::uint32_t high = 0; high < kFoldBlockCount; ++high) {
                    FoldBlock const& block = fresh.block(high);
                    seen[t].push_back(&block);
                    for (FoldedCodePoint const& entry : block.codePoints) {
                        sums[t] += entry.offset + entry.length + entry.traits;
                    }
                }
            });
        }
        go = true;
        for (auto& thread : threads) {
            thread.join();
        }
        for (std::size_t t = 0; t < seen.size(); ++t) {
            ASSERT_EQ(seen[t], seen[0]) << "threads were handed different blocks";
            ASSERT_EQ(sums[t], sums[0]);
        }

        CodePointFolds const& kept = capi::unicodeFolds(mode);
        for (char32_t codePoint = 0; codePoint < 0x110000; ++codePoint) {
            std::string const own = utf8Of(codePoint);
            std::string const folded = reference::fold(own, static_cast<unsigned>(mode));
            FoldBlock const& block = *seen[0][codePoint >> 8];
            auto const traits = block.codePoints[codePoint & 0xFF].traits;
            auto const kind = reference::characterKindOf(codePoint);
            ASSERT_EQ(foldIn(block, codePoint), folded) << std::hex << codePoint;
            ASSERT_EQ(foldIn(kept.block(codePoint >> 8), codePoint), folded)
                << std::hex << codePoint;
            ASSERT_EQ((traits & kFoldsToItself) != 0, folded == own) << std::hex << codePoint;
            ASSERT_EQ((traits & kLetterOrDigit) != 0, kind.letterOrDigit) << std::hex << codePoint;
            ASSERT_EQ((traits & kWhiteSpace) != 0, kind.whiteSpace) << std::hex << codePoint;
            ASSERT_EQ(capi::codePointTraits(codePoint), traits & (kLetterOrDigit | kWhiteSpace));
        }
    }
}

#ifndef _WIN32
// How many more allocations succeed before one fails; below 0, all do. (On
// Windows the C++ runtime's DLL allocates with its own operator new, which a
// program cannot replace.)
std::atomic<int> allocationsBeforeFailing{-1};

TEST(UnicodeFolds, ABlockThatRanOutOfMemoryIsMadeWholeNextTime) {
    UnicodeFolds const fresh(FoldMode::kCaseAndMarks);
    // The block is had, its text is not.
    allocationsBeforeFailing = 1;
    EXPECT_THROW(fresh.block(0), std::bad_alloc);
    allocationsBeforeFailing = -1;
    FoldBlock const& block = fresh.block(0);
    for (char32_t codePoint = 0; codePoint < 0x100; ++codePoint) {
        EXPECT_EQ(foldIn(block, codePoint), reference::fold(utf8Of(codePoint), 3)) << codePoint;
    }
}
#endif

}  // namespace

#ifndef _WIN32
// GCC takes the free below for one of memory from the operator new it
// replaces.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
    if (allocationsBeforeFailing.load() >= 0 && allocationsBeforeFailing.fetch_sub(1) == 0) {
        throw std::bad_alloc();
    }
    if (void* const memory = std::malloc(size != 0 ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
#endif
