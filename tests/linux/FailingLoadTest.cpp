// Loading either library never kills its host, whichever allocation of the
// load fails, and a load that succeeds names the default book: for n = 1,
// 2, ... one host process fails the n-th allocation of its load, until a load
// meets no failure. The library lies in a directory whose path is over a
// kilobyte long, where the C library resolves the library's name on the heap.
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>

#include "linux/HostOutcome.h"
#include "support/TempFiles.h"

extern char** environ;

namespace vesnik::test {
namespace {

namespace fs = std::filesystem;

struct Library {
    char const* name;
    char const* file;
    // Test names show the library's name, not the pointers' bytes.
    friend void PrintTo(Library const& library, std::ostream* out) { *out << library.name; }
};

class FailingLoad : public testing::TestWithParam<Library> {};

// How the host ended: its outcome, or the signal that killed it.
struct Ending {
    int status = -1;
    bool is(HostOutcome outcome) const {
        return WIFEXITED(status) && WEXITSTATUS(status) == static_cast<int>(outcome);
    }
    friend std::ostream& operator<<(std::ostream& out, Ending const& ending) {
        if (WIFSIGNALED(ending.status)) {
            return out << "killed by " << strsignal(WTERMSIG(ending.status));
        }
        return out << "exit status " << WEXITSTATUS(ending.status);
    }
};

Ending runHost(std::string const& library, unsigned long n) {
    std::string const count = std::to_string(n);
    char const* const argv[] = {VESNIK_FAILING_HOST, library.c_str(), count.c_str(), nullptr};
    pid_t pid;
    Ending ending;
    if (posix_spawn(&pid, VESNIK_FAILING_HOST, nullptr, nullptr, const_cast<char**>(argv),
                    environ) == 0) {
        waitpid(pid, &ending.status, 0);
    }
    return ending;
}

TEST_P(FailingLoad, NeverKillsTheHostAndALoadedLibraryFindsItsBook) {
    TempDir const dir;
    fs::path directory = dir.path();
    for (int level = 0; level < 5; ++level) {
        directory /= std::string(250, 'd');
    }
    fs::create_directories(directory);
    fs::copy_file(GetParam().file, directory / "library.so");
    std::string const library = fs::canonical(directory / "library.so").string();
    ASSERT_GT(library.size(), 1024u);

    unsigned long n = 1;
    for (Ending ending; !(ending = runHost(library, n)).is(HostOutcome::kLoadedWithNoFailure);
         ++n) {
        ASSERT_TRUE(ending.is(HostOutcome::kLoadedDespiteTheFailure) ||
                    ending.is(HostOutcome::kNotLoaded) || ending.is(HostOutcome::kLoaderGaveUp))
            << "allocation " << n << " of the load failing, the host ended with " << ending;
        ASSERT_LT(n, 100000u) << "the load never ends";
    }
    EXPECT_GT(n, 1u) << "the load allocated nothing, so nothing was failed";
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, FailingLoad,
                         testing::Values(Library{"SixFunctions", VESNIK_LIBRARY_FILE},
                                         Library{"CInterface", VESNIK_C_LIBRARY_FILE}),
                         [](auto const& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace vesnik::test
