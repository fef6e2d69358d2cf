#include "IdColumnFilter.h"

#include <algorithm>

#include "ByteRarity.h"
#include "Bytes16.h"
#include "Hashing.h"
#include "LineFormat.h"

namespace vesnik {

namespace {

// A column with no end among its first sixteen bytes holds at least fifteen:
// the sixteenth may be the CR of a CR LF line end.
constexpr std::size_t kLongLength = bytes16::kWidth - 1;
constexpr std::size_t kWindow = 8;
constexpr std::size_t kLastWindowOffset = kLongLength - kWindow;
// The probe stands within a block's reach of the separator.
constexpr std::size_t kProbeSpan = bytes16::kWidth;
// Enough identifiers to tell where they differ.
constexpr std::size_t kWindowSample = 4096;

}  // namespace

IdColumnFilter::IdColumnFilter(std::vector<std::string_view> const& ids) : empty_(ids.empty()) {
    chooseProbe(ids);
    chooseWindow(ids);
    std::size_t const words = tableSize(ids.size(), 64, 4096, shift_) / 64;
    windowBits_.resize(words);
    hashBits_.resize(words);
    auto const set = [this](std::vector<std::uint64_t>& bits, std::uint64_t hash) {
        auto const bit = static_cast<std::size_t>(hash >> shift_);
        bits[bit / 64] |= std::uint64_t{1} << (bit % 64);
    };
    for (auto const id : ids) {
        if (id.size() >= kLongLength) {
            set(windowBits_, wordOf(id.data() + windowOffset_, kWindow) * kGoldenRatio);
        }
        set(hashBits_, hashOf(id));
    }
}

void IdColumnFilter::chooseProbe(std::vector<std::string_view> const& ids) {
    std::size_t shortest = kProbeSpan;
    for (auto const id : ids) {
        shortest = std::min(shortest, id.size());
    }
    int best = kCommonerThanAnyByte;
    for (std::size_t offset = 0; offset < shortest; ++offset) {
        unsigned char bytes[kMaxProbeBytes];
        std::size_t count = 0;
        for (auto const id : ids) {
            auto const byte = static_cast<unsigned char>(id[offset]);
            if (std::find(bytes, bytes + count, byte) != bytes + count) {
                continue;
            }
            if (count == kMaxProbeBytes) {
                count = 0;
                break;
            }
            bytes[count++] = byte;
        }
        int commonness = 0;
        for (std::size_t i = 0; i < count; ++i) {
            commonness = std::max(commonness,
                                  byteCommonness(static_cast<char>(bytes[i]), LetterCase::kExact));
        }
        if (count > 0 && commonness < best) {
            best = commonness;
            probeFew_ = true;
            probeOffset_ = offset;
            // Unused entries repeat the first, so all of them can be compared.
            std::fill(std::copy(bytes, bytes + count, probeBytes_), probeBytes_ + kMaxProbeBytes,
                      bytes[0]);
        }
    }
}

void IdColumnFilter::chooseWindow(std::vector<std::string_view> const& ids) {
    std::vector<std::string_view> sample;
    for (auto const id : ids) {
        if (id.size() >= kLongLength && sample.size() < kWindowSample) {
            sample.push_back(id);
        }
    }
    anyLong_ = !sample.empty();
    std::size_t mostKinds = 0;
    std::vector<std::uint64_t> words(sample.size());
    for (std::size_t offset = 0; offset <= kLastWindowOffset && mostKinds < sample.size();
         ++offset) {
        std::transform(sample.begin(), sample.end(), words.begin(), [offset](std::string_view id) {
            return wordOf(id.data() + offset, kWindow);
        });
        std::sort(words.begin(), words.end());
        auto const kinds =
            static_cast<std::size_t>(std::unique(words.begin(), words.end()) - words.begin());
        if (kinds > mostKinds) {
            mostKinds = kinds;
            windowOffset_ = offset;
        }
    }
}

bool IdColumnFilter::isSet(std::vector<std::uint64_t> const& bits, std::uint64_t hash) const {
    auto const bit = static_cast<std::size_t>(hash >> shift_);
    return (bits[bit / 64] >> (bit % 64) & 1) != 0;
}

// Whether the column at column, whose first sixteen bytes are at bytes,
// may be one of the identifiers.
inline bool IdColumnFilter::blockMayBeAnId(char const* bytes, char const* column,
                                           char const* end) const {
    std::uint64_t const low = wordOf(bytes, 8);
    std::uint64_t const high = wordOf(bytes + 8, 8);
    // The column ends where its text does: at a separator, a line end or a
    // NUL; a CR LF line end leaves its CR out.
    if (std::uint32_t const ends = bytes16::bitsOf(columnEndsIn(bytes16::load(bytes)))) {
        auto length = static_cast<std::size_t>(__builtin_ctz(ends));
        if (length > 0 && bytes[length] == kLineFeed && bytes[length - 1] == kCarriageReturn) {
            --length;
        }
        return length > 0 && isSet(hashBits_, hashOfShort(low, high, length));
    }
    std::uint64_t const window = wordOf(bytes + windowOffset_, kWindow);
    if (!anyLong_ || !isSet(windowBits_, window * kGoldenRatio)) {
        return false;
    }
    auto const columnEndings = [](char const* block) {
        return bytes16::Matches(columnEndsIn(bytes16::load(block)));
    };
    char const* const columnEnd =
        bytes16::findEach(column + bytes16::kWidth, end, bytes16::kWidth, columnEndings,
                          [](char const*) { return false; });
    std::string_view text(column, static_cast<std::size_t>(columnEnd - column));
    if (columnEnd != end && *columnEnd == kLineFeed) {
        text = withoutCarriageReturn(text);
    }
    return isSet(hashBits_, hashOf(text));
}

// Near the run's end the column's first block is a copy padded with zeros,
// where the padding ends the column as a NUL would.
bool IdColumnFilter::mayBeAnIdNearEnd(char const* column, char const* end) const {
    char padded[bytes16::kWidth] = {};
    std::copy(column, end, padded);
    return blockMayBeAnId(padded, column, end);
}

char const* IdColumnFilter::find(char const* begin, char const* end) const {
    if (empty_) {
        return end;
    }
    // Copies, so that the loop keeps them in registers.
    bytes16::Block probe[kMaxProbeBytes];
    for (std::size_t i = 0; i < kMaxProbeBytes; ++i) {
        probe[i] = bytes16::splat(probeBytes_[i]);
    }
    bool const probeFew = probeFew_;
    std::size_t const probeOffset = probeOffset_;
    // A separator counts only when the byte probeOffset_ after the next may
    // be an identifier's there, so each block is read again that far on.
    auto const separators = [&](char const* bytes) {
        auto candidates = columnSeparatorsIn(bytes16::load(bytes));
        if (probeFew) {
            auto const next = bytes16::load(bytes + 1 + probeOffset);
            candidates &=
                (next == probe[0]) | (next == probe[1]) | (next == probe[2]) | (next == probe[3]);
        }
        return bytes16::Matches(candidates);
    };
    auto const mayBeAnId = [this, end](char const* column) {
        return static_cast<std::size_t>(end - column) >= bytes16::kWidth
                   ? blockMayBeAnId(column, column, end)
                   : mayBeAnIdNearEnd(column, end);
    };
    // Wide blocks do not pay here: an identifier stands in every line, and
    // each is a candidate.
    char const* const found =
        bytes16::findEach(begin, end, bytes16::kWidth + 1 + probeOffset, separators,
                          [&](char const* at) { return !mayBeAnId(at + 1); });
    return found == end ? end : found + 1;
}

}  // namespace vesnik
