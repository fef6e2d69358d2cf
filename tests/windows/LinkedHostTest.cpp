// A host that links Vesnik_API.dll through its import library, as most do.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "HostDirectory.h"
#include "Vesnik_API.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace vesnik::test {
namespace {

// The default location is the directory the DLL was loaded from. Read in text
// mode, CR LF would be folded before the line reader sees it, and a Ctrl-Z
// byte would end the file. Another program may be editing, replacing or
// renaming the book while a lookup reads it.
TEST(LinkedHost, FindsItsDirectoryAndReadsBooksAsBytesWhileAnotherHandleHoldsThem) {
    // The loader found the DLL beside this program.
    String const location(GetDefaultAddressBookLocation());
    EXPECT_EQ(fieldOf(location.get()), hostDirectory());
    TempDir const dir;
    auto const path = dir.write("book",
                                "Ann,Lee,ann@x,K1,first\r\n"
                                "\x1a,Ctl,ctl@x,K2\r\n"
                                "Cat,Tan,lone\rcr@x,K3,last\r\n");
    HANDLE const editor = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(editor, INVALID_HANDLE_VALUE);
    IdList const ids(GetContacts(path.c_str(), nullptr));
    RecordList const records(GetContactInfos(ids.get(), path.c_str(), nullptr));
    ::CloseHandle(editor);
    ASSERT_TRUE(ids && records);
    EXPECT_EQ(idsOf(*ids), (std::vector<Field>{"K1", "K2", "K3"}));
    EXPECT_EQ(fieldsOf(*records), (std::vector<Fields>{
                                      {"Ann", "Lee", "ann@x", "K1", "first"},
                                      {"\x1a", "Ctl", "ctl@x", "K2", std::nullopt},
                                      {"Cat", "Tan", "lone\rcr@x", "K3", "last"},
                                  }));
}

}  // namespace
}  // namespace vesnik::test
