// The identifiers a lookup of many contacts asks for, as a hash set.
#ifndef VESNIK_CONTACTS_CONTACTIDSET_H
#define VESNIK_CONTACTS_CONTACTIDSET_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vesnik {

class ContactIdSet {
  public:
    // Views of the caller's strings, which must outlive the set; empty
    // entries are left out, as no column is empty, and repeated ones kept
    // once.
    explicit ContactIdSet(std::vector<std::string_view> const& ids);

    bool contains(std::string_view id) const;

    // Each identifier once, in the order first given.
    std::vector<std::string_view> const& ids() const { return ids_; }

  private:
    // The slot holding id, or the free slot where it would go.
    std::size_t slotOf(std::string_view id, std::uint64_t hash) const;

    std::vector<std::string_view> ids_;
    // Open addressing: a slot holds the low half of an identifier's hash (the
    // high bits choose the slot) in its high half, so that most mismatches
    // are seen without comparing text, and the identifier's index + 1 in its
    // low half (0 for a free slot).
    std::vector<std::uint64_t> slots_;
    unsigned slotShift_;  // the first slot to try is hash >> slotShift_
};

}  // namespace vesnik

#endif
