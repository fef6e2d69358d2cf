// Finds, in a run of lines, the places where a column may be one of a set of
// identifiers, so that only those lines are split and looked up.
#ifndef VESNIK_CONTACTS_IDCOLUMNFILTER_H
#define VESNIK_CONTACTS_IDCOLUMNFILTER_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vesnik {

class IdColumnFilter {
  public:
    explicit IdColumnFilter(std::vector<std::string_view> const& ids);

    // The first place in [begin, end) where a column that may be one of the
    // identifiers starts, or end. An identifier is never a line's first
    // column, so it stands right after a column separator; there the whole
    // column's hash is looked up in a bitmap of the identifiers' hashes, so
    // the filter is as strong whatever the identifiers have in common.
    char const* find(char const* begin, char const* end) const;

  private:
    void chooseProbe(std::vector<std::string_view> const& ids);
    void chooseWindow(std::vector<std::string_view> const& ids);
    bool blockMayBeAnId(char const* bytes, char const* column, char const* end) const;
    bool mayBeAnIdNearEnd(char const* column, char const* end) const;
    bool isSet(std::vector<std::uint64_t> const& bits, std::uint64_t hash) const;

    bool empty_;
    // When the identifiers' bytes at probeOffset_ take few values, only
    // separators followed that far on by one of them are looked at;
    // otherwise every separator. Of such offsets the one whose bytes are
    // rarest in a line is taken.
    static constexpr std::size_t kMaxProbeBytes = 4;
    unsigned char probeBytes_[kMaxProbeBytes] = {};
    std::size_t probeOffset_ = 0;
    bool probeFew_ = false;

    // A column shorter than a block is hashed whole at once. A longer one can
    // only be one of the long identifiers: eight of its bytes from
    // windowOffset_ on, where those identifiers differ most, are looked up
    // in a bitmap of theirs first, and only a column found there is read to
    // its end and hashed. Each bitmap has about one bit in sixty-four set.
    std::size_t windowOffset_ = 0;
    bool anyLong_ = false;
    std::vector<std::uint64_t> windowBits_;
    std::vector<std::uint64_t> hashBits_;
    unsigned shift_;
};

}  // namespace vesnik

#endif
