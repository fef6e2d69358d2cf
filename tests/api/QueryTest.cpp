// What each lookup returns: its match rule, its result for a null key, for a
// file that cannot be opened, and for no match.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

#include "Vesnik_API.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace vesnik::test {
namespace {

using std::nullopt;

// Identifiers differ only in letter case (K1, k1), repeat (K1 twice), and
// are missing (three columns); e-mails differ only in letter case.
constexpr char kBook[] =
    "Ann,Lee,Ann.Lee@example.org,K1,first\n"
    "Bob,Ray,bob@example.org,K2\n"
    ",,\n"
    "Cat,Tan,ANN.LEE@example.org,k1,second\r\n"
    "\n"
    "Dan,Roe,ann.lee@EXAMPLE.org,K1,third\n"
    "Eve,Kim,no-id@example.org\n"
    "Fay,Oh\n"
    "Gus,Ito,\xe9t\xe9@example.org,K3\n";

class Query : public ::testing::Test {
  protected:
    TempDir dir_;
    std::string const book_ = dir_.write("book.cdir", kBook);
    std::string const missing_ = (dir_.path() / "missing.cdir").string();
    char const* book() const { return book_.c_str(); }
};

Fields const kAnn = {"Ann", "Lee", "Ann.Lee@example.org", "K1", "first"};
Fields const kCat = {"Cat", "Tan", "ANN.LEE@example.org", "k1", "second"};
Fields const kDan = {"Dan", "Roe", "ann.lee@EXAMPLE.org", "K1", "third"};
Fields const kBob = {"Bob", "Ray", "bob@example.org", "K2", nullopt};

Fields withUpperEmail(Fields fields) {
    for (char& c : *fields[2]) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return fields;
}

TEST_F(Query, GetContactsListsEveryIdentifierInFileOrder) {
    IdList const ids(GetContacts(book(), nullptr));
    ASSERT_TRUE(ids);
    EXPECT_EQ(idsOf(*ids),
              (std::vector<Field>{"K1", "K2", nullopt, "k1", "K1", nullopt, nullopt, "K3"}));

    IdList const none(GetContacts(dir_.write("empty.cdir", "\n\r\n\n").c_str(), nullptr));
    ASSERT_TRUE(none) << "a file without contacts is not a missing file";
    EXPECT_TRUE(none->empty());
}

TEST_F(Query, GetContactInfoReturnsTheFirstExactMatch) {
    Record const first(GetContactInfo("K1", book(), nullptr));
    ASSERT_TRUE(first);
    EXPECT_EQ(fieldsOf(*first), kAnn);

    Record const lower(GetContactInfo("k1", book(), "ignored"));
    ASSERT_TRUE(lower);
    EXPECT_EQ(fieldsOf(*lower), kCat) << "letter case counts";

    Record const fourColumns(GetContactInfo("K2", book(), nullptr));
    ASSERT_TRUE(fourColumns);
    EXPECT_EQ(fieldsOf(*fourColumns), kBob);

    for (char const* key : {"K", "K1 ", "first", "Ann", "", "k2"}) {
        EXPECT_EQ(GetContactInfo(key, book(), nullptr), nullptr) << "'" << key << "'";
    }
    EXPECT_EQ(GetContactInfo(nullptr, book(), nullptr), nullptr);
}

TEST_F(Query, GetContactInfosReturnsMatchesInFileOrderEachOnce) {
    std::vector<char*> keys = {const_cast<char*>("K2"), nullptr, const_cast<char*>("K1"),
                               const_cast<char*>("K2"), const_cast<char*>("nobody")};
    RecordList const found(GetContactInfos(&keys, book(), nullptr));
    ASSERT_TRUE(found);
    EXPECT_EQ(fieldsOf(*found), (std::vector<Fields>{kAnn, kBob, kDan}));

    std::vector<char*> const noKeys;
    RecordList const empty(GetContactInfos(&noKeys, book(), nullptr));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());

    EXPECT_EQ(GetContactInfos(nullptr, book(), nullptr), nullptr);
}

