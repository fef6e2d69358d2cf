// Several host threads querying one file at once each get the complete answer
// that a lone caller gets.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Vesnik_API.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace vesnik::test {
namespace {

struct Answers {
    std::vector<Field> ids;
    std::vector<Fields> byEmail;
    std::vector<Fields> byIds;
    Field idOfEmail;

    bool operator==(Answers const& other) const {
        return ids == other.ids && byEmail == other.byEmail && byIds == other.byIds &&
               idOfEmail == other.idOfEmail;
    }
};

Answers askEverything(char const* path) {
    Answers answers;
    IdList const ids(GetContacts(path, nullptr));
    RecordList const byEmail(GetContactInfosFromEmail("shared@example.org", path, nullptr));
    std::vector<char*> keys = {const_cast<char*>("K17"), const_cast<char*>("K1999")};
    RecordList const byIds(GetContactInfos(&keys, path, nullptr));
    String const id(GetContactID("person1501@example.org", path, nullptr));
    if (ids && byEmail && byIds) {
        answers = {idsOf(*ids), fieldsOf(*byEmail), fieldsOf(*byIds), fieldOf(id.get())};
    }
    return answers;
}

TEST(Threads, ConcurrentCallsOnOneFileGetCompleteIndependentAnswers) {
    std::string book;
    for (int i = 0; i < 2000; ++i) {
        std::string const n = std::to_string(i);
        std::string const email =
            i % 10 == 0 ? "Shared@Example.org" : "person" + n + "@example.org";
        book +=
            "First" + n + (i % 2 ? "\t" : ",") + "Last" + n + "," + email + ",K" + n + ",note\n";
    }
    TempDir const dir;
    auto const path = dir.write("book", book);

    Answers const expected = askEverything(path.c_str());
    ASSERT_EQ(expected.ids.size(), 2000u);
    ASSERT_EQ(expected.byEmail.size(), 200u);
    ASSERT_EQ(expected.byIds.size(), 2u);
    ASSERT_EQ(expected.idOfEmail, Field("K1501"));

    constexpr int kThreads = 6;
    constexpr int kRounds = 15;
    std::vector<int> agreed(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                agreed[static_cast<std::size_t>(t)] += askEverything(path.c_str()) == expected;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(agreed, std::vector<int>(kThreads, kRounds));
}

}  // namespace
}  // namespace vesnik::test
