#include "ContactList.h"

#include <algorithm>
#include <cstring>
#include <iterator>

static_assert(sizeof(vesnik_contact) == vesnik::kColumnCount * sizeof(char const*),
              "a contact is its five field pointers");

void vesnik_list::add(vesnik::Columns const& columns) {
    // The columns present come first, and each is a view into the same line.
    // So one copy of the bytes from the first column's start to the last
    // one's end holds them all, with a separator after each but the last:
    // that separator becomes its NUL.
    std::size_t present = 0;
    while (present < columns.size() && !columns[present].empty()) {
        ++present;
    }
    Entry& entry = *entries_.extend(1);
    std::fill(std::begin(entry.offsets), std::end(entry.offsets), kAbsent);
    if (present == 0) {
        return;
    }
    char const* const first = columns[0].data();
    std::string_view const last = columns[present - 1];
    auto const length = static_cast<std::size_t>(last.data() + last.size() - first);
    std::size_t const start = text_.size();
    char* const copy = text_.extend(length + 1);
    std::memcpy(copy, first, length);
    for (std::size_t i = 0; i < present; ++i) {
        auto const offset = static_cast<std::size_t>(columns[i].data() - first);
        entry.offsets[i] = start + offset;
        copy[offset + columns[i].size()] = '\0';
    }
}

void vesnik_list::append(vesnik_list const& other, std::size_t count, unsigned char tier) {
    std::size_t const shift = text_.size();
    count = std::min(count, other.entries_.size());
    if (count == 0) {
        return;
    }
    // Bytes of contacts not taken come along: no more than the list holds.
    // Contacts without fields have none at all.
    if (other.text_.size() != 0) {
        std::memcpy(text_.extend(other.text_.size()), other.text_.data(), other.text_.size());
    }
    Entry* const added = entries_.extend(count);
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t c = 0; c < vesnik::kColumnCount; ++c) {
            std::size_t const offset = other.entries_.data()[i].offsets[c];
            added[i].offsets[c] = offset == kAbsent ? kAbsent : offset + shift;
        }
    }
    std::memset(tiers_.extend(count), tier, count);
}

void vesnik_list::seal() {
    char const* const text = text_.data();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Entry& entry = entries_.data()[i];
        char const* fields[vesnik::kColumnCount];
        for (std::size_t c = 0; c < vesnik::kColumnCount; ++c) {
            fields[c] = entry.offsets[c] == kAbsent ? nullptr : text + entry.offsets[c];
        }
        entry.contact = {fields[0], fields[1], fields[2], fields[3], fields[4]};
    }
}
