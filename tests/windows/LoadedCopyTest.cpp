// Hosts that load a copy of the DLL themselves with LoadLibrary. The default
// location depends on the name the copy was loaded by, so this program does
// not link the DLL: the copy is the only one in the process.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "HostDirectory.h"
#include "Vesnik_API.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace vesnik::test {
namespace {

namespace fs = std::filesystem;

// Paths past MAX_PATH need their "\\?\" form and the wide functions.
std::wstring extended(fs::path const& path) {
    return L"\\\\?\\" + path.wstring();
}

// A copy of the built DLL at file, loaded by that path; unloaded and deleted
// when this goes.
class LoadedCopy {
  public:
    explicit LoadedCopy(fs::path const& file) : file_(extended(file)) {
        fs::path const built = hostDirectory() + "Vesnik_API.dll";
        if (!::CopyFileW(built.wstring().c_str(), file_.c_str(), FALSE) ||
            (module_ = ::LoadLibraryW(file_.c_str())) == nullptr) {
            ::DeleteFileW(file_.c_str());
            throw std::runtime_error("cannot copy the DLL to " + file.string() + " and load it");
        }
    }
    ~LoadedCopy() {
        ::FreeLibrary(module_);
        ::DeleteFileW(file_.c_str());
    }

    // The copy's lookup of that decorated name.
    template <class Function>
    Function exported(char const* name) const {
        FARPROC const address = ::GetProcAddress(module_, name);
        if (address == nullptr) {
            throw std::runtime_error(std::string("the DLL does not export ") + name);
        }
        // Through the generic function type, which converts to any other.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
    }

  private:
    std::wstring file_;
    HMODULE module_ = nullptr;
};

TEST(LoadedCopy, LocationAndDefaultBookFollowTheNameTheCopyWasLoadedBy) {
    TempDir const dir;
    // One name long enough to take the path past MAX_PATH.
    fs::path const deep = dir.path() / std::string(240, 'd');
    ASSERT_GT(deep.string().size(), std::size_t{MAX_PATH});
    ASSERT_TRUE(::CreateDirectoryW(extended(deep).c_str(), nullptr));
    // Loaded by the library's name, also in a directory longer than MAX_PATH;
    // renamed, the host's directory.
    std::pair<fs::path, std::string> const cases[] = {
        {dir.path() / "Vesnik_API.dll", dir.path().string() + "\\"},
        {deep / "Vesnik_API.dll", deep.string() + "\\"},
        {dir.path() / "Renamed.dll", hostDirectory()},
    };
    for (auto const& [file, expected] : cases) {
        LoadedCopy const copy(file);
        String const location(copy.exported<decltype(&::GetDefaultAddressBookLocation)>(
            "_Z29GetDefaultAddressBookLocationv")());
        EXPECT_STREQ(location.get(), expected.c_str()) << file.string();
    }
    ::RemoveDirectoryW(extended(deep).c_str());

    // The default book is the one beside the copy.
    dir.write("AddressBook.CDIR", "Ann,Lee,ann@x,K1\r\nBob,Ray,bob@x,K2\r\n");
    LoadedCopy const copy(dir.path() / "Vesnik_API.dll");
    IdList const ids(
        copy.exported<decltype(&::GetContacts)>("_Z11GetContactsPKcS0_")(nullptr, nullptr));
    ASSERT_TRUE(ids);
    EXPECT_EQ(idsOf(*ids), (std::vector<Field>{"K1", "K2"}));
}

}  // namespace
}  // namespace vesnik::test
