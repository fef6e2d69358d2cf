// The C interface against the plain reading in tests/reference: every lookup
// at every limit over generated books, and searches over books where a word
// could be misplaced; then its failures: arguments, books that cannot be
// opened or read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "reference/ReferenceBook.h"
#include "support/GeneratedBook.h"
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
using Answer = std::pair<int, ref::Records>;  // a status, and the contacts when VESNIK_OK
using Call = std::function<int(vesnik_list**)>;

// What call answers, its list freed. A failure must leave no list.
Answer answer(Call const& call) {
    vesnik_list* list = reinterpret_cast<vesnik_list*>(&list);  // the call must set it
    int const status = call(&list);
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
    EXPECT_EQ(vesnik_list_at(list, contacts.size()), nullptr);
    vesnik_list_free(list);
    return {status, contacts};
}

// Every lookup of keys and texts, with no limit and stopping at the first,
// second and third match, answers as the plain reading does.
void expectSameAnswers(std::string const& path, std::vector<std::string> const& keys,
                       std::vector<std::string> const& texts) {
    char const* const file = path.c_str();
    ref::Book const book = ref::readBook(path);
    int const status = book ? VESNIK_OK : VESNIK_ERROR_OPEN;
    auto const expect = [&](std::string const& what, auto const& lookup, ref::Records matches) {
        for (std::size_t const limit : {0u, 1u, 2u, 3u}) {
            Answer want{status, matches};
            want.second.resize(limit != 0 ? std::min(limit, matches.size()) : matches.size());
            EXPECT_EQ(answer([&](vesnik_list** out) { return lookup(limit, out); }), want)
                << what << ", limit " << limit;
        }
    };
    EXPECT_EQ(answer([&](vesnik_list** out) { return vesnik_all(file, out); }),
              Answer(status, book.value_or(ref::Records{})));
    std::vector<std::vector<ref::Field>> idLists;
    std::vector<ref::Field> all = {std::nullopt};
    for (std::string const& key : keys) {
        // As the file has it: the plain reading's own answer upper-cases it.
        ref::Records emailMatches;
        for (ref::Fields const& record : book.value_or(ref::Records{})) {
            if (!ref::getContactInfosFromEmail(key, ref::Records{record})->empty()) {
                emailMatches.push_back(record);
            }
        }
        auto const findEmail = [&](std::size_t limit, vesnik_list** out) {
            return vesnik_find_email(file, key.c_str(), limit, out);
        };
        expect("e-mail " + ::testing::PrintToString(key), findEmail, emailMatches);
        idLists.push_back({key});
        all.insert(all.end(), {key, key});
    }
    idLists.push_back(all);
    for (std::vector<ref::Field> const& keyList : idLists) {
        std::vector<char const*> ids;
        for (ref::Field const& key : keyList) {
            ids.push_back(key ? key->c_str() : nullptr);
        }
        auto const findIds = [&](std::size_t limit, vesnik_list** out) {
            return vesnik_find_ids(file, ids.data(), ids.size(), limit, out);
        };
        expect("ids " + ::testing::PrintToString(keyList), findIds,
               ref::getContactInfos(keyList, book).value_or(ref::Records{}));
    }
    for (std::string const& text : texts) {
        auto const search = [&](std::size_t limit, vesnik_list** out) {
            return vesnik_search(file, text.c_str(), limit, out);
        };
        expect("search " + ::testing::PrintToString(text), search,
               ref::search(text, book).value_or(ref::Records{}));
    }
}

