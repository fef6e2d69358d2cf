// A book that opens but cannot be read through: the process's own memory
// file fails its first read at address 0. That is a failure, not an empty
// book, so no lookup answers as if it had read the book whole.
#include <gtest/gtest.h>

#include <vector>

#include "Vesnik_API.h"
#include "support/Results.h"

namespace vesnik::test {
namespace {

TEST(ReadFailure, ListLookupsOfABookThatFailsPartWayAreNull) {
    char const* const path = "/proc/self/mem";
    std::vector<char*> ids = {const_cast<char*>("K1")};
    EXPECT_EQ(IdList(GetContacts(path, nullptr)), nullptr);
    EXPECT_EQ(RecordList(GetContactInfos(&ids, path, nullptr)), nullptr);
    EXPECT_EQ(RecordList(GetContactInfosFromEmail("ann@x", path, nullptr)), nullptr);
    EXPECT_EQ(Record(GetContactInfo("K1", path, nullptr)), nullptr);
    EXPECT_EQ(String(GetContactID("ann@x", path, nullptr)), nullptr);
}

}  // namespace
}  // namespace vesnik::test
