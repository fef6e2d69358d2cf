#include "FoldedSearch.h"

#include "Bytes16.h"
#include "FoldedText.h"

namespace vesnik {

char const* findNonAscii(char const* begin, char const* end) {
    // An empty span may have no bytes at all to point to.
    if (begin == end) {
        return end;
    }
    // Most of a book is ASCII or most is not: 64 bytes are tested at once
    // before the byte itself is looked for.
    constexpr std::size_t kStride = 4 * bytes16::kWidth;
    while (static_cast<std::size_t>(end - begin) >= kStride &&
           bytes16::bitsOf(bytes16::load(begin) | bytes16::load(begin + 16) |
                           bytes16::load(begin + 32) | bytes16::load(begin + 48)) == 0) {
        begin += kStride;
    }
    // A byte's top bit is the bit Matches reads.
    auto const nonAscii = [](char const* bytes) { return bytes16::Matches(bytes16::load(bytes)); };
    return bytes16::findEach(begin, end, bytes16::kWidth, nonAscii,
                             [](char const*) { return false; });
}

namespace {

bool isAsciiColumnWord(SearchWord const& word) {
    std::string_view const bytes = word.upper();
    return findNonAscii(bytes.data(), bytes.data() + bytes.size()) == bytes.data() + bytes.size() &&
           canBeInAColumn(bytes);
}

std::vector<std::string_view> viewsOf(std::vector<SearchWord> const& words) {
    std::vector<std::string_view> views;
    for (SearchWord const& word : words) {
        views.push_back(word.upper());
    }
    return views;
}

std::size_t totalSize(std::vector<SearchWord> const& words) {
    std::size_t size = 0;
    for (SearchWord const& word : words) {
        size += word.upper().size();
    }
    return size;
}

}  // namespace

FoldedSearch::FoldedSearch(std::vector<SearchWord> const& words, CodePointFolds const& folds)
    : allOf_(viewsOf(words), totalSize(words)),
      folds_(folds),
      asciiLinesCanMatch_(std::all_of(words.begin(), words.end(), isAsciiColumnWord)),
      mayHoldWords_(words, folds) {
    if (asciiLinesCanMatch_ && !words.empty()) {
        firstWord_.emplace(words.front());
    }
}

bool FoldedSearch::matches(Columns const& columns) {
    std::string_view const span = searchedSpan(columns);
    char const* const end = span.data() + span.size();
    lastFolded_ = false;
    if (findNonAscii(span.data(), end) == end) {
        return asciiLinesCanMatch_ && allOf_.allIn(span, span.size());
    }
    // A TAB after each field: no word holds white space, so none stands
    // across two fields.
    folded_.clear();
    std::size_t ends[kEmailColumn + 1] = {};
    std::size_t present = 0;
    for (; present <= kEmailColumn && !columns[present].empty(); ++present) {
        appendFolded(columns[present], folds_, folded_);
        ends[present] = folded_.size();
        folded_ += '\t';
    }
    lastFolded_ = true;
    foldedColumns_ = columns;
    for (std::size_t i = 0, start = 0; i < present; start = ends[i] + 1, ++i) {
        foldedColumns_[i] = std::string_view(folded_).substr(start, ends[i] - start);
    }
    return allOf_.allIn(folded_, folded_.size());
}

}  // namespace vesnik
