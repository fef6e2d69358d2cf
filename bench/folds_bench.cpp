// vesnik-folds-bench: what the C interface's folds cost, in CPU time. For
// each mode, the time to make every block and the heap they keep; then the
// time to fold a code point of names in each script through blocks already
// made, beside asking utf8proc for it each time.
#include <malloc.h>
#include <time.h>
#include <utf8proc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BookGenerator.h"
#include "UnicodeFolds.h"

namespace {

using namespace vesnik;
using capi::FoldMode;

constexpr FoldMode kModes[] = {FoldMode::kCase, FoldMode::kMarks, FoldMode::kCaseAndMarks};
constexpr char const* kModeNames[] = {"case", "marks", "case+marks"};
constexpr std::size_t kNames = 4096;
constexpr int kRounds = 200;
constexpr int kSamples = 5;

// This thread's CPU time, in seconds: what other work on the machine does
// not add to.
double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::size_t heapInUse() {
    struct mallinfo2 const info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A code point of the sample and where its UTF-8 stands there.
struct Decoded {
    char32_t codePoint;
    std::uint32_t offset;
    std::uint32_t length;
};

// Family and given names of kNames contacts in a script, space-separated.
std::string namesIn(std::string const& script) {
    bench::BookOptions options;
    options.script = script;
    std::string text;
    for (std::size_t number = 1; number <= kNames; ++number) {
        bench::SplitMix64 random(number, options.seed);
        bench::ScriptNames const& names = bench::namesFor(number, options);
        text += names.family[random.below(names.family.size())].written;
        text += ' ';
        text += names.given[random.below(names.given.size())].written;
        text += ' ';
    }
    return text;
}

std::vector<Decoded> decode(std::string const& text) {
    std::vector<Decoded> decoded;
    auto const* bytes = reinterpret_cast<utf8proc_uint8_t const*>(text.data());
    for (std::size_t at = 0; at < text.size();) {
        utf8proc_int32_t codePoint = 0;
        auto const length = utf8proc_iterate(
            bytes + at, static_cast<utf8proc_ssize_t>(text.size() - at), &codePoint);
        decoded.push_back({static_cast<char32_t>(codePoint), static_cast<std::uint32_t>(at),
                           static_cast<std::uint32_t>(length)});
        at += static_cast<std::size_t>(length);
    }
    return decoded;
}

// The least of a few samples of call(), which returns nanoseconds.
template <typename Call>
double leastOf(Call const& call) {
    double least = call();
    for (int sample = 1; sample < kSamples; ++sample) {
        least = std::min(least, call());
    }
    return least;
}

// Nanoseconds per code point to fold the sample through the blocks, the
// folded bytes copied out; asking for the block of every code point, or with
// the last one remembered.
double nanosecondsThroughBlocks(CodePointFolds const& folds, std::string const& text,
                                std::vector<Decoded> const& decoded, bool remembered) {
    // No fold is longer than 255 bytes.
    std::vector<char> folded(decoded.size() * 255);
    std::size_t end = 0;
    double const start = cpuSeconds();
    for (int round = 0; round < kRounds; ++round) {
        end = 0;
        std::uint32_t lastHigh = 0;
        FoldBlock const* last = &folds.block(0);
        for (Decoded const& at : decoded) {
            std::uint32_t const high = at.codePoint >> 8;
            if (!remembered || high != lastHigh) {
                last = &folds.block(high);
                lastHigh = high;
            }
            FoldBlock const& block = *last;
            FoldedCodePoint const& entry = block.codePoints[at.codePoint & 0xFF];
            bool const itself = (entry.traits & kFoldsToItself) != 0;
            char const* const from =
                itself ? text.data() + at.offset : block.text.data() + entry.offset;
            std::size_t const length = itself ? at.length : entry.length;
            std::memcpy(folded.data() + end, from, length);
            end += length;
        }
    }
    double const nanoseconds =
        (cpuSeconds() - start) * 1e9 / kRounds / static_cast<double>(decoded.size());
    // Read, so that the copying is kept.
    return end > folded.size() ? 0 : nanoseconds;
}

// The same with utf8proc asked for each code point (no table, no ASCII
// lower-casing): what the blocks save.
double nanosecondsThroughUtf8proc(FoldMode mode, std::vector<Decoded> const& decoded) {
    int options = 0;
    if ((static_cast<unsigned>(mode) & static_cast<unsigned>(FoldMode::kCase)) != 0) {
        options |= UTF8PROC_CASEFOLD;
    }
    if ((static_cast<unsigned>(mode) & static_cast<unsigned>(FoldMode::kMarks)) != 0) {
        options |= UTF8PROC_COMPAT | UTF8PROC_DECOMPOSE | UTF8PROC_STRIPMARK;
    }
    std::string folded;
    double const start = cpuSeconds();
    for (int round = 0; round < kRounds / 10; ++round) {
        folded.clear();
        for (Decoded const& at : decoded) {
            utf8proc_int32_t pieces[32];
            auto const count =
                utf8proc_decompose_char(static_cast<utf8proc_int32_t>(at.codePoint), pieces, 32,
                                        static_cast<utf8proc_option_t>(options), nullptr);
            for (utf8proc_ssize_t i = 0; i < std::min<utf8proc_ssize_t>(count, 32); ++i) {
                utf8proc_uint8_t bytes[4];
                folded.append(reinterpret_cast<char*>(bytes),
                              static_cast<std::size_t>(utf8proc_encode_char(pieces[i], bytes)));
            }
        }
    }
    return (cpuSeconds() - start) * 1e9 / (kRounds / 10) / static_cast<double>(decoded.size());
}

}  // namespace

int main() {
    std::printf("making every block of a mode (%u blocks, U+0000..U+10FFFF)\n", kFoldBlockCount);
    std::printf("%-11s %9s %10s %11s %13s\n", "mode", "ms", "heap KiB", "own blocks",
                "shared blocks");
    for (std::size_t m = 0; m < std::size(kModes); ++m) {
        std::size_t const heapBefore = heapInUse();
        double const start = cpuSeconds();
        // The heap it keeps counts the table of blocks too.
        auto const folds = std::make_unique<capi::UnicodeFolds>(kModes[m]);
        for (std::uint32_t high = 0; high < kFoldBlockCount; ++high) {
            folds->block(high);
        }
        double const seconds = (cpuSeconds() - start);
        std::size_t const heap = heapInUse() - heapBefore;
        std::map<FoldBlock const*, std::size_t> uses;
        for (std::uint32_t high = 0; high < kFoldBlockCount; ++high) {
            ++uses[&folds->block(high)];
        }
        std::size_t shared = 0;
        for (auto const& [block, count] : uses) {
            shared += count > 1 ? count : 0;
        }
        std::printf("%-11s %9.1f %10zu %11zu %13zu\n", kModeNames[m], seconds * 1e3, heap / 1024,
                    kFoldBlockCount - shared, shared);
    }

    std::printf(
        "\nfolding names, ns per code point: through blocks made, each asked for / the last "
        "remembered (asking utf8proc)\n");
    std::printf("%-9s", "script");
    for (char const* mode : kModeNames) {
        std::printf(" %27s", mode);
    }
    std::printf("\n");
    for (std::string const& script : bench::scripts()) {
        std::string const text = namesIn(script);
        std::vector<Decoded> const decoded = decode(text);
        std::printf("%-9s", script.c_str());
        for (FoldMode const mode : kModes) {
            CodePointFolds const& folds = capi::unicodeFolds(mode);
            nanosecondsThroughBlocks(folds, text, decoded, false);  // makes the blocks it needs
            std::printf(
                "   %6.2f /%6.2f (%7.2f)",
                leastOf([&] { return nanosecondsThroughBlocks(folds, text, decoded, false); }),
                leastOf([&] { return nanosecondsThroughBlocks(folds, text, decoded, true); }),
                leastOf([&] { return nanosecondsThroughUtf8proc(mode, decoded); }));
        }
        std::printf("\n");
    }
    return 0;
}
