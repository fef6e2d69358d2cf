// A host that loads a library with one allocation of the load failing:
//   allocation_failing_host LIBRARY N
// loads LIBRARY (either the six functions' or the C interface's) with dlopen
// while the N-th allocation fails, then, unarmed, asks it for its default
// book, which must be found: AddressBook.CDIR beside LIBRARY, holding the
// contact K7 with "beside the copy" as its fifth field. Its exit status tells
// how that went (HostOutcome). It is written as a C program is, using nothing
// of the C++ runtime, which therefore comes with the library, as it does into
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
    char const* const expectedField = "beside the copy";
    if (auto* const defaultBook =
            find<decltype(vesnik_default_book)>(library, "vesnik_default_book")) {
        char path[4096];
        auto* const findIds = find<decltype(vesnik_find_ids)>(library, "vesnik_find_ids");
        auto* const size = find<decltype(vesnik_list_size)>(library, "vesnik_list_size");
        auto* const at = find<decltype(vesnik_list_at)>(library, "vesnik_list_at");
        char const* const ids[] = {"K7"};
        vesnik_list* list = nullptr;
        return defaultBook(path, sizeof path) < sizeof path &&
               isBesideTheLibrary(path, libraryFile, "AddressBook.CDIR") &&
               findIds(nullptr, ids, 1, 0, &list) == VESNIK_OK && size(list) == 1 &&
               std::strcmp(at(list, 0)->field5, expectedField) == 0;
    }
    auto* const location = find<decltype(GetDefaultAddressBookLocation)>(
        library, "_Z29GetDefaultAddressBookLocationv");
    auto* const info = find<decltype(GetContactInfo)>(library, "_Z14GetContactInfoPKcS0_S0_");
    if (location == nullptr || info == nullptr) {
        return false;
    }
    AddressBook::ContactInfo const* const record = info("K7", nullptr, nullptr);
    return isBesideTheLibrary(location(), libraryFile, "") && record != nullptr &&
           std::strcmp(record->field5, expectedField) == 0;
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
