// What the comparison with the plain reading cannot show: which paths name a
// book, letter case under other locales, and that results belong to the
// caller alone (the sanitizer build checks that they are released as
// documented) while the caller's own arguments are only read.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <filesystem>
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
    std::vector<std::pair<std::string, bool>> paths = {
        {dir + "/missing.cdir", false},
        {dir, false},
        {"", false},
        {through(5000), false},
        {through(70000), false},
        {through(200), true},
        {dir + "/carnet \xe9t\xe9.cdir", true}};  // Latin-1
#ifndef _WIN32
    // Windows reads a narrow path in its ANSI code page, which spells these
    // UTF-8 bytes as other, partly unassigned characters.
    std::filesystem::create_directory(dir_.path() / "Адресы");
    paths.emplace_back(dir + "/Адресы/книга é.cdir", true);
#endif
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

TEST_F(Query, LetterFoldingIsAsciiOnlyWhateverTheLocale) {
    // Where a Latin-1 locale is installed, its toupper would fold 0xE9 to 0xC9.
    for (char const* locale : {"C", "C.UTF-8", "en_US.ISO-8859-1", "de_DE.ISO-8859-1"}) {
        if (std::setlocale(LC_ALL, locale) == nullptr) {
            continue;
        }
        EXPECT_EQ(String(GetContactID("\xc9T\xc9@EXAMPLE.ORG", book(), nullptr)), nullptr)
            << locale;
        String const id(GetContactID("\xe9T\xe9@EXAMPLE.ORG", book(), nullptr));
        EXPECT_EQ(fieldOf(id.get()), Field("K3")) << locale;
        RecordList const found(GetContactInfosFromEmail("\xe9t\xe9@example.org", book(), nullptr));
        ASSERT_TRUE(found && found->size() == 1) << locale;
        EXPECT_STREQ(found->front()->email, "\xe9T\xe9@EXAMPLE.ORG") << locale;
    }
    std::setlocale(LC_ALL, "C");
}

TEST_F(Query, ResultsAreTheCallersAloneAndKeysAreOnlyRead) {
    char id[] = "K1";
    char other[] = "k3";
    char email[] = "ANN.lee@example.org";
    std::vector<char*> keys = {id, nullptr, other};
    auto const keysBefore = keys;
    Record const info(GetContactInfo(id, book(), nullptr));
    RecordList const infos(GetContactInfos(&keys, book(), nullptr));
    RecordList const byEmail(GetContactInfosFromEmail(email, book(), nullptr));
    String const idOf(GetContactID(email, book(), nullptr));
    IdList const ids(GetContacts(book(), nullptr));
    ASSERT_TRUE(info && infos && byEmail && idOf && ids);
    EXPECT_EQ(keys, keysBefore);
    EXPECT_STREQ(id, "K1");
    EXPECT_STREQ(other, "k3");
    EXPECT_STREQ(email, "ANN.lee@example.org");

    // Later calls get strings of their own, and leave these alone whatever
    // becomes of the file.
    for (int i = 0; i < 5; ++i) {
        Record const again(GetContactInfo(id, book(), nullptr));
        String const idAgain(GetContactID(email, book(), nullptr));
        ASSERT_TRUE(again && idAgain);
        EXPECT_NE(again->field1, info->field1);
        EXPECT_NE(idAgain.get(), idOf.get());
    }
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
    ASSERT_TRUE(first && second);
    ASSERT_NE(first.get(), second.get());
    EXPECT_STREQ(first.get(), second.get());
    std::size_t const length = std::strlen(first.get());
    ASSERT_GT(length, 0u);
    EXPECT_TRUE(first.get()[length - 1] == '/' || first.get()[length - 1] == '\\') << first.get();
    // Hosts may write into the 260 bytes they were promised.
    for (std::size_t i = length; i < 260; ++i) {
        ASSERT_EQ(first.get()[i], '\0') << "byte " << i;
    }
}

}  // namespace
}  // namespace vesnik::test
