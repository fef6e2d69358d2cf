#include "ContactIdSet.h"

#include "Hashing.h"

namespace vesnik {

ContactIdSet::ContactIdSet(std::vector<std::string_view> const& ids) {
    // A quarter of the slots in use at most keeps the probes short.
    slots_.resize(tableSize(ids.size(), 4, 16, slotShift_));
    for (std::string_view const id : ids) {
        if (id.empty()) {
            continue;
        }
        std::uint64_t const hash = hashOf(id);
        std::uint64_t& slot = slots_[slotOf(id, hash)];
        if (slot == 0) {
            ids_.push_back(id);
            slot = hash << 32 | ids_.size();
        }
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
    return !id.empty() && slots_[slotOf(id, hashOf(id))] != 0;
}

}  // namespace vesnik
