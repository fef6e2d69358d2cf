// The library finds its own directory from its own loaded file, once, while it
// loads: under any name, from a directory of any length and name, whatever the
// host's working directory becomes.
#include <dlfcn.h>
#include <malloc.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "Vesnik_API.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace fs = std::filesystem;

namespace vesnik::test {
namespace {

std::string directoryWithSeparator(fs::path const& directory) {
    return fs::canonical(directory).string() + "/";
}

// The linked library's; and that of a renamed copy in a directory whose path
// is long and whose name holds a line feed and a backslash, loaded by a
// relative path with dlopen as any host may load it. The host then changes its
// working directory, and even renames the directory, before asking again.
TEST(DefaultLocation, IsTheLibrarysDirectoryFoundWhileItLoads) {
    String const linked(GetDefaultAddressBookLocation());
    EXPECT_EQ(fieldOf(linked.get()),
              directoryWithSeparator(fs::path(VESNIK_LIBRARY_FILE).parent_path()));

    TempDir const dir;
    std::string const relative =
        std::string(200, 'd') + "/lib\nname\\with\012odd bytes" + std::string(60, 'e');
    fs::create_directories(dir.path() / relative);
    fs::copy_file(VESNIK_LIBRARY_FILE, dir.path() / relative / "renamed-copy.so");
    std::ofstream(dir.path() / relative / "AddressBook.CDIR") << "a,b,c@d,K7,beside the copy\n";
    std::string const expected = directoryWithSeparator(dir.path() / relative);
    ASSERT_GT(expected.size(), 300u);

    auto const previous = fs::current_path();
    fs::current_path(dir.path());
    std::unique_ptr<void, int (*)(void*)> const copy(
        dlopen(("./" + relative + "/renamed-copy.so").c_str(), RTLD_NOW | RTLD_LOCAL), dlclose);
    fs::current_path("/");
    ASSERT_TRUE(copy) << dlerror();
    auto const location = reinterpret_cast<decltype(&GetDefaultAddressBookLocation)>(
        dlsym(copy.get(), "_Z29GetDefaultAddressBookLocationv"));
    auto const info = reinterpret_cast<decltype(&GetContactInfo)>(
        dlsym(copy.get(), "_Z14GetContactInfoPKcS0_S0_"));
    ASSERT_TRUE(location && info);

    Record const record(info("K7", nullptr, nullptr));
    ASSERT_TRUE(record) << "the default book beside the copy is read, its path whole";
    EXPECT_STREQ(record->field5, "beside the copy");
    fs::rename(dir.path() / relative, dir.path() / "renamed");
    String const text(location());
    EXPECT_EQ(fieldOf(text.get()), expected);
    EXPECT_GE(malloc_usable_size(const_cast<char*>(text.get())), expected.size() + 1);
    fs::current_path(previous);
}

}  // namespace
}  // namespace vesnik::test
