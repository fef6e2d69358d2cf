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
    void rememberFirstBytes(std::vector<std::string_view> const& ids);

    bool empty_;
    // When the identifiers begin with few different bytes, only separators
    // followed by one of them are looked at; otherwise every separator.
    static constexpr std::size_t kMaxFirstBytes = 4;
    unsigned char firstBytes_[kMaxFirstBytes] = {};
    bool firstBytesFew_ = true;

    // Two bitmaps, each with about one bit in sixty-four set: a cheap one of
    // the identifiers' first prefixLength_ bytes (at most eight, and no more
    // than the shortest has), which rules most columns out where identifiers
    // differ early; and one of their whole hashes, for the columns it lets
    // through.
    std::size_t prefixLength_ = 8;
    std::vector<std::uint64_t> prefixBits_;
    std::vector<std::uint64_t> hashBits_;
    unsigned shift_;
};

}  // namespace vesnik

#endif
