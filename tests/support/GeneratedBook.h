// Address books from a seed, for comparing the library with the plain
// reading: lines of keys, near misses of them and the same in other letter
// case, bytes outside ASCII (0xc9 and 0xe9 differ only in the bit that folds
// ASCII letters), names that fold alike in Unicode (other case, decomposed,
// compatibility forms, letters of the fold's own table), marks alone, cut,
// overlong and surrogate sequences, wide spaces and commas, CRs and NULs, between runs of
// separators, with every kind of line end, the last line without one at times; and runs of one
// letter ending otherwise, some longer than the library's largest read, so that matches lie in
// different reads.
#ifndef VESNIK_TESTS_SUPPORT_GENERATEDBOOK_H
#define VESNIK_TESTS_SUPPORT_GENERATEDBOOK_H

#include <iterator>
#include <random>
#include <string>

namespace vesnik::test {

inline std::string generatedBook(std::mt19937& random) {
    using namespace std::string_literals;
    static std::string const kPieces[] = {
        "K1", "k1", "K", "1", "K1K1", "ann@x.org", "ANN@X.ORG", "Ann@x.Org", "ann@x.or", "nn@x.org",
        "x", " ", "\xe9@x", "\xc9@X", "\xe9", "\r", "\0"s, "ab", "AB", "ba", "aaab", "", "",
        // Identifiers a block long or longer, alike but for their middle.
        "CUST-01-EU-WEST", "CUST-0001-EU-WEST", "CUST-0002-EU-WEST"};
    // clang-format off
    static std::string const kFoldingPieces[] = {
        "M\u00fcller", "Mu\u0308ller", "M\u00dcLLER", "muller", "Stra\u00dfe", "STRASSE",
        "\u1e9e", "\u0418\u0432\u0430\u043d", "\u0438\u0432\u0430\u043d", "\u03c2\u03c3\u03a3",
        "\ufb01", "\uff21\uff24\uff21", "\u0141\u00f3d\u017a", "O\u2019Brien", "o'brien",
        "\u0308", "\xe2\x80", "\xc0\xaf", "\xed\xa0\x80", "\u3000", "\u00a0", "\uff0c"};
    // clang-format on
    static std::string const kSeparators[] = {",", "\t", ",", "\t", ",\t", "\t,,", "", "", ""};
    static std::string const kEnds[] = {"\n", "\n", "\r\n", "\r\r\n", "\0\n"s, ""};
    std::string book;
    for (auto lines = random() % 24; lines > 0; --lines) {
        for (auto pieces = random() % 12; pieces > 0; --pieces) {
            std::size_t const piece = random() % (std::size(kPieces) + std::size(kFoldingPieces));
            book += kSeparators[random() % std::size(kSeparators)] +
                    (piece < std::size(kPieces) ? kPieces[piece]
                                                : kFoldingPieces[piece - std::size(kPieces)]);
        }
        if (random() % 12 == 0) {
            book += "," + std::string(random() % 3 == 0 ? 130 * 1024 : 40, 'a') + "b";
        }
        book += kEnds[random() % std::size(kEnds)];
        // Now and then identifiers alike but for their middle, many of them
        // near misses of a key that a finder learns to tell apart.
        for (auto alike = random() % 16 == 0 ? 24 : 0; alike > 0; --alike) {
            book += "x,y,z,CUST-" + std::to_string(1000 + random() % 9000) + "-EU-WEST\n";
        }
    }
    return book;
}

}  // namespace vesnik::test

#endif
