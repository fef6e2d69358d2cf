// The identifiers a lookup of many contacts asks for: a hash set, and a
// filter that finds where in a run of lines one of them may stand, so that
// only those lines are split.
#ifndef VESNIK_CONTACTS_CONTACTIDSET_H
#define VESNIK_CONTACTS_CONTACTIDSET_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vesnik {

class ContactIdSet {
  public:
    // Views of the caller's strings, which must outlive the set; null and
    // empty entries are left out, as no column is empty.
    explicit ContactIdSet(std::vector<char*> const& ids);

    bool contains(std::string_view id) const;

    // The first place in [begin, end) where a column that may be one of the
    // identifiers starts, or end. An identifier is never a line's first
    // column, so it stands right after a separator; there the column's first
    // bytes are looked up in a bitmap of the identifiers' first bytes.
    char const* find(char const* begin, char const* end) const;

  private:
    // The slot holding id, or the free slot where it would go.
    std::size_t slotOf(std::string_view id, std::uint64_t hash) const;
    void rememberFirstBytes();

    std::vector<std::string_view> ids_;
    // Open addressing: a slot holds the low half of an identifier's hash (the
    // high bits choose the slot) in its high half, so that most mismatches
    // are seen without comparing text, and the identifier's index + 1 in its
    // low half (0 for a free slot).
    std::vector<std::uint64_t> slots_;
    unsigned slotShift_;  // the first slot to try is hash >> slotShift_

    // When the identifiers begin with few different bytes, only separators
    // followed by one of them are looked at; otherwise every separator.
    static constexpr std::size_t kMaxFirstBytes = 4;
    unsigned char firstBytes_[kMaxFirstBytes] = {};
    bool firstBytesFew_ = true;

    // The bitmap holds the first prefixLength_ bytes (at most eight, and no
    // more than the shortest identifier has) of every identifier.
    std::size_t prefixLength_ = 8;
    std::vector<std::uint64_t> prefixBits_;
    unsigned prefixShift_;
};

}  // namespace vesnik

#endif
