#include "IdColumnFilter.h"

#include <algorithm>

#include "Bytes16.h"
#include "Hashing.h"
#include "LineFormat.h"

namespace vesnik {

IdColumnFilter::IdColumnFilter(std::vector<std::string_view> const& ids) : empty_(ids.empty()) {
    rememberFirstBytes(ids);
    for (auto const id : ids) {
        prefixLength_ = std::min(prefixLength_, id.size());
    }
    std::size_t const words = tableSize(ids.size(), 64, 4096, shift_) / 64;
    prefixBits_.resize(words);
    hashBits_.resize(words);
    auto const set = [this](std::vector<std::uint64_t>& bits, std::uint64_t hash) {
        auto const bit = static_cast<std::size_t>(hash >> shift_);
        bits[bit / 64] |= std::uint64_t{1} << (bit % 64);
    };
    for (auto const id : ids) {
        set(prefixBits_, wordOf(id.data(), prefixLength_) * kGoldenRatio);
        set(hashBits_, hashOf(id));
    }
}

void IdColumnFilter::rememberFirstBytes(std::vector<std::string_view> const& ids) {
    std::size_t count = 0;
    for (auto const id : ids) {
        auto const first = static_cast<unsigned char>(id.front());
        if (std::find(firstBytes_, firstBytes_ + count, first) != firstBytes_ + count) {
            continue;
        }
        if (count == kMaxFirstBytes) {
            firstBytesFew_ = false;
            return;
        }
        firstBytes_[count++] = first;
    }
    // Unused entries repeat the first, so all of them can be compared.
    std::fill(firstBytes_ + count, firstBytes_ + kMaxFirstBytes, firstBytes_[0]);
}

char const* IdColumnFilter::find(char const* begin, char const* end) const {
    if (empty_) {
        return end;
    }
    // Copies, so that the loop keeps them in registers.
    unsigned const shift = shift_;
    std::size_t const prefixLength = prefixLength_;
    std::uint64_t const prefixMask =
        prefixLength == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * prefixLength)) - 1;
    auto const isSet = [shift](std::vector<std::uint64_t> const& bits, std::uint64_t hash) {
        auto const bit = static_cast<std::size_t>(hash >> shift);
        return (bits[bit / 64] >> (bit % 64) & 1) != 0;
    };
    auto const columnEndings = [](char const* bytes) {
        return bytes16::Matches(columnEndsIn(bytes16::load(bytes)));
    };
    auto const mayBeAnId = [&](char const* column) {
        auto const available = static_cast<std::size_t>(end - column);
        if (available < prefixLength) {
            return false;
        }
        // A whole word is read wherever the run has one.
        std::uint64_t const word = wordOf(column, std::min(available, std::size_t{8}));
        if (!isSet(prefixBits_, (word & prefixMask) * kGoldenRatio)) {
            return false;
        }
        // The column ends where its text does: at a separator, a line end or
        // a NUL; a CR LF line end leaves its CR out.
        char const* const columnEnd = bytes16::findEach(column, end, bytes16::kWidth, columnEndings,
                                                        [](char const*) { return false; });
        std::string_view text(column, static_cast<std::size_t>(columnEnd - column));
        if (columnEnd != end && *columnEnd == kLineFeed) {
            text = withoutCarriageReturn(text);
        }
        return !text.empty() && isSet(hashBits_, hashOf(text));
    };

    bytes16::Block first[kMaxFirstBytes];
    for (std::size_t i = 0; i < kMaxFirstBytes; ++i) {
        first[i] = bytes16::splat(firstBytes_[i]);
    }
    bool const firstBytesFew = firstBytesFew_;
    // A separator counts only when the byte after it may begin an
    // identifier, so each block is read again one byte on.
    auto const separators = [&](char const* bytes) {
        auto candidates = columnSeparatorsIn(bytes16::load(bytes));
        if (firstBytesFew) {
            auto const next = bytes16::load(bytes + 1);
            candidates &=
                (next == first[0]) | (next == first[1]) | (next == first[2]) | (next == first[3]);
        }
        return bytes16::Matches(candidates);
    };
    char const* const found = bytes16::findEach(begin, end, bytes16::kWidth + 1, separators,
                                                [&](char const* at) { return !mayBeAnId(at + 1); });
    return found == end ? end : found + 1;
}

}  // namespace vesnik
