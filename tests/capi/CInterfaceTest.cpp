// The C interface against the plain reading in tests/reference: every lookup
// at every limit over generated books; then what it answers when it cannot:
// arguments, books that cannot be opened or read, memory that runs out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
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

// What a lookup answered: its status, and its contacts as the plain reading
// spells records (none unless VESNIK_OK).
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

ref::Field fieldOf(char const* text) {
    return text != nullptr ? ref::Field(text) : std::nullopt;
}

// Asks call for a list and takes it apart, freeing it. A failure must leave
// no list.
template <class Call>
Answer ask(Call const& call) {
    vesnik_list* list = reinterpret_cast<vesnik_list*>(&list);  // not null: the call must set it
    Answer answer{call(&list), {}};
    if (answer.status != VESNIK_OK) {
        EXPECT_EQ(list, nullptr) << "status " << answer.status;
        return answer;
    }
    for (std::size_t i = 0; i < vesnik_list_size(list); ++i) {
        vesnik_contact const* c = vesnik_list_at(list, i);
        answer.contacts.push_back({fieldOf(c->field1), fieldOf(c->field2), fieldOf(c->email),
                                   fieldOf(c->contact_id), fieldOf(c->field5)});
    }
    EXPECT_EQ(vesnik_list_at(list, vesnik_list_size(list)), nullptr);
    vesnik_list_free(list);
    return answer;
}

// The matches the plain reading gives, as the C interface answers them: the
// first limit of them (all for 0), or a book that cannot be opened.
Answer expected(ref::Book const& book, std::optional<ref::Records> matches, std::size_t limit) {
    if (!book) {
        return {VESNIK_ERROR_OPEN, {}};
    }
    if (limit != 0 && matches->size() > limit) {
        matches->resize(limit);
    }
    return {VESNIK_OK, *matches};
}

// The records whose e-mail the plain reading matches with key, their e-mail
// as the file has it (the reading's own answer upper-cases it).
ref::Records emailMatches(ref::Book const& book, std::string const& key) {
    ref::Records found;
    for (ref::Fields const& record : *book) {
        if (!ref::getContactInfosFromEmail(key, ref::Records{record})->empty()) {
            found.push_back(record);
        }
    }
    return found;
}

// No limit, and stops at the first, second and third match.
constexpr std::size_t kLimits[] = {0, 1, 2, 3};

void expectSameAnswers(std::string const& path, std::vector<std::string> const& keys) {
    char const* const file = path.c_str();
    ref::Book const book = ref::readBook(path);
    EXPECT_EQ(ask([&](vesnik_list** out) { return vesnik_all(file, out); }),
              expected(book, book, 0));
    // Each key as an e-mail; each alone as an identifier, then all at once
    // with a null one, each twice.
    struct Lookup {
        std::string what;
        std::function<int(std::size_t limit, vesnik_list** out)> call;
        std::optional<ref::Records> matches;
    };
    std::vector<Lookup> lookups;
    std::vector<ref::Field> all = {std::nullopt};
    auto const addIds = [&](std::vector<ref::Field> const& keyList) {
        // The call keeps its own copy of the keys, and their C strings.
        auto const kept =
            std::make_shared<std::pair<std::vector<ref::Field>, std::vector<char const*>>>();
        kept->first = keyList;
        for (ref::Field const& key : kept->first) {
            kept->second.push_back(key ? key->c_str() : nullptr);
        }
        lookups.push_back({"ids " + ::testing::PrintToString(keyList),
                           [file, kept](std::size_t limit, vesnik_list** out) {
                               auto const& ids = kept->second;
                               return vesnik_find_ids(file, ids.data(), ids.size(), limit, out);
                           },
                           ref::getContactInfos(keyList, book)});
    };
    for (std::string const& key : keys) {
        lookups.push_back({"e-mail " + ::testing::PrintToString(key),
                           [&](std::size_t limit, vesnik_list** out) {
                               return vesnik_find_email(file, key.c_str(), limit, out);
                           },
                           book ? std::optional(emailMatches(book, key)) : std::nullopt});
        addIds({key});
        all.insert(all.end(), {key, key});
    }
    addIds(all);
    for (Lookup const& lookup : lookups) {
        for (std::size_t const limit : kLimits) {
            EXPECT_EQ(ask([&](vesnik_list** out) { return lookup.call(limit, out); }),
                      expected(book, lookup.matches, limit))
                << lookup.what << ", limit " << limit;
        }
        if (::testing::Test::HasFailure()) {
            return;
        }
    }
}

