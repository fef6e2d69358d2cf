// The C interface against the plain reading in tests/reference: every lookup
// at every limit over generated books; then its failures: arguments, books
// that cannot be opened or read, memory that runs out.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "reference/ReferenceBook.h"
#include "support/TempFiles.h"
#include "vesnik.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <malloc.h>
#include <sys/resource.h>
#endif

namespace vesnik::test {
namespace {

namespace ref = vesnik::reference;
using namespace std::string_literals;
using Answer = std::pair<int, ref::Records>;  // a status, and the contacts when VESNIK_OK

// What call answers, its list freed. A failure must leave no list.
template <class Call>
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

void expectSameAnswers(std::string const& path, std::vector<std::string> const& keys) {
    char const* const file = path.c_str();
    ref::Book const book = ref::readBook(path);
    // The plain reading's matches, the first limit of them (0: all).
    auto const expect = [&](std::string const& what, auto const& call, ref::Records matches) {
        for (std::size_t const limit : {0u, 1u, 2u, 3u}) {
            Answer expected{book ? VESNIK_OK : VESNIK_ERROR_OPEN, {}};
            for (std::size_t i = 0; book && i < matches.size() && (limit == 0 || i < limit); ++i) {
                expected.second.push_back(matches[i]);
            }
            EXPECT_EQ(answer([&](vesnik_list** out) { return call(limit, out); }), expected)
                << what << ", limit " << limit;
        }
    };
    EXPECT_EQ(answer([&](vesnik_list** out) { return vesnik_all(file, out); }),
              Answer(book ? VESNIK_OK : VESNIK_ERROR_OPEN, book.value_or(ref::Records{})));
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
        expect(
            "e-mail " + ::testing::PrintToString(key),
            [&](std::size_t limit, vesnik_list** out) {
                return vesnik_find_email(file, key.c_str(), limit, out);
            },
            emailMatches);
        idLists.push_back({key});
        all.insert(all.end(), {key, key});
    }
    idLists.push_back(all);
    for (std::vector<ref::Field> const& keyList : idLists) {
        std::vector<char const*> ids;
        for (ref::Field const& key : keyList) {
            ids.push_back(key ? key->c_str() : nullptr);
        }
        expect(
            "ids " + ::testing::PrintToString(keyList),
            [&](std::size_t limit, vesnik_list** out) {
                return vesnik_find_ids(file, ids.data(), ids.size(), limit, out);
            },
            ref::getContactInfos(keyList, book).value_or(ref::Records{}));
    }
}

// Address books from a seed: lines of keys, near misses of them and the same
// in other letter case, CRs and NULs, between runs of separators, with every
// kind of line end; at times a line longer than the library's largest read,
// so that matches lie in different reads.
std::string generatedBook(std::mt19937& random) {
    static std::string const kPieces[] = {"K1", "k1", "ann@x.org", "ANN@X.ORG", "Ann@x.Org", "K",
                                          "x",  " ",  "\xe9@x",    "\xc9@X",    "\r",        "\0"s};
    static std::string const kSeparators[] = {",", "\t", ",\t", "\t,,", "", ""};
    static std::string const kEnds[] = {"\n", "\n", "\r\n", "\r\r\n", "\0\n"s, ""};
    std::string book;
    for (auto lines = random() % 24; lines > 0; --lines) {
        for (auto pieces = random() % 12; pieces > 0; --pieces) {
            book += kSeparators[random() % std::size(kSeparators)] +
                    kPieces[random() % std::size(kPieces)];
        }
        book += lines == 2 && random() % 8 == 0 ? "," + std::string(130 * 1024, 'w') : "";
        book += kEnds[random() % std::size(kEnds)];
    }
    return book;
}

TEST(CInterface, AnswersAsThePlainReadingAtEveryLimit) {
    TempDir const dir;
    std::vector<std::string> const keys = {"",          "K1",       "k1",     "ann@x.org",
                                           "Ann@X.org", "ann@x.or", "\xc9@x", "K1\r"};
    for (std::string const& unopenable : {(dir.path() / "missing").string(), dir.path().string()}) {
        expectSameAnswers(unopenable, keys);
    }
    for (std::uint32_t seed = 1; seed <= 150 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        expectSameAnswers(dir.write("book.cdir", generatedBook(random)), keys);
    }
}

TEST(CInterface, FailuresLeaveNoListAndTheSystemsReason) {
    TempDir const dir;
    std::string const missing = (dir.path() / "missing").string();
    using Lookup = int (*)(char const*, vesnik_list**);
    for (Lookup const lookup : std::initializer_list<Lookup>{
             [](char const*book, vesnik_list**out) { return vesnik_all(book, out); },
             [](char const*book, vesnik_list**out) {
                 char const* const ids[] = {"K1"};
                 return vesnik_find_ids(book, ids, 1, 0, out);
             },
             [](char const*book, vesnik_list**out) {
                 return vesnik_find_ids(book, nullptr, 0, 0, out);
             },
             [](char const*book, vesnik_list**out) {
                 return vesnik_find_email(book, "ann@x.org", 1, out);
             }}) {
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
    EXPECT_EQ(answer([&](vesnik_list** out) {
                  return vesnik_find_email(missing.c_str(), nullptr, 0, out);
              }).first,
              VESNIK_ERROR_ARGUMENT);
    EXPECT_EQ(answer([&](vesnik_list** out) {
                  return vesnik_find_ids(missing.c_str(), nullptr, 1, 0, out);
              }).first,
              VESNIK_ERROR_ARGUMENT);
}

#if defined(__linux__) && !defined(VESNIK_SANITIZED)
// In a child process whose data size is capped a little above what it uses:
// a book too large for that gives VESNIK_ERROR_MEMORY and keeps nothing it
// gathered (megabytes by then: the heap's own bookkeeping may move a little);
// once memory is back the library answers again.
void runOutOfMemory(std::string const& path) {
    auto const dataSize = [] {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line) && line.rfind("VmData:", 0) != 0) {
        }
        return std::stoul(line.substr(7)) * 1024;
    };
    auto const heapInUse = [] { return mallinfo2().uordblks + mallinfo2().hblkhd; };
    rlimit original{};
    getrlimit(RLIMIT_DATA, &original);
    auto const count = [&](bool starve, std::size_t& heapGrowth) {
        rlimit capped = original;
        capped.rlim_cur = dataSize() + 4 * 1024 * 1024;
        std::size_t const before = heapInUse();
        setrlimit(RLIMIT_DATA, starve ? &capped : &original);
        vesnik_list* list = nullptr;
        int const status = vesnik_all(path.c_str(), &list);
        setrlimit(RLIMIT_DATA, &original);
        std::size_t const size = vesnik_list_size(list);
        vesnik_list_free(list);
        heapGrowth = heapInUse() - before;
        return std::to_string(status) + ": " + std::to_string(size);
    };
    std::size_t kept = 0;
    std::size_t ignored = 0;
    count(true, ignored);  // the first exception sets up what later ones use
    std::string const starved = count(true, kept);
    std::string const fed = count(false, ignored);
    std::fprintf(stderr, "%s, kept %zu bytes, then %s\n", starved.c_str(), kept, fed.c_str());
    std::_Exit(starved == "-4: 0" && kept < 4096 && fed == "0: 200000" ? 0 : 1);
}

TEST(CInterface, RunningOutOfMemoryKeepsNothing) {
    TempDir const dir;
    std::string book;
    for (int i = 0; i < 200'000; ++i) {
        book += "first,second,someone@example.org,K" + std::to_string(i) + ",fifth\n";
    }
    EXPECT_EXIT(runOutOfMemory(dir.write("large.cdir", book)), ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
}  // namespace vesnik::test
