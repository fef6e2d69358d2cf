// vesnik_search against the plain reading in tests/reference: at every limit
// over generated books and over books where a search could go wrong; then
// what it answers when it cannot.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "reference/ReferenceBook.h"
#include "support/TempFiles.h"
#include "vesnik.h"

namespace vesnik::test {
namespace {

namespace ref = vesnik::reference;
using namespace std::string_literals;

// A search's status and contacts, spelled as the plain reading spells records.
using Answer = std::pair<int, ref::Records>;

Answer search(std::string const& book, char const* text, std::size_t limit) {
    vesnik_list* list = reinterpret_cast<vesnik_list*>(&list);  // the call must set it
    Answer answer{vesnik_search(book.c_str(), text, limit, &list), {}};
    if (answer.first != VESNIK_OK) {
        EXPECT_EQ(list, nullptr);
        return answer;
    }
    for (std::size_t i = 0; i < vesnik_list_size(list); ++i) {
        vesnik_contact const* c = vesnik_list_at(list, i);
        ref::Fields& fields = answer.second.emplace_back();
        for (char const* field : {c->field1, c->field2, c->email, c->contact_id, c->field5}) {
            fields.push_back(field != nullptr ? ref::Field(field) : std::nullopt);
        }
    }
    vesnik_list_free(list);
    return answer;
}

// Each text with no limit, and stopping at the first, second and third match.
void expectSameSearches(std::string const& path, std::vector<std::string> const& texts) {
    ref::Book const book = ref::readBook(path);
    for (std::string const& text : texts) {
        std::optional<ref::Records> const matches = ref::search(text, book);
        for (std::size_t const limit : {0u, 1u, 2u, 3u}) {
            Answer want{matches ? VESNIK_OK : VESNIK_ERROR_OPEN, matches.value_or(ref::Records())};
            want.second.resize(limit != 0 ? std::min(limit, want.second.size())
                                          : want.second.size());
            ASSERT_EQ(search(path, text.c_str(), limit), want)
                << "text " << ::testing::PrintToString(text) << ", limit " << limit;
        }
    }
}

// Short pieces that overlap one another, in either letter case and outside
// ASCII (0xc9 and 0xe9 differ only in the bit that folds ASCII letters), so
// that words drawn from one field stand in others; runs of one letter ending
// otherwise; at times a line longer than a read.
std::string generatedBook(std::mt19937& random) {
    static std::string const kPieces[] = {"ab",   "AB",   "aB@x.o", "ba", "b",
                                          "\xe9", "\xc9", "x\xe9",  "q1", " ",
                                          "\r",   "\0"s,  "aaab",   "",   ""};
    static std::string const kSeparators[] = {",", "\t", ",\t", "\t,,", "", ""};
    static std::string const kEnds[] = {"\n", "\n", "\r\n", "\0\n"s, ""};
    std::string book;
    for (auto lines = random() % 20; lines > 0; --lines) {
        for (auto pieces = random() % 10; pieces > 0; --pieces) {
            book += kSeparators[random() % std::size(kSeparators)] +
                    kPieces[random() % std::size(kPieces)];
        }
        if (random() % 16 == 0) {
            book += "," + std::string(random() % 8 == 0 ? 130 * 1024 : 40, 'a') + "b";
        }
        book += kEnds[random() % std::size(kEnds)];
    }
    return book;
}

// Pieces of a book's fields (field5's and the identifier's too, which are
// not searched), some letters in the other case, one to three of them
// between runs of spaces and TABs; and words found nowhere.
std::vector<std::string> textsFor(ref::Book const& book, std::mt19937& random) {
    std::vector<std::string> texts = {"", " \t ", "zz", "ab,ab", "\xe9", "\xc9", "q1 ab", "AB\r"};
    std::vector<std::string> fields;
    for (ref::Fields const& record : *book) {
        for (ref::Field const& field : record) {
            fields.insert(fields.end(), field.has_value(), field.value_or(""));
        }
    }
    static char const* const kBetween[] = {" ", "\t", "  ", " \t"};
    for (int i = 0; i < 12 && !fields.empty(); ++i) {
        std::string text = random() % 4 == 0 ? " " : "";
        for (auto words = 1 + random() % 3; words > 0; --words) {
            std::string const& field = fields[random() % fields.size()];
            std::size_t const from = random() % field.size();
            for (char c : field.substr(from, 1 + random() % (field.size() - from))) {
                bool const letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
                text += letter && random() % 2 == 0 ? static_cast<char>(c ^ 0x20) : c;
            }
            text += words > 1 ? kBetween[random() % std::size(kBetween)] : "";
        }
        texts.push_back(text + (random() % 4 == 0 ? "\t" : ""));
    }
    return texts;
}

TEST(CInterfaceSearch, AnswersAsThePlainReadingAtEveryLimit) {
    TempDir const dir;
    for (std::string const& unopenable : {(dir.path() / "missing").string(), dir.path().string()}) {
        expectSameSearches(unopenable, {"", "ab"});
    }
    for (std::uint32_t seed = 1; seed <= 200 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::string const path = dir.write("book.cdir", generatedBook(random));
        expectSameSearches(path, textsFor(ref::readBook(path), random));
    }
}

// Books where a search could go wrong, with the identifiers it must find.
TEST(CInterfaceSearch, FindsWhatItMust) {
    std::string const miss = std::string(999, 'a') + "b";
    std::string const z(16, 'z');
    std::string const Z(16, 'Z');
    struct Case {
        std::string book;
        std::string text;
        std::vector<std::string> ids;
    } const cases[] = {
        {"Quist,Ada,ada@q.net,K1\nQuist,Bo,bo@q.net,K2\n", "quist ADA", {"K1"}},
        {"A,B,c@d,K1,note\n", "K1 note", {}},  // identifier and field5 are not searched
        {"ab,cd,e@f,K1\n", "bc", {}},          // a word does not span fields
        {"a,b,c,K1\n", "a,b", {}},
        {"a,b,c,K1\n,,\nd,e,f,K2\n", " \t ", {"K1", "", "K2"}},
        {miss + ",x,y,K1\na" + miss + ",x,y,K2\n" + miss + ",x,y,K3\n",
         std::string(1000, 'A'),
         {"K2"}},
        {"aabaaabaab,x,y,K1\naabaaabaa,x,y,K2\n", "AABAAB", {"K1"}},  // KMP's inner border
        // Sixteen bytes compared at once, the word in the unsearched field5
        // making a line to check.
        {"pa\xe9" + z + ",x,y,K1,pa\xc9" + z + "\npa\xc9" + z + ",x,y,K2\n", "PA\xc9" + Z, {"K2"}},
        {"p`" + z + ",x,y,K1\np@" + z + ",x,y,K2\n", "P@" + Z, {"K2"}},
    };
    TempDir const dir;
    for (Case const& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        std::string const path = dir.write("book.cdir", c.book);
        std::vector<std::string> ids;
        for (ref::Fields const& contact : search(path, c.text.c_str(), 0).second) {
            ids.push_back(contact[3].value_or(""));
        }
        EXPECT_EQ(ids, c.ids);
        expectSameSearches(path, {c.text});
    }
}

TEST(CInterfaceSearch, FailuresLeaveNoListAndTheSystemsReason) {
    TempDir const dir;
    std::string const missing = (dir.path() / "missing").string();
    EXPECT_EQ(vesnik_search(missing.c_str(), "ann", 0, nullptr), VESNIK_ERROR_ARGUMENT);
    // Checked before the book is opened.
    EXPECT_EQ(search(missing, nullptr, 0).first, VESNIK_ERROR_ARGUMENT);
#ifdef __linux__
    EXPECT_EQ(search(missing, "ann", 0).first, VESNIK_ERROR_OPEN);
    EXPECT_EQ(errno, ENOENT);
    // Opens, and fails its first read, whether or not a word could match.
    for (char const* text : {"ann", "a,b", ""}) {
        EXPECT_EQ(search("/proc/self/mem", text, 0).first, VESNIK_ERROR_READ) << text;
        EXPECT_EQ(errno, EIO);
    }
#endif
}

}  // namespace
}  // namespace vesnik::test