// Address books from a seed: lines of keys, near misses of them and the same
// in other letter case, CRs and NULs, between runs of separators, with every
// kind of line end; at times one line longer than the library's largest
// read, so that matches lie in different reads.
std::string generatedBook(std::mt19937& random) {
    static std::string const kPieces[] = {"K1", "k1",  "ann@x.org", "ANN@X.ORG", "Ann@x.Org",
                                          "K",  "x",   " ",         "\xe9@x",    "\xc9@X",
                                          "\r", "\0"s, "",          ""};
    static std::string const kSeparators[] = {",", "\t", ",\t", "\t,,", "", ""};
    static std::string const kEnds[] = {"\n", "\n", "\r\n", "\r\r\n", "\0\n"s, ""};
    std::string book;
    for (auto lines = random() % 24; lines > 0; --lines) {
        for (auto pieces = random() % 12; pieces > 0; --pieces) {
            book += kSeparators[random() % std::size(kSeparators)] +
                    kPieces[random() % std::size(kPieces)];
        }
        if (lines == 2 && random() % 8 == 0) {
            book += "," + std::string(130 * 1024, 'w');
        }
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

// The system's reason for the last failure, where the platform keeps it.
int lastSystemError() {
#ifdef _WIN32
    return static_cast<int>(::GetLastError());
#else
    return errno;
#endif
}

char const* const kIds[] = {"K1"};

TEST(CInterface, FailuresLeaveNoListAndTheSystemsReason) {
    TempDir const dir;
    std::string const book = dir.write("book.cdir", "a,b,ann@x.org,K1\n");
    std::string const missing = (dir.path() / "missing").string();
    struct Case {
        char const* what;
        int (*call)(char const* book, vesnik_list** out);
    };
    Case const lookups[] = {
        {"all", [](char const* b, vesnik_list** out) { return vesnik_all(b, out); }},
        {"ids",
         [](char const* b, vesnik_list** out) { return vesnik_find_ids(b, kIds, 1, 0, out); }},
        {"no ids",
         [](char const* b, vesnik_list** out) { return vesnik_find_ids(b, nullptr, 0, 0, out); }},
        {"email", [](char const* b,
                     vesnik_list** out) { return vesnik_find_email(b, "ann@x.org", 1, out); }},
    };
    for (Case const& lookup : lookups) {
        SCOPED_TRACE(lookup.what);
        EXPECT_EQ(lookup.call(book.c_str(), nullptr), VESNIK_ERROR_ARGUMENT);
        EXPECT_EQ(ask([&](vesnik_list** out) { return lookup.call(missing.c_str(), out); }).status,
                  VESNIK_ERROR_OPEN);
        EXPECT_EQ(lastSystemError(), 2);  // ENOENT, ERROR_FILE_NOT_FOUND
        EXPECT_EQ(ask([&](vesnik_list** out) {
                      return lookup.call(dir.path().string().c_str(), out);
                  }).status,
                  VESNIK_ERROR_OPEN);
#ifdef __linux__
        // Opens, and fails its first read.
        EXPECT_EQ(ask([&](vesnik_list** out) { return lookup.call("/proc/self/mem", out); }).status,
                  VESNIK_ERROR_READ);
        EXPECT_EQ(errno, EIO);
#endif
    }
    // Arguments are checked before the book is opened.
    EXPECT_EQ(ask([&](vesnik_list** out) {
                  return vesnik_find_email(missing.c_str(), nullptr, 0, out);
              }).status,
              VESNIK_ERROR_ARGUMENT);
    EXPECT_EQ(ask([&](vesnik_list** out) {
                  return vesnik_find_ids(missing.c_str(), nullptr, 1, 0, out);
              }).status,
              VESNIK_ERROR_ARGUMENT);
    for (int const status : {0, -1, -2, -3, -4, 7}) {
        EXPECT_NE(vesnik_status_text(status), nullptr);
    }
    EXPECT_EQ(vesnik_version(), VESNIK_VERSION_NUMBER);
    EXPECT_EQ(vesnik_list_size(nullptr), 0u);
    EXPECT_EQ(vesnik_list_at(nullptr, 0), nullptr);
    vesnik_list_free(nullptr);
}

TEST(CInterface, DefaultBookIsBesideTheLibraryAndCutLikeSnprintf) {
    std::size_t const length = vesnik_default_book(nullptr, 0);
    std::string path(length, '\0');
    ASSERT_EQ(vesnik_default_book(path.data(), length + 1), length);
#ifdef _WIN32
    std::string const suffix = "\\AddressBook.CDIR";
    ASSERT_GT(path.size(), suffix.size());
    EXPECT_EQ(path.substr(path.size() - suffix.size()), suffix);
#else
    EXPECT_EQ(path, std::filesystem::canonical(VESNIK_C_LIBRARY_DIRECTORY).string() +
                        "/AddressBook.CDIR");
#endif
    char cut[6] = "-----";
    EXPECT_EQ(vesnik_default_book(cut, 0), length);
    EXPECT_STREQ(cut, "-----");
    EXPECT_EQ(vesnik_default_book(cut, sizeof cut), length);
    EXPECT_EQ(cut, path.substr(0, 5));
    // A null book is that file.
    EXPECT_EQ(ask([](vesnik_list** out) { return vesnik_all(nullptr, out); }),
              ask([&](vesnik_list** out) { return vesnik_all(path.c_str(), out); }));
}

#if defined(__linux__) && !defined(VESNIK_SANITIZED)
// Bytes the heap has handed out and not had back.
std::size_t heapInUse() {
    struct mallinfo2 const info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The process's data size as the data limit counts it.
rlim_t dataSize() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmData:", 0) == 0) {
            return std::stoul(line.substr(7)) * 1024;  // in kB
        }
    }
    return 0;
}

