// Paths and files no sensible host passes, which some host will: too long,
// not ASCII, removed while a lookup reads them.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Vesnik_API.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace fs = std::filesystem;

namespace vesnik::test {
namespace {

constexpr char kBook[] = "Ann,Lee,ann@x,K1,first\nBob,Ray,bob@x,K2\n";

TEST(HostileInput, PathsLongerThanTheSystemAllowsCannotBeOpened) {
    TempDir const dir;
    dir.write("book.cdir", kBook);
    std::vector<char*> keys = {const_cast<char*>("K1")};
    for (auto const& [length, opens] : {std::pair{200u, true}, {5000u, false}, {70000u, false}}) {
        // The same book, named through as many "." directories as it takes:
        // only the length can keep it from being opened.
        std::string path = dir.path().string();
        while (path.size() < length - 10) {
            path += "/.";
        }
        char const* const book = (path += "/book.cdir").c_str();
        SCOPED_TRACE(path.size());
        EXPECT_EQ(IdList(GetContacts(book, nullptr)) != nullptr, opens);
        EXPECT_EQ(Record(GetContactInfo("K1", book, nullptr)) != nullptr, opens);
        EXPECT_EQ(RecordList(GetContactInfos(&keys, book, nullptr)) != nullptr, opens);
        EXPECT_EQ(RecordList(GetContactInfosFromEmail("ann@x", book, nullptr)) != nullptr, opens);
        EXPECT_EQ(String(GetContactID("ann@x", book, nullptr)) != nullptr, opens);
    }
}

TEST(HostileInput, NonAsciiPathsNameTheirBook) {
    struct Row {
        char const* directory;
        char const* file;
    };
    std::vector<Row> rows = {{".", "carnet \xe9t\xe9.cdir"}};  // Latin-1
#ifndef _WIN32
    // Windows reads a narrow path in its ANSI code page, which spells these
    // UTF-8 bytes as other, partly unassigned characters.
    rows.push_back({"Адресы", "книга é.cdir"});
#endif
    TempDir const dir;
    for (Row const& row : rows) {
        std::string const directory = dir.path().string() + "/" + row.directory;
        fs::create_directories(directory);
        std::string const path = directory + "/" + row.file;
        std::ofstream(path, std::ios::binary) << kBook;
        SCOPED_TRACE(path);
        IdList const ids(GetContacts(path.c_str(), nullptr));
        ASSERT_TRUE(ids);
        EXPECT_EQ(idsOf(*ids), (std::vector<Field>{"K1", "K2"}));
        Record const bob(GetContactInfo("K2", path.c_str(), nullptr));
        ASSERT_TRUE(bob);
        EXPECT_EQ(fieldsOf(*bob), (Fields{"Bob", "Ray", "bob@x", "K2", std::nullopt}));
    }
}

// The lookup that opened the book reads on from its handle; one that came
// after the removal finds no book.
TEST(HostileInput, BookRemovedDuringAScanIsReadWholeOrNotAtAll) {
    std::string text;
    for (int i = 0; i < 150000; ++i) {
        text += "First,Last," + std::to_string(i) + "@x,K" + std::to_string(i) + ",n\n";
    }
    TempDir const dir;
    std::string const path = dir.write("book.cdir", text);
    IdList const whole(GetContacts(path.c_str(), nullptr));
    ASSERT_TRUE(whole);
    ASSERT_EQ(whole->size(), 150000u);
    auto const expected = idsOf(*whole);
    int complete = 0;
    int missing = 0;
    for (int delay : {0, 0, 1, 2, 3, 5, 8, 13}) {
        dir.write("book.cdir", text);
        std::optional<std::vector<Field>> got;
        std::thread scan([&] {
            IdList const ids(GetContacts(path.c_str(), nullptr));
            got = ids ? std::optional(idsOf(*ids)) : std::nullopt;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        EXPECT_TRUE(fs::remove(path));
        scan.join();
        ++(got ? complete : missing);
        EXPECT_TRUE(!got || *got == expected) << "removed after " << delay << " ms";
    }
    std::cout << "[ removed  ] " << complete << " scans read the removed book whole, " << missing
              << " came after the removal\n";
}

}  // namespace
}  // namespace vesnik::test
