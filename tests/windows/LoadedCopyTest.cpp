// Hosts that load a copy of the DLL themselves with LoadLibrary. The default
// location depends on the name the copy was loaded by, so this program does
// not link the DLL: the copy is the only one in the process.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
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

// Directories nested below base until the path is at least length long,
// removed when this goes.
class DeepDirectory {
  public:
    DeepDirectory(fs::path const& base, std::size_t length) : path_(base) {
        while (path_.string().size() < length) {
            path_ /= "nested-directory-level";
            if (!::CreateDirectoryW(extended(path_).c_str(), nullptr)) {
                throw std::runtime_error("cannot create " + path_.string());
            }
            made_.push_back(path_);
        }
    }
    ~DeepDirectory() {
        for (auto level = made_.rbegin(); level != made_.rend(); ++level) {
            ::RemoveDirectoryW(extended(*level).c_str());
        }
    }
    DeepDirectory(DeepDirectory const&) = delete;
    DeepDirectory& operator=(DeepDirectory const&) = delete;

    fs::path const& path() const { return path_; }

  private:
    fs::path path_;
    std::vector<fs::path> made_;
};

// A copy of the built DLL at file, loaded by that path; unloaded and deleted
// when this goes.
class LoadedCopy {
  public:
    explicit LoadedCopy(fs::path file) : file_(std::move(file)) {
        fs::path const built = hostDirectory() + "Vesnik_API.dll";
        if (!::CopyFileW(built.wstring().c_str(), extended(file_).c_str(), FALSE)) {
            throw std::runtime_error("cannot copy the DLL to " + file_.string());
        }
        module_ = ::LoadLibraryW(extended(file_).c_str());
        if (module_ == nullptr) {
            ::DeleteFileW(extended(file_).c_str());
            throw std::runtime_error("cannot load " + file_.string());
        }
    }
    ~LoadedCopy() {
        ::FreeLibrary(module_);
        ::DeleteFileW(extended(file_).c_str());
    }
    LoadedCopy(LoadedCopy const&) = delete;
    LoadedCopy& operator=(LoadedCopy const&) = delete;

    std::string location() const {
        auto const lookup = exported<decltype(&::GetDefaultAddressBookLocation)>(
            "_Z29GetDefaultAddressBookLocationv");
        String const text(lookup());
        return text.get();
    }

    IdList contactsOfDefaultBook() const {
        auto const lookup = exported<decltype(&::GetContacts)>("_Z11GetContactsPKcS0_");
        return IdList(lookup(nullptr, nullptr));
    }

  private:
    template <class Function>
    Function exported(char const* name) const {
        FARPROC const address = ::GetProcAddress(module_, name);
        if (address == nullptr) {
            throw std::runtime_error(std::string("the DLL does not export ") + name);
        }
        // Through the generic function type, which converts to any other.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
    }

    fs::path file_;
    HMODULE module_ = nullptr;
};

std::string withBackslash(fs::path const& directory) {
    return directory.string() + "\\";
}

TEST(LoadedCopy, LocationFollowsTheNameTheCopyWasLoadedBy) {
    TempDir const dir;
    DeepDirectory const deep(dir.path(), 300);
    struct Case {
        char const* what;
        fs::path file;
        std::string expected;
    };
    Case const cases[] = {
        {"loaded by the library's name", dir.path() / "Vesnik_API.dll", withBackslash(dir.path())},
        {"in a directory longer than MAX_PATH", deep.path() / "Vesnik_API.dll",
         withBackslash(deep.path())},
        {"renamed: the host's directory", dir.path() / "Renamed.dll", hostDirectory()},
    };
    for (auto const& c : cases) {
        LoadedCopy const copy(c.file);
        EXPECT_EQ(copy.location(), c.expected) << c.what;
    }
}

TEST(LoadedCopy, DefaultBookIsTheOneBesideTheDll) {
    TempDir const dir;
    dir.write("AddressBook.CDIR", "Ann,Lee,ann@x,K1\r\nBob,Ray,bob@x,K2\r\n");
    LoadedCopy const copy(dir.path() / "Vesnik_API.dll");
    IdList const ids = copy.contactsOfDefaultBook();
    ASSERT_TRUE(ids);
    EXPECT_EQ(idsOf(*ids), (std::vector<Field>{"K1", "K2"}));
}

}  // namespace
}  // namespace vesnik::test
