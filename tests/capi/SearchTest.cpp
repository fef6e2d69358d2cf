// vesnik_search against the plain reading in tests/reference, at every limit
// over generated books, and over books where a search could go wrong; then
// what it answers when it cannot.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "reference/ReferenceBook.h"
#include "support/TempFiles.h"
#include "vesnik.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace vesnik::test {
namespace {

namespace ref = vesnik::reference;
using namespace std::string_literals;

// A search's status and contacts, as the plain reading spells records.
struct Answer {
    int status;
    ref::Records contacts;
    bool operator==(Answer const& other) const {
        return status == other.status && contacts == other.contacts;
    }
};

void PrintTo(Answer const& answer, std::ostream* out) {
    *out << "status " << answer.status << ", " << ::testing::PrintToString(answer.contacts);
}

Answer search(std::string const& book, char const* text, std::size_t limit) {
    vesnik_list* list = reinterpret_cast<vesnik_list*>(&list);  // the call must set it
    int const status = vesnik_search(book.c_str(), text, limit, &list);
    if (status != VESNIK_OK) {
        EXPECT_EQ(list, nullptr);
        return {status, {}};
    }
    ref::Records contacts;
    for (std::size_t i = 0; i < vesnik_list_size(list); ++i) {
        vesnik_contact const* c = vesnik_list_at(list, i);
        contacts.emplace_back();
        for (char const* field : {c->field1, c->field2, c->email, c->contact_id, c->field5}) {
            contacts.back().push_back(field ? ref::Field(field) : std::nullopt);
        }
    }
    vesnik_list_free(list);
    return {status, contacts};
}

// No limit, and stops at the first, second and third match.
constexpr std::size_t kLimits[] = {0, 1, 2, 3};

void expectSameSearches(std::string const& path, std::vector<std::string> const& texts) {
    ref::Book const book = ref::readBook(path);
    for (std::string const& text : texts) {
        std::optional<ref::Records> matches = ref::search(text, book);
        for (std::size_t const limit : kLimits) {
            Answer want{VESNIK_ERROR_OPEN, {}};
            if (matches) {
                want = {VESNIK_OK, *matches};
                if (limit != 0 && want.contacts.size() > limit) {
                    want.contacts.resize(limit);
                }
            }
            EXPECT_EQ(search(path, text.c_str(), limit), want)
                << "text " << ::testing::PrintToString(text) << ", limit " << limit;
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
    }
}

// Books of short pieces that overlap one another, in either letter case and
// outside ASCII (0xc9 and 0xe9 differ only in the bit that folds ASCII
// letters), so that words drawn from one field stand in others; runs of one
// letter ending otherwise; at times a line longer than a read.
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

// Texts for a book: pieces of its fields (the identifier's and field5's too,
// which search does not look in), some letters in the other case, one to
// three of them between runs of spaces and TABs; and words found nowhere.
std::vector<std::string> textsFor(ref::Book const& book, std::mt19937& random) {
    std::vector<std::string> texts = {"", " \t ", "zz", "ab,ab", "\xe9", "\xc9", "q1 ab", "AB\r"};
    std::vector<std::string> fields;
    for (ref::Fields const& record : *book) {
        for (ref::Field const& field : record) {
            if (field) {
                fields.push_back(*field);
            }
        }
    }
    static char const* const kBetween[] = {" ", "\t", "  ", " \t"};
    for (int i = 0; i < 12 && !fields.empty(); ++i) {
        std::string text = random() % 4 == 0 ? " " : "";
        for (auto words = 1 + random() % 3; words > 0; --words) {
            std::string const& field = fields[random() % fields.size()];
            std::size_t const from = random() % field.size();
            std::string word = field.substr(from, 1 + random() % (field.size() - from));
            for (char& c : word) {
                bool const letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
                c = letter && random() % 2 == 0 ? static_cast<char>(c ^ 0x20) : c;
            }
            text += word + (words > 1 ? kBetween[random() % std::size(kBetween)] : "");
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

// Books where a search could go wrong, each with the identifiers of the
// contacts it must find; checked against the plain reading too.
TEST(CInterfaceSearch, FindsWhatItMust) {
    std::string const nearMiss = std::string(999, 'a') + "b";
    std::string const z16(16, 'z');
    std::string const Z16(16, 'Z');
    struct Case {
        char const* what;
        std::string book;
        std::string text;
        std::vector<std::string> ids;
    };
    Case const cases[] = {
        {"words in any order and field",
         "Quist,Ada,ada@q.net,K1\nQuist,Bo,bo@q.net,K2\n",
         "quist ADA",
         {"K1"}},
        {"each word in the e-mail", "A,B,ada.quist@q.net,K1\n", "Q.NET\tada.", {"K1"}},
        {"identifier and field5 not searched", "A,B,c@d,K1,note\n", "K1 note", {}},
        {"a word does not span fields", "ab,cd,e@f,K1\n", "bc", {}},
        {"non-ASCII compared exactly", "\xe9t\xe9,x,y,K1\n\xc9T\xc9,x,y,K2\n", "\xc9t\xc9", {"K2"}},
        // The word in field5, which is not searched, makes the line one to check.
        {"0xc9 is not 0xe9, sixteen bytes at a time",
         "pa\xe9" + z16 + ",x,y,K1,pa\xc9" + z16 + "\npa\xc9" + z16 + ",x,y,K2\n",
         "PA\xc9" + Z16,
         {"K2"}},
        {"'@' is not '`', sixteen bytes at a time",
         "p`" + z16 + ",x,y,K1\np@" + z16 + ",x,y,K2\n",
         "P@" + Z16,
         {"K2"}},
        {"a word with a comma matches nothing", "a,b,c,K1\n", "a,b", {}},
        {"no words match every contact", "a,b,c,K1\n,,\nd,e,f,K2\n", " \t ", {"K1", "", "K2"}},
        {"long near misses",
         nearMiss + ",x,y,K1\n" + "a" + nearMiss + ",x,y,K2\n" + nearMiss + ",x,y,K3\n",
         std::string(1000, 'A'),
         {"K2"}},
        {"a failed match goes on from an inner border",
         "aabaaabaab,x,y,K1\naabaaabaa,x,y,K2\n",
         "AABAAB",
         {"K1"}},
        {"a word everywhere", "ann,x,ann@x,K1\nann,y,ann@y,K2\nbo,y,b@y,K3\n", "an y", {"K2"}},
    };
    TempDir const dir;
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        std::string const path = dir.write("book.cdir", c.book);
        std::vector<std::string> ids;
        for (ref::Fields const& contact : search(path, c.text.c_str(), 0).contacts) {
            ids.push_back(contact[3].value_or(""));
        }
        EXPECT_EQ(ids, c.ids);
        expectSameSearches(path, {c.text});
    }
}

// The system's reason for the last failure, where the platform keeps it.
int lastSystemError() {
#ifdef _WIN32
    return static_cast<int>(::GetLastError());
#else
    return errno;
#endif
}

TEST(CInterfaceSearch, FailuresLeaveNoListAndTheSystemsReason) {
    TempDir const dir;
    std::string const book = dir.write("book.cdir", "a,b,ann@x.org,K1\n");
    std::string const missing = (dir.path() / "missing").string();
    EXPECT_EQ(vesnik_search(book.c_str(), "ann", 0, nullptr), VESNIK_ERROR_ARGUMENT);
    // Arguments are checked before the book is opened.
    EXPECT_EQ(search(missing, nullptr, 0).status, VESNIK_ERROR_ARGUMENT);
    EXPECT_EQ(search(missing, "ann", 0).status, VESNIK_ERROR_OPEN);
    EXPECT_EQ(lastSystemError(), 2);  // ENOENT, ERROR_FILE_NOT_FOUND
#ifdef __linux__
    // Opens, and fails its first read, whether or not a word could match.
    for (char const* text : {"ann", "a,b", ""}) {
        EXPECT_EQ(search("/proc/self/mem", text, 0).status, VESNIK_ERROR_READ) << text;
        EXPECT_EQ(errno, EIO);
    }
#endif
}

}  // namespace
}  // namespace vesnik::test