TEST_F(Query, GetContactInfosFromEmailIgnoresLetterCaseAndUpperCasesResults) {
    char key[] = "Ann.Lee@Example.ORG";
    RecordList const found(GetContactInfosFromEmail(key, book(), nullptr));
    ASSERT_TRUE(found);
    EXPECT_EQ(fieldsOf(*found), (std::vector<Fields>{withUpperEmail(kAnn), withUpperEmail(kCat),
                                                     withUpperEmail(kDan)}));
    EXPECT_STREQ(key, "Ann.Lee@Example.ORG") << "the caller's key is not changed";

    RecordList const none(GetContactInfosFromEmail("ann.lee", book(), nullptr));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());

    RecordList const nullKey(GetContactInfosFromEmail(nullptr, missing_.c_str(), nullptr));
    ASSERT_TRUE(nullKey) << "a null key gives an empty list without opening the file";
    EXPECT_TRUE(nullKey->empty());
}

TEST_F(Query, GetContactIdGivesTheFirstMatchingRecordsIdentifier) {
    String const id(GetContactID("ANN.LEE@example.org", book(), nullptr));
    ASSERT_TRUE(id);
    EXPECT_STREQ(id.get(), "K1");

    // The first match has no identifier: the answer is null, not a later one.
    std::string const noIdBook = dir_.write("noid.cdir", "a,b,x@y\nc,d,X@Y,K9\n");
    EXPECT_EQ(GetContactID("x@y", noIdBook.c_str(), nullptr), nullptr);

    EXPECT_EQ(GetContactID("nobody@example.org", book(), nullptr), nullptr);
    EXPECT_EQ(GetContactID("", book(), nullptr), nullptr);
    EXPECT_EQ(GetContactID(nullptr, book(), nullptr), nullptr);
}

TEST_F(Query, EveryLookupOfABookThatCannotBeOpenedIsNull) {
    std::vector<char*> keys = {const_cast<char*>("K1")};
    std::string const directory = dir_.path().string();
    for (char const* path : {missing_.c_str(), directory.c_str(), ""}) {
        EXPECT_EQ(GetContacts(path, nullptr), nullptr) << "'" << path << "'";
        EXPECT_EQ(GetContactInfo("K1", path, nullptr), nullptr) << "'" << path << "'";
        EXPECT_EQ(GetContactInfos(&keys, path, nullptr), nullptr) << "'" << path << "'";
        EXPECT_EQ(GetContactInfosFromEmail("bob@example.org", path, nullptr), nullptr)
            << "'" << path << "'";
        EXPECT_EQ(GetContactID("bob@example.org", path, nullptr), nullptr) << "'" << path << "'";
    }
}

TEST_F(Query, LetterFoldingIsAsciiOnlyWhateverTheLocale) {
    // Where a Latin-1 locale is installed, its toupper would fold 0xE9 to 0xC9.
    for (char const* locale : {"C", "C.UTF-8", "en_US.ISO-8859-1", "de_DE.ISO-8859-1"}) {
        if (std::setlocale(LC_ALL, locale) == nullptr) {
            continue;
        }
        EXPECT_EQ(GetContactID("\xc9T\xc9@EXAMPLE.ORG", book(), nullptr), nullptr) << locale;
        String const id(GetContactID("\xe9T\xe9@EXAMPLE.ORG", book(), nullptr));
        ASSERT_TRUE(id) << locale;
        EXPECT_STREQ(id.get(), "K3");
    }
    std::setlocale(LC_ALL, "C");
}

TEST_F(Query, LongLinesGiveOneRecordAndNoPhantoms) {
    // A notes column that, cut at a fixed length, would leave a tail looking
    // like a contact of its own.
    std::string const notes = std::string(595, 'n') + ",x,y,tail@example.org,K9";
    std::string const path = dir_.write("long.cdir", "a,b,c@d,K1," + notes + "\n");
    EXPECT_EQ(GetContactInfo("K9", path.c_str(), nullptr), nullptr);
    EXPECT_EQ(GetContactID("tail@example.org", path.c_str(), nullptr), nullptr);

    Record const whole(GetContactInfo("K1", path.c_str(), nullptr));
    ASSERT_TRUE(whole);
    EXPECT_EQ(fieldsOf(*whole), (Fields{"a", "b", "c@d", "K1", std::string(595, 'n')}));

    IdList const ids(GetContacts(path.c_str(), nullptr));
    ASSERT_TRUE(ids);
    EXPECT_EQ(idsOf(*ids), std::vector<Field>{"K1"});
}

}  // namespace
}  // namespace vesnik::test
