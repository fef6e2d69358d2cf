// The C interface's own handling of its arguments and of books that cannot
// be opened or read; its answers are compared with the plain reading by the
// differential test.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "support/TempFiles.h"
#include "vesnik.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace vesnik::test {
namespace {

using Call = std::function<int(vesnik_list**)>;

// The status call answers, its list freed. A failure must leave no list.
int statusOf(Call const& call) {
    vesnik_list* list = reinterpret_cast<vesnik_list*>(&list);  // the call must set it
    int const status = call(&list);
    if (status != VESNIK_OK) {
        EXPECT_EQ(list, nullptr);
    }
    vesnik_list_free(status == VESNIK_OK ? list : nullptr);
    return status;
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
             [](auto book, auto out) { return vesnik_find_email(book, "ann@x.org", 1, out); },
             [](auto book, auto out) { return vesnik_search(book, "ann", 0, out); },
             [](auto book, auto out) { return vesnik_search(book, "a,b", 0, out); },
             [](auto book, auto out) { return vesnik_search_v2(book, "m\xc3\xbc", 3u, 0, out); }}) {
        EXPECT_EQ(lookup(missing.c_str(), nullptr), VESNIK_ERROR_ARGUMENT);
        EXPECT_EQ(statusOf([&](vesnik_list** out) { return lookup(missing.c_str(), out); }),
                  VESNIK_ERROR_OPEN);
#ifdef _WIN32
        EXPECT_EQ(::GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
#else
        EXPECT_EQ(errno, ENOENT);
        // Opens, and fails its first read.
        EXPECT_EQ(statusOf([&](vesnik_list** out) { return lookup("/proc/self/mem", out); }),
                  VESNIK_ERROR_READ);
        EXPECT_EQ(errno, EIO);
#endif
    }
    // Arguments are checked before the book is opened.
    char const* const book = missing.c_str();
    for (Call const& call :
         std::vector<Call>{[&](auto out) { return vesnik_find_email(book, nullptr, 0, out); },
                           [&](auto out) { return vesnik_find_ids(book, nullptr, 1, 0, out); },
                           [&](auto out) { return vesnik_search(book, nullptr, 0, out); },
                           [&](auto out) { return vesnik_search_v2(book, nullptr, 1u, 0, out); },
                           [&](auto out) { return vesnik_search_v2(book, "a", 8u, 0, out); },
                           [&](auto out) { return vesnik_search_v2(book, "a", ~7u, 0, out); }}) {
        EXPECT_EQ(statusOf(call), VESNIK_ERROR_ARGUMENT);
    }
}

}  // namespace
}  // namespace vesnik::test
