#include "SearchWords.h"

#include <algorithm>

#include "AsciiCase.h"
#include "LineFormat.h"

namespace vesnik {

std::vector<std::string_view> splitWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t const end = std::min(text.find_first_of(" \t", start), text.size());
        if (end > start) {
            words.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return words;
}

SearchWord::SearchWord(std::string_view word)
    : upper_(asciiUpper(word)), fallback_(upper_.size(), 0) {
    for (std::size_t i = 1, matched = 0; i < upper_.size(); ++i) {
        while (matched > 0 && upper_[i] != upper_[matched]) {
            matched = fallback_[matched - 1];
        }
        if (upper_[i] == upper_[matched]) {
            ++matched;
        }
        fallback_[i] = matched;
    }
}

bool SearchWord::canBeInAColumn() const {
    return std::none_of(upper_.begin(), upper_.end(),
                        [](char c) { return isSeparator(c) || c == '\0'; });
}

bool SearchWord::isIn(std::string_view text) const {
    if (upper_.empty() || text.size() < upper_.size()) {
        return upper_.empty();
    }
    std::size_t matched = 0;
    for (char const c : text) {
        char const upper = toAsciiUpper(c);
        while (matched > 0 && upper != upper_[matched]) {
            matched = fallback_[matched - 1];
        }
        if (upper == upper_[matched] && ++matched == upper_.size()) {
            return true;
        }
    }
    return false;
}

}  // namespace vesnik
