#include "ReferenceFold.h"

#include <utf8proc.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>
#include <utility>

#include "FoldTable.h"

namespace vesnik::reference {

namespace {

template <typename Table>
char const* rewrite(Table const& table, utf8proc_int32_t codePoint) {
    for (auto const& entry : table) {
        if (static_cast<utf8proc_int32_t>(entry.codePoint) == codePoint) {
            return entry.ascii;
        }
    }
    return nullptr;
}

std::string foldCodePoint(utf8proc_int32_t codePoint, unsigned flags) {
    int options = 0;
    if ((flags & kFoldCase) != 0) {
        options |= UTF8PROC_CASEFOLD;
    }
    if ((flags & kFoldMarks) != 0) {
        options |= UTF8PROC_COMPAT | UTF8PROC_DECOMPOSE | UTF8PROC_STRIPMARK;
    }
    utf8proc_int32_t pieces[64];
    utf8proc_ssize_t const count = utf8proc_decompose_char(
        codePoint, pieces, 64, static_cast<utf8proc_option_t>(options), nullptr);
    if (count < 0 || count > 64) {
        throw std::logic_error("utf8proc_decompose_char failed");
    }
    std::string folded;
    for (utf8proc_ssize_t i = 0; i < count; ++i) {
        char const* ascii = nullptr;
        if ((flags & kFoldMarks) != 0) {
            ascii = rewrite(capi::kLettersWithoutDecomposition, pieces[i]);
        }
        if (ascii == nullptr && (flags & kFoldCase) != 0) {
            ascii = rewrite(capi::kApostrophes, pieces[i]);
        }
        if (ascii != nullptr) {
            folded += ascii;
            continue;
        }
        utf8proc_uint8_t bytes[4];
        folded.append(reinterpret_cast<char*>(bytes),
                      static_cast<std::size_t>(utf8proc_encode_char(pieces[i], bytes)));
    }
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
    }
    return folded;
}

}  // namespace

std::string fold(std::string_view bytes, unsigned flags) {
    std::string folded;
    auto const* at = reinterpret_cast<utf8proc_uint8_t const*>(bytes.data());
    auto left = static_cast<utf8proc_ssize_t>(bytes.size());
    while (left > 0) {
        utf8proc_int32_t codePoint = -1;
        utf8proc_ssize_t length = utf8proc_iterate(at, left, &codePoint);
        if (length > 0) {
            folded += foldCodePoint(codePoint, flags);
        } else {
            // Never an ASCII byte: those always decode.
            folded += static_cast<char>(*at);
            length = 1;
        }
        at += length;
        left -= length;
    }
    return folded;
}

CharacterKind characterKindOf(char32_t codePoint) {
    char const* const category = utf8proc_category_string(static_cast<utf8proc_int32_t>(codePoint));
    bool const separator = std::strcmp(category, "Zs") == 0 || std::strcmp(category, "Zl") == 0 ||
                           std::strcmp(category, "Zp") == 0;
    bool const asciiOrNel = codePoint == U' ' || codePoint == U'\t' || codePoint == U'\n' ||
                            codePoint == U'\v' || codePoint == U'\f' || codePoint == U'\r' ||
                            codePoint == 0x85;
    return {category[0] == 'L' || category[0] == 'N', separator || asciiOrNel};
}

std::vector<std::string> foldedWords(std::string const& text, unsigned flags) {
    std::string const folded = fold(text, flags);
    std::vector<std::string> words(1);
    auto const* at = reinterpret_cast<utf8proc_uint8_t const*>(folded.data());
    auto left = static_cast<utf8proc_ssize_t>(folded.size());
    while (left > 0) {
        utf8proc_int32_t codePoint = -1;
        utf8proc_ssize_t const length =
            std::max<utf8proc_ssize_t>(utf8proc_iterate(at, left, &codePoint), 1);
        if (codePoint >= 0 && characterKindOf(static_cast<char32_t>(codePoint)).whiteSpace) {
            words.emplace_back();
        } else {
            words.back().append(reinterpret_cast<char const*>(at),
                                static_cast<std::size_t>(length));
        }
        at += length;
        left -= length;
    }
    words.erase(std::remove(words.begin(), words.end(), std::string()), words.end());
    return words;
}

Records foldedSearch(std::string const& text, unsigned flags, Records const& records) {
    std::vector<std::string> const words = foldedWords(text, flags);
    // The same fields are asked about again and again: each is folded once.
    // One cache a thread: the driver asks from two at once.
    thread_local std::map<std::pair<unsigned, std::string>, std::string> foldedFields;
    if (foldedFields.size() > 100000) {
        foldedFields.clear();
    }
    auto const foldedField = [&](std::string const& field) -> std::string const& {
        auto const key = std::make_pair(flags, field);
        auto const known = foldedFields.find(key);
        return known != foldedFields.end()
                   ? known->second
                   : foldedFields.emplace(key, fold(field, flags)).first->second;
    };
    Records found;
    for (Fields const& record : records) {
        bool const matches = std::all_of(words.begin(), words.end(), [&](std::string const& word) {
            return std::any_of(record.begin(), record.begin() + 3, [&](Field const& field) {
                return field && foldedField(*field).find(word) != std::string::npos;
            });
        });
        if (matches) {
            found.push_back(record);
        }
    }
    return found;
}

}  // namespace vesnik::reference