// Pieces of a book's fields (field5's and the identifier's too, which are
// not searched), some letters in the other case, one to three of them
// between runs of spaces and TABs.
std::vector<std::string> textsFor(ref::Records const& records, std::mt19937& random) {
    std::vector<std::string> texts = {"", " \t ", "zz", "ab,ab", "\xe9", "\xc9", "K1 ab", "AB\r"};
    std::vector<std::string> fields;
    for (ref::Fields const& record : records) {
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

TEST(CInterface, AnswersAsThePlainReadingAtEveryLimit) {
    TempDir const dir;
    std::vector<std::string> const keys = {"",          "K1",       "k1",     "ann@x.org",
                                           "Ann@X.org", "ann@x.or", "\xc9@x", "K1\r"};
    for (std::string const& unopenable : {(dir.path() / "missing").string(), dir.path().string()}) {
        expectSameAnswers(unopenable, keys, {"", "ab"});
    }
    for (std::uint32_t seed = 1; seed <= 200 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::string const path = dir.write("book.cdir", generatedBook(random));
        expectSameAnswers(path, keys, textsFor(*ref::readBook(path), random));
    }
}

// Books where a search could go wrong, with the identifiers it must find.
TEST(CInterface, SearchFindsWhatItMust) {
    std::string const miss = std::string(999, 'a') + "b";
    std::string const z(16, 'z');
    std::string const Z(16, 'Z');
    struct Case {
        std::string book;
        std::string text;
        std::vector<std::string> ids;
    } const cases[] = {
        {"Quist,Ada,a@q.net,K1\nQuist,Bo,bo@q.net,K2\n", "ada QUIST", {"K1"}},
        {"x,Bo,bo@q.net,K1\nx,y,bo@Q.net,K2\n", "Q.NET bo", {"K1", "K2"}},
        {"A,B,c@d,K1,note\n", "K1 note", {}},  // identifier and field5 are not searched
        {"ab,cd,e@f,K1\n", "bc", {}},          // a word does not span fields
        {"a,b,c,K1\n", "a,b", {}},
        {"\xe9t\xe9,b,c,K1\n\xc9T\xc9,b,c,K2\n", "\xc9t\xc9", {"K2"}},  // folded in ASCII only
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
        Answer const found =
            answer([&](auto out) { return vesnik_search(path.c_str(), c.text.c_str(), 0, out); });
        std::vector<std::string> ids;
        for (ref::Fields const& contact : found.second) {
            ids.push_back(contact[3].value_or(""));
        }
        EXPECT_EQ(ids, c.ids);
        expectSameAnswers(path, {}, {c.text});
    }
}

TEST(CInterface, FailuresLeaveNoListAndTheSystemsReason) {
    TempDir const dir;
    std::string const missing = (dir.path() / "missing").string();
    char const* const keys[] = {"K1"};
    using Lookup = std::function<int(char const* book, vesnik_list** out)>;
    // Each lookup; searches whether or not a word could match.
    for (Lookup const &lookup : std::vector<Lookup>{
             [](auto book, auto out) { return vesnik_all(book, out); },
             [&](auto book, auto out) { return vesnik_find_ids(book, keys, 1, 0, out); },
             [](auto book, auto out) { return vesnik_find_ids(book, nullptr, 0, 0, out); },
             [](auto book, auto out) { return vesnik_find_email(book, "ann@x.org", 1, out); },
             [](auto book, auto out) { return vesnik_search(book, "ann", 0, out); },
             [](auto book, auto out) { return vesnik_search(book, "a,b", 0, out); },
             [](auto book, auto out) { return vesnik_search(book, "", 0, out); }}) {
        EXPECT_EQ(lookup(missing.c_str(), nullptr), VESNIK_ERROR_ARGUMENT);
        EXPECT_EQ(answer([&](vesnik_list** out) { return lookup(missing.c_str(), out); }).first,
                  VESNIK_ERROR_OPEN);
#ifdef _WIN32
        EXPECT_EQ(::GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
#else
        EXPECT_EQ(errno, ENOENT);
        // Opens, and fails its first read.
        EXPECT_EQ(answer([&](vesnik_list** out) { return lookup("/proc/self/mem", out); }).first,
                  VESNIK_ERROR_READ);
        EXPECT_EQ(errno, EIO);
#endif
    }
    // Arguments are checked before the book is opened.
    char const* const book = missing.c_str();
    for (Call const& call :
         std::vector<Call>{[&](auto out) { return vesnik_find_email(book, nullptr, 0, out); },
                           [&](auto out) { return vesnik_find_ids(book, nullptr, 1, 0, out); },
                           [&](auto out) { return vesnik_search(book, nullptr, 0, out); }}) {
        EXPECT_EQ(answer(call).first, VESNIK_ERROR_ARGUMENT);
    }
}

}  // namespace
}  // namespace vesnik::test