// Run in a child process, whose data size is capped just above what it uses
// already: a book too large for that fails with VESNIK_ERROR_MEMORY, keeps
// nothing it gathered, and the library answers again once memory is back.
void runOutOfMemory(std::string const& path, std::size_t contacts) {
    rlimit original{};
    getrlimit(RLIMIT_DATA, &original);
    auto const count = [&](bool starve, std::size_t& size) {
        rlimit capped = original;
        capped.rlim_cur = dataSize() + 4 * 1024 * 1024;
        setrlimit(RLIMIT_DATA, starve ? &capped : &original);
        vesnik_list* list = nullptr;
        int const status = vesnik_all(path.c_str(), &list);
        size = vesnik_list_size(list);
        vesnik_list_free(list);
        setrlimit(RLIMIT_DATA, &original);
        return status;
    };
    std::size_t size = 0;
    count(true, size);  // the first exception thrown sets up what the next ones use
    std::size_t const before = heapInUse();
    int const starved = count(true, size);
    std::size_t const after = heapInUse();
    int const fed = count(false, size);
    std::fprintf(stderr, "starved %d, leaked %zd, then %d with %zu contacts\n", starved,
                 static_cast<std::ptrdiff_t>(after - before), fed, size);
    // The heap's own bookkeeping may move a little when it runs dry; what was
    // gathered when memory ran out is megabytes.
    std::_Exit(starved == VESNIK_ERROR_MEMORY && after < before + 4096 && fed == VESNIK_OK &&
                       size == contacts
                   ? 0
                   : 1);
}

TEST(CInterface, RunningOutOfMemoryLeaksNothing) {
    TempDir const dir;
    std::size_t const contacts = 200'000;
    std::string book;
    for (std::size_t i = 0; i < contacts; ++i) {
        book += "first,second,someone@example.org,K" + std::to_string(i) + ",fifth\n";
    }
    std::string const path = dir.write("large.cdir", book);
    EXPECT_EXIT(runOutOfMemory(path, contacts), ::testing::ExitedWithCode(0), "starved");
}
#endif

}  // namespace
}  // namespace vesnik::test
