// The list a lookup hands its caller: its contacts, and every byte of their
// fields in one block of text, so that a million contacts cost two growing
// allocations rather than millions of small ones.
#ifndef VESNIK_CAPI_CONTACTLIST_H
#define VESNIK_CAPI_CONTACTLIST_H

#include <cstddef>

#include "Columns.h"
#include "GrowingArray.h"
#include "vesnik.h"

struct vesnik_list {
  public:
    // Copies one line's columns in. Throws std::bad_alloc when memory runs
    // out; the list is then fit only to be freed.
    void add(vesnik::Columns const& columns);

    // Copies in the first count contacts of other, before either is sealed,
    // each with tier as its rank. Throws as add does.
    void append(vesnik_list const& other, std::size_t count, unsigned char tier);

    // Points every contact's fields into the text, which must not grow after
    // this: call it once, when the last line is in.
    void seal();

    std::size_t size() const { return entries_.size(); }
    // The rank a ranked search gave the contact; 0 for other lists.
    int tier(std::size_t index) const { return index < tiers_.size() ? tiers_.data()[index] : 0; }
    vesnik_contact const* at(std::size_t index) const {
        return index < entries_.size() ? &entries_.data()[index].contact : nullptr;
    }

  private:
    // While the text still grows and may move, a contact holds its fields'
    // offsets in it; seal turns them into pointers in place.
    union Entry {
        std::size_t offsets[vesnik::kColumnCount];
        vesnik_contact contact;
    };
    static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

    vesnik::capi::GrowingArray<char> text_;
    vesnik::capi::GrowingArray<Entry> entries_;
    // Empty unless the list is ranked.
    vesnik::capi::GrowingArray<unsigned char> tiers_;
};

#endif
