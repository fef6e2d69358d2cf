// The library finds its own directory from its own loaded file: under any
// name, from a directory of any length, whatever the host's working directory.
#include <dlfcn.h>
#include <malloc.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Vesnik_API.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace fs = std::filesystem;

namespace vesnik::test {
namespace {

std::string directoryWithSeparator(fs::path const& directory) {
    return fs::canonical(directory).string() + "/";
}

TEST(DefaultLocation, IsTheLinkedLibrarysDirectory) {
    String const location(GetDefaultAddressBookLocation());
    ASSERT_TRUE(location);
    EXPECT_EQ(location.get(), directoryWithSeparator(fs::path(VESNIK_LIBRARY_FILE).parent_path()));
}

// A copy of the library loaded with dlopen, its lookups found by their
// exported names as any host could find them.
class LoadedCopy {
  public:
    explicit LoadedCopy(std::string const& file)
        : handle_(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedCopy() {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    LoadedCopy(LoadedCopy const&) = delete;
    LoadedCopy& operator=(LoadedCopy const&) = delete;

    bool loaded() const { return handle_ != nullptr; }

    String location() const {
        auto const get = reinterpret_cast<decltype(&GetDefaultAddressBookLocation)>(
            dlsym(handle_, "_Z29GetDefaultAddressBookLocationv"));
        return String(get ? get() : nullptr);
    }

    Record contactFromDefaultBook(char const* id) const {
        auto const get = reinterpret_cast<decltype(&GetContactInfo)>(
            dlsym(handle_, "_Z14GetContactInfoPKcS0_S0_"));
        return Record(get ? get(id, nullptr, nullptr) : nullptr);
    }

  private:
    void* handle_;
};

TEST(DefaultLocation, RenamedCopyInALongDirectoryNamesItsOwnDirectory) {
    TempDir const dir;
    fs::path const deep = dir.path() / std::string(200, 'd') / std::string(150, 'e');
    fs::create_directories(deep);
    fs::copy_file(VESNIK_LIBRARY_FILE, deep / "renamed-copy.so");
    std::string const bookPath = (deep / "AddressBook.CDIR").string();
    std::ofstream(bookPath) << "a,b,c@d,K7,beside the copy\n";

    LoadedCopy const copy((deep / "renamed-copy.so").string());
    ASSERT_TRUE(copy.loaded()) << dlerror();
    String const location = copy.location();
    ASSERT_TRUE(location);
    std::string const expected = directoryWithSeparator(deep);
    ASSERT_GT(expected.size(), 300u);
    EXPECT_EQ(location.get(), expected);
    EXPECT_GE(malloc_usable_size(const_cast<char*>(location.get())), expected.size() + 1);

    Record const record = copy.contactFromDefaultBook("K7");
    ASSERT_TRUE(record) << "the default book beside the copy is read, its path whole";
    EXPECT_STREQ(record->field5, "beside the copy");
}

// A copy loaded by a relative path from a directory whose name holds a line
// feed and a backslash: its directory is found once, while it loads, so the
// host may change its working directory, and even rename the directory, before
// asking from several threads at once.
TEST(DefaultLocation, IsFoundOnceWhileTheLibraryLoads) {
    TempDir const dir;
    std::string const name = "lib\nname\\with\012odd bytes";
    fs::create_directory(dir.path() / name);
    fs::copy_file(VESNIK_LIBRARY_FILE, dir.path() / name / "relative-copy.so");
    std::string const expected = directoryWithSeparator(dir.path() / name);
    auto const previous = fs::current_path();
    fs::current_path(dir.path());
    {
        LoadedCopy const copy("./" + name + "/relative-copy.so");
        fs::current_path("/");
        ASSERT_TRUE(copy.loaded()) << dlerror();
        fs::rename(dir.path() / name, dir.path() / "renamed");
        std::vector<std::string> answers(4);
        std::vector<std::thread> threads;
        for (auto& answer : answers) {
            threads.emplace_back([&copy, &answer] {
                String const location = copy.location();
                answer = location ? location.get() : "(null)";
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
        EXPECT_EQ(answers, std::vector<std::string>(4, expected));
    }
    fs::current_path(previous);
}

}  // namespace
}  // namespace vesnik::test
