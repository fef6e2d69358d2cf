// What the comparison with the plain reading cannot show: that results
// belong to the caller alone (the sanitizer build checks that they are
// released as documented) while the caller's own arguments are only read.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Vesnik_API.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace vesnik::test {
namespace {

constexpr char kBook[] = "Ann,Lee,Ann.Lee@example.org,K1,first\nGus,Ito,\xe9t\xe9@example.org,K3\n";

class Query : public ::testing::Test {
  protected:
    TempDir dir_;
    std::string const book_ = dir_.write("book.cdir", kBook);
    char const* book() const { return book_.c_str(); }
};

TEST_F(Query, ResultsAreTheCallersAloneAndKeysAreOnlyRead) {
    char id[] = "K1";
    char email[] = "ANN.lee@example.org";
    std::vector<char*> keys = {id, nullptr, email};
    Record const info(GetContactInfo(id, book(), nullptr));
    RecordList const infos(GetContactInfos(&keys, book(), nullptr));
    RecordList const byEmail(GetContactInfosFromEmail(email, book(), nullptr));
    String const idOf(GetContactID(email, book(), nullptr));
    IdList const ids(GetContacts(book(), nullptr));
    ASSERT_TRUE(info && infos && byEmail && idOf && ids);
    EXPECT_EQ(keys, (std::vector<char*>{id, nullptr, email}));
    EXPECT_STREQ(id, "K1");
    EXPECT_STREQ(email, "ANN.lee@example.org");

    // A later call gets strings of its own, and leaves these alone whatever
    // becomes of the file.
    Record const again(GetContactInfo(id, book(), nullptr));
    String const idAgain(GetContactID(email, book(), nullptr));
    ASSERT_TRUE(again && idAgain);
    EXPECT_NE(again->field1, info->field1);
    EXPECT_NE(idAgain.get(), idOf.get());
    dir_.write("book.cdir", "overwritten\n");
    Fields const ann = {"Ann", "Lee", "Ann.Lee@example.org", "K1", "first"};
    EXPECT_EQ(fieldsOf(*info), ann);
    EXPECT_EQ(fieldsOf(*infos), std::vector<Fields>{ann});
    EXPECT_EQ(fieldsOf(*byEmail),
              (std::vector<Fields>{{"Ann", "Lee", "ANN.LEE@EXAMPLE.ORG", "K1", "first"}}));
    EXPECT_STREQ(idOf.get(), "K1");
    EXPECT_EQ(idsOf(*ids), (std::vector<Field>{"K1", "K3"}));
}

TEST(Location, IsAZeroFilledBufferOfItsOwn) {
    String const first(GetDefaultAddressBookLocation());
    String const second(GetDefaultAddressBookLocation());
    ASSERT_TRUE(first && second && first.get() != second.get());
    std::string const location = first.get();
    EXPECT_EQ(location, second.get());
    ASSERT_LT(location.size(), 260u);
    // Hosts may write into the 260 bytes they were promised.
    EXPECT_EQ(std::count(first.get() + location.size(), first.get() + 260, '\0'),
              260 - static_cast<long>(location.size()));
}

}  // namespace
}  // namespace vesnik::test
