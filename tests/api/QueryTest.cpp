// What the comparison with the plain reading cannot show: which paths name a
// book (one that opens but cannot be read names none), and that results
// belong to the caller alone (the sanitizer build checks that they are
// released as documented) while the caller's own arguments are only read.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
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

TEST_F(Query, EveryLookupOfABookThatCannotBeOpenedIsNull) {
    std::string const dir = dir_.path().string();
    // The book named through as many "." directories as it takes: only the
    // length keeps the longer ones from being opened.
    auto const through = [&](std::size_t length) {
        std::string path = dir;
        while (path.size() < length - 10) {
            path += "/.";
        }
        return path + "/book.cdir";
    };
    std::pair<std::string, bool> const paths[] = {
        {dir + "/missing.cdir", false},
        {dir, false},
        {"", false},
        {through(5000), false},
        {through(70000), false},
        {through(200), true},
        {dir + "/carnet \xe9t\xe9.cdir", true},  // Latin-1
        {"/proc/self/mem", false}};              // on Linux, opens and fails its first read
    std::vector<char*> keys = {const_cast<char*>("K1")};
    for (auto const& [path, opens] : paths) {
        if (opens) {
            // Named by its bytes, as a host names it.
            std::ofstream(path, std::ios::binary) << kBook;
        }
        char const* const book = path.c_str();
        SCOPED_TRACE(path.size() < 300 ? path : std::to_string(path.size()) + " bytes");
        EXPECT_EQ(IdList(GetContacts(book, nullptr)) != nullptr, opens);
        EXPECT_EQ(Record(GetContactInfo("K1", book, nullptr)) != nullptr, opens);
        EXPECT_EQ(RecordList(GetContactInfos(&keys, book, nullptr)) != nullptr, opens);
        EXPECT_EQ(
            RecordList(GetContactInfosFromEmail("ann.lee@example.org", book, nullptr)) != nullptr,
            opens);
        EXPECT_EQ(String(GetContactID("ann.lee@example.org", book, nullptr)) != nullptr, opens);
    }
}

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
