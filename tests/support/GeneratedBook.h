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
    static std::string const kPieces[] = {"K1",
                                          "k1",
                                          "K",
                                          "1",
                                          "K1K1",
                                          "ann@x.org",
                                          "ANN@X.ORG",
                                          "Ann@x.Org",
                                          "ann@x.or",
                                          "nn@x.org",
                                          "x",
                                          " ",
                                          "\xe9@x",
                                          "\xc9@X",
                                          "\xe9",
                                          "\r",
                                          "\0"s,
                                          "ab",
                                          "AB",
                                          "ba",
                                          "aaab",
                                          "",
                                          "",
                                          "M\xc3\xbcller",
                                          "Mu\xcc\x88ller",
                                          "M\xc3\x9cLLER",
                                          "muller",
                                          "Stra\xc3\x9f"
                                          "e",
                                          "STRASSE",
                                          "\xe1\xba\x9e",
                                          "\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd",
                                          "\xd0\xb8\xd0\xb2\xd0\xb0\xd0\xbd",
                                          "\xcf\x82\xcf\x83\xce\xa3",
                                          "\xef\xac\x81",
                                          "\xef\xbc\xa1\xef\xbc\xa4\xef\xbc\xa1",
                                          "\xc5\x81\xc3\xb3"
                                          "d\xc5\xba",
                                          "O\xe2\x80\x99"
                                          "Brien",
                                          "o'brien",
                                          "\xcc\x88",
                                          "\xe2\x80",
                                          "\xc0\xaf",
                                          "\xed\xa0\x80",
                                          "\xe3\x80\x80",
                                          "\xc2\xa0",
                                          "\xef\xbc\x8c",
                                          "\xc3\x9f\xc3\x9f",
                                          "\xc2\xbd"};
    static std::string const kSeparators[] = {",", "\t", ",", "\t", ",\t", "\t,,", "", "", ""};
    static std::string const kEnds[] = {"\n", "\n", "\r\n", "\r\r\n", "\0\n"s, ""};
    std::string book;
    for (auto lines = random() % 24; lines > 0; --lines) {
        for (auto pieces = random() % 12; pieces > 0; --pieces) {
            book += kSeparators[random() % std::size(kSeparators)] +
                    kPieces[random() % std::size(kPieces)];
        }
        if (random() % 12 == 0) {
            book += "," + std::string(random() % 3 == 0 ? 130 * 1024 : 40, 'a') + "b";
        }
        book += kEnds[random() % std::size(kEnds)];
    }
    return book;
}

}  // namespace vesnik::test

#endif
