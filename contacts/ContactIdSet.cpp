#include "ContactIdSet.h"

#include <algorithm>
#include <cstring>

#include "Bytes16.h"

namespace vesnik {

namespace {

constexpr std::uint64_t kGoldenRatio = 0x9E3779B97F4A7C15u;

// Up to eight bytes of text as one word, the first byte lowest.
std::uint64_t wordOf(char const* bytes, std::size_t count) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, count);
    return word;
}

// A hash that reads at most sixteen bytes: the first eight and the last
// eight. Identifiers differ in those, and the table compares whole ones.
std::uint64_t quickHash(std::string_view id) {
    std::size_t const size = id.size();
    std::uint64_t const head = wordOf(id.data(), size < 8 ? size : 8);
    std::uint64_t const tail = size > 8 ? wordOf(id.data() + size - 8, 8) : 0;
    std::uint64_t hash = (head ^ (size * kGoldenRatio)) * 0xBF58476D1CE4E5B9u;
    hash ^= tail * 0x94D049BB133111EBu;
    return hash ^ (hash >> 29);
}

// The smallest power of two, at least minimum, that is at least count *
// perEntry; shift is 64 less its number of bits.
std::size_t tableSize(std::size_t count, std::size_t perEntry, std::size_t minimum,
                      unsigned& shift) {
    std::size_t size = minimum;
    shift = 64;
    for (std::size_t s = size; s > 1; s /= 2) {
        --shift;
    }
    while (size < count * perEntry) {
        size *= 2;
        --shift;
    }
    return size;
}

}  // namespace

ContactIdSet::ContactIdSet(std::vector<char*> const& ids) {
    // A quarter of the slots in use at most keeps the probes short.
    slots_.resize(tableSize(ids.size(), 4, 16, slotShift_));
    for (char const* id : ids) {
        if (id == nullptr || *id == '\0') {
            continue;
        }
        std::uint64_t const hash = quickHash(id);
        std::uint64_t& slot = slots_[slotOf(id, hash)];
        if (slot == 0) {
            ids_.emplace_back(id);
            slot = hash << 32 | ids_.size();
            prefixLength_ = std::min(prefixLength_, ids_.back().size());
        }
    }
    rememberFirstBytes();
    // About one bit in sixty-four set lets few columns through.
    prefixBits_.resize(tableSize(ids_.size(), 64, 4096, prefixShift_) / 64);
    for (auto const id : ids_) {
        auto const bit = static_cast<std::size_t>(wordOf(id.data(), prefixLength_) * kGoldenRatio >>
                                                  prefixShift_);
        prefixBits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
}

std::size_t ContactIdSet::slotOf(std::string_view id, std::uint64_t hash) const {
    std::size_t const mask = slots_.size() - 1;
    for (auto slot = static_cast<std::size_t>(hash >> slotShift_);; slot = (slot + 1) & mask) {
        std::uint64_t const entry = slots_[slot];
        if (entry == 0 || (entry >> 32 == (hash & 0xFFFFFFFFu) &&
                           ids_[static_cast<std::uint32_t>(entry) - 1] == id)) {
            return slot;
        }
    }
}

bool ContactIdSet::contains(std::string_view id) const {
    return !id.empty() && slots_[slotOf(id, quickHash(id))] != 0;
}

void ContactIdSet::rememberFirstBytes() {
    std::size_t count = 0;
    for (auto const id : ids_) {
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

char const* ContactIdSet::find(char const* begin, char const* end) const {
    if (ids_.empty()) {
        return end;
    }
    // Copies, so that the loop keeps them in registers.
    std::size_t const prefixLength = prefixLength_;
    std::uint64_t const prefixMask =
        prefixLength == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * prefixLength)) - 1;
    unsigned const shift = prefixShift_;
    std::uint64_t const* const bits = prefixBits_.data();
    auto const mayStartAt = [&](char const* column) {
        auto const available = static_cast<std::size_t>(end - column);
        if (available < prefixLength) {
            return false;
        }
        // A whole word is read wherever the run has one.
        std::uint64_t const word =
            available >= 8 ? wordOf(column, 8) : wordOf(column, prefixLength);
        std::uint64_t const prefix = word & prefixMask;
        auto const bit = static_cast<std::size_t>(prefix * kGoldenRatio >> shift);
        return (bits[bit / 64] >> (bit % 64) & 1) != 0;
    };

    auto const comma = bytes16::splat(',');
    auto const tab = bytes16::splat('\t');
    bytes16::Block first[kMaxFirstBytes];
    for (std::size_t i = 0; i < kMaxFirstBytes; ++i) {
        first[i] = bytes16::splat(firstBytes_[i]);
    }
    bool const firstBytesFew = firstBytesFew_;
    char const* position = begin;
    // Each block is read again one byte on, for the bytes after its
    // separators.
    for (; end - position > static_cast<std::ptrdiff_t>(bytes16::kWidth);
         position += bytes16::kWidth) {
        auto const block = bytes16::load(position);
        auto separators = (block == comma) | (block == tab);
        if (firstBytesFew) {
            auto const next = bytes16::load(position + 1);
            separators &=
                (next == first[0]) | (next == first[1]) | (next == first[2]) | (next == first[3]);
        }
        for (bytes16::Matches candidates(separators); candidates.any();) {
            char const* const column = position + candidates.takeFirst() + 1;
            if (mayStartAt(column)) {
                return column;
            }
        }
    }
    for (; position < end; ++position) {
        if ((*position == ',' || *position == '\t') && mayStartAt(position + 1)) {
            return position + 1;
        }
    }
    return end;
}

}  // namespace vesnik
