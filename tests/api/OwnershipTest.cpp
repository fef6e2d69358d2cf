// What the lookups hand over belongs to the caller alone: it outlives the
// call and later calls, it is released with free and delete as documented
// (the sanitizer build checks that), and the caller's own arguments are only
// read.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Vesnik_API.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace vesnik::test {
namespace {

TEST(Ownership, ResultsOutliveTheirCallAndLaterCalls) {
    TempDir const dir;
    auto const path = dir.write("book", "a,b,A@x,K1,e\nc,d,B@x,K2\n");
    Record const kept(GetContactInfo("K1", path.c_str(), nullptr));
    String const keptId(GetContactID("b@X", path.c_str(), nullptr));
    ASSERT_TRUE(kept);
    ASSERT_TRUE(keptId);
    for (int i = 0; i < 20; ++i) {
        Record const again(GetContactInfo("K1", path.c_str(), nullptr));
        ASSERT_TRUE(again);
        EXPECT_NE(again.get(), kept.get());
        EXPECT_NE(again->field1, kept->field1) << "each result has strings of its own";
        String const idAgain(GetContactID("B@x", path.c_str(), nullptr));
        EXPECT_NE(idAgain.get(), keptId.get());
    }
    dir.write("book", "overwritten\n");
    EXPECT_EQ(fieldsOf(*kept), (Fields{"a", "b", "A@x", "K1", "e"}));
    EXPECT_STREQ(keptId.get(), "K2");
}

TEST(Ownership, CallersKeysAreOnlyRead) {
    TempDir const dir;
    auto const path = dir.write("book", "a,b,mail@x,K1\n");
    char first[] = "K1";
    char second[] = "k1";
    std::vector<char*> keys = {first, nullptr, second};
    auto const before = keys;
    RecordList const found(GetContactInfos(&keys, path.c_str(), nullptr));
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ(keys, before);
    EXPECT_STREQ(first, "K1");
    EXPECT_STREQ(second, "k1");

    char email[] = "Mail@X";
    String const id(GetContactID(email, path.c_str(), nullptr));
    ASSERT_TRUE(id);
    EXPECT_STREQ(email, "Mail@X");
}

TEST(Ownership, LocationIsAZeroFilledBufferOfItsOwn) {
    char const* const first = GetDefaultAddressBookLocation();
    char const* const second = GetDefaultAddressBookLocation();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first, second);
    std::size_t const length = std::strlen(first);
    ASSERT_GT(length, 0u);
    EXPECT_TRUE(first[length - 1] == '/' || first[length - 1] == '\\') << first;
    EXPECT_STREQ(first, second);
    // Hosts may write into the 260 bytes they were promised.
    for (std::size_t i = length; i < 260; ++i) {
        ASSERT_EQ(first[i], '\0') << "byte " << i;
    }
    std::free(const_cast<char*>(first));
    std::free(const_cast<char*>(second));
}

}  // namespace
}  // namespace vesnik::test
