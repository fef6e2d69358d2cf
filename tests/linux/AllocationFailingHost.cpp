// A host that loads a library with one allocation of the load failing:
//   allocation_failing_host LIBRARY N
// loads LIBRARY (either the six functions' or the C interface's) with dlopen
// while the N-th allocation fails, then, unarmed, asks it for its default
// book, which must be AddressBook.CDIR beside LIBRARY: lookups without a
// book read that. Its exit status tells how that went (HostOutcome). It is written as a C program
// is, using nothing of the C++ runtime, which therefore comes with the library, as it does into
// Python.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Vesnik_API.h"
#include "linux/HostOutcome.h"
#include "support/FailingAllocator.h"
#include "vesnik.h"

namespace {

using vesnik::test::HostOutcome;

template <class Function>
Function* find(void* library, char const* name) {
    return reinterpret_cast<Function*>(dlsym(library, name));
}

// Whether found is libraryFile's directory followed by name.
bool isBesideTheLibrary(char const* found, char const* libraryFile, char const* name) {
    auto const directory =
        static_cast<std::size_t>(std::strrchr(libraryFile, '/') + 1 - libraryFile);
    return found != nullptr && std::strncmp(found, libraryFile, directory) == 0 &&
           std::strcmp(found + directory, name) == 0;
}

bool findsTheDefaultBook(void* library, char const* libraryFile) {
    if (auto* const defaultBook =
            find<decltype(vesnik_default_book)>(library, "vesnik_default_book")) {
        char path[4096];
        return defaultBook(path, sizeof path) < sizeof path &&
               isBesideTheLibrary(path, libraryFile, "AddressBook.CDIR");
    }
    auto* const location = find<decltype(GetDefaultAddressBookLocation)>(
        library, "_Z29GetDefaultAddressBookLocationv");
    return location != nullptr && isBesideTheLibrary(location(), libraryFile, "");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LIBRARY N\n", argv[0]);
        return static_cast<int>(HostOutcome::kMisused);
    }
    char const* const libraryFile = argv[1];
    vesnikFailAllocation(std::strtoul(argv[2], nullptr, 10));
    void* const library = dlopen(libraryFile, RTLD_NOW | RTLD_LOCAL);
    bool const failed = vesnikAllocationFailed() != 0;
    vesnikFailAllocation(0);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return static_cast<int>(failed ? HostOutcome::kNotLoaded : HostOutcome::kMisused);
    }
    if (!findsTheDefaultBook(library, libraryFile)) {
        return static_cast<int>(HostOutcome::kDefaultBookNotFound);
    }
    // What the library kept is left to the end of the process.
    return static_cast<int>(failed ? HostOutcome::kLoadedDespiteTheFailure
                                   : HostOutcome::kLoadedWithNoFailure);
}
