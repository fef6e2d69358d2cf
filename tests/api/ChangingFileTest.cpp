// A book that another program changes while lookups read it: truncated and
// written back, appended to, rewritten in place, or replaced by a rename. No
// lookup may crash, hang or leak, nor give bytes that the file never held.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "Vesnik_API.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace fs = std::filesystem;

namespace vesnik::test {
namespace {

constexpr int kContacts = 10000;  // about 340 KB: a scan takes several reads
constexpr int kAppended = 200;    // lines added by one append

// Contact i; its notes begin with the variant letter. Field1 has a fixed
// width, so that a whole one names its line.
Fields contact(int i, char variant = 'a') {
    std::string const n = std::to_string(100000 + i).substr(1);
    Field const email = i % 500 == 0 ? "Shared@X.org" : "p" + n + "@x.org";
    if (i % 13 == 7) {
        return {"F" + n, "L" + n, email, std::nullopt, std::nullopt};
    }
    return {"F" + n, "L" + n, email, "K" + n, variant + n};
}

// Contacts first to first + count - 1, some lines led by a TAB and some with
// runs of separators.
std::string book(int first, int count, char variant = 'a', bool reversed = false) {
    std::string text;
    for (int k = 0; k < count; ++k) {
        int const i = first + (reversed ? count - 1 - k : k);
        text += i % 11 == 5 ? "\t" : "";
        char const* separator = "";
        for (Field const& field : contact(i, variant)) {
            if (field) {
                text += separator + *field;
                separator = i % 3 ? "," : "\t,";
            }
        }
        text += '\n';
    }
    return text;
}

constexpr char kInfoKey[] = "K09998";
constexpr char kEmail[] = "shared@x.ORG";
std::vector<std::string> const kKeys = {"K00003", "K05000", "K09990", "K10100"};

struct Answers {
    std::optional<std::vector<Field>> ids;
    std::optional<Fields> info;
    std::optional<std::vector<Fields>> infos;
    std::optional<std::vector<Fields>> byEmail;
    Field idOfEmail;
};

constexpr char const* kLookups[] = {"GetContacts", "GetContactInfo", "GetContactInfos",
                                    "GetContactInfosFromEmail", "GetContactID"};

// Which of the five answers, in the order above, two rounds share.
std::array<bool, 5> same(Answers const& x, Answers const& y) {
    return {x.ids == y.ids, x.info == y.info, x.infos == y.infos, x.byEmail == y.byEmail,
            x.idOfEmail == y.idOfEmail};
}

Answers ask(std::string const& path) {
    char const* const book = path.c_str();
    std::vector<char*> keys;
    for (std::string const& key : kKeys) {
        keys.push_back(const_cast<char*>(key.c_str()));
    }
    IdList const ids(GetContacts(book, nullptr));
    Record const info(GetContactInfo(kInfoKey, book, nullptr));
    RecordList const infos(GetContactInfos(&keys, book, nullptr));
    RecordList const byEmail(GetContactInfosFromEmail(kEmail, book, nullptr));
    String const id(GetContactID(kEmail, book, nullptr));
    auto const copy = [](auto const& owner) {
        return owner ? std::optional(fieldsOf(*owner)) : std::nullopt;
    };
    return {ids ? std::optional(idsOf(*ids)) : std::nullopt, copy(info), copy(infos), copy(byEmail),
            fieldOf(id.get())};
}

// What a field of any of these books may hold: no separator, CR, LF or NUL.
bool madeOfBookBytes(Field const& field) {
    return !field || (!field->empty() &&
                      field->find_first_not_of("0123456789@.ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                               "abcdefghijklmnopqrstuvwxyz") == std::string::npos);
}

// Its fields made of book bytes, the absent ones last. With cutOnly, also a
// line of the book with every contact, or the start of one that a truncation
// cut short.
bool wellFormed(Fields const& got, bool cutOnly) {
    auto const present = std::find(got.begin(), got.end(), std::nullopt) - got.begin();
    if (got.size() != 5 || !std::all_of(got.begin(), got.end(), madeOfBookBytes) ||
        std::count(got.begin(), got.end(), std::nullopt) != 5 - present) {
        return false;
    }
    if (!cutOnly || present == 0) {
        return true;
    }
    // Field1 has a fixed width: a whole one names the line, a cut one ends it.
    std::string const& first = *got[0];
    if (first.size() < 6 || first[0] != 'F' ||
        first.find_first_not_of("0123456789", 1) != std::string::npos) {
        return present == 1 && first[0] == 'F' && first.size() < 6;
    }
    Fields const want = contact(std::stoi(first.substr(1)));
    auto const last = static_cast<std::size_t>(present - 1);
    return std::equal(got.begin(), got.begin() + present - 1, want.begin()) && want[last] &&
           want[last]->compare(0, got[last]->size(), *got[last]) == 0;
}

enum class Change { kTruncate, kAppend, kRewriteInPlace, kRename };

class ChangingBook : public ::testing::TestWithParam<Change> {
  protected:
    // Makes the change number step; false when the platform refused it.
    bool change(long step);

    // The lookups' answers to what this run may read; null when fine.
    char const* faultIn(Answers const& got) const;

    TempDir dir_;
    // Books A and B are as long, with their lines in other places.
    std::string const a_ = book(0, kContacts);
    std::string const b_ = book(0, kContacts, 'b', true);
    std::string const path_ = dir_.write("book.cdir", a_);
    Answers const answersA_ = ask(path_);
    Answers const answersB_ = ask(dir_.write("b.cdir", b_));
};

bool ChangingBook::change(long step) {
    switch (GetParam()) {
        case Change::kTruncate: {
            // To nothing or into a line, then the rest written back.
            std::size_t const cut = step % 2 ? a_.size() / 2 + 3 : 0;
            fs::resize_file(path_, cut);
            std::ofstream(path_, std::ios::binary | std::ios::app) << a_.substr(cut);
            return true;
        }
        case Change::kAppend:
            // Ten appends, then back to book A: always the start of one book.
            if (step % 11 == 10) {
                fs::resize_file(path_, a_.size());
            } else {
                std::ofstream(path_, std::ios::binary | std::ios::app)
                    << book(kContacts + static_cast<int>(step % 11) * kAppended, kAppended);
            }
            return true;
        case Change::kRewriteInPlace:
            std::fstream(path_, std::ios::binary | std::ios::in | std::ios::out)
                << (step % 2 ? a_ : b_);
            return true;
        case Change::kRename:
            try {
                fs::rename(dir_.write("next.cdir", step % 2 ? a_ : b_), path_);
                return true;
            } catch (fs::filesystem_error const&) {
                return false;
            }
    }
    return false;
}

char const* ChangingBook::faultIn(Answers const& got) const {
    if (GetParam() == Change::kRename) {
        // Each lookup read one whole book or the other.
        auto const a = same(got, answersA_);
        auto const b = same(got, answersB_);
        for (std::size_t k = 0; k < a.size(); ++k) {
            if (!a[k] && !b[k]) {
                return kLookups[k];
            }
        }
        return nullptr;
    }
    // Truncated or appended, the file is always the start of the book with
    // every contact: records are its lines or cut short, whole ids ascend.
    bool const cutOnly = GetParam() != Change::kRewriteInPlace;
    std::string previous;
    for (Field const& id : got.ids.value_or(std::vector<Field>{})) {
        bool const whole = cutOnly && id && id->size() == 6;
        if (!madeOfBookBytes(id) || (whole && *id <= previous)) {
            return kLookups[0];
        }
        previous = whole ? *id : previous;
    }
    // Each record matches its key.
    if (got.info && (!wellFormed(*got.info, cutOnly) || (*got.info)[3] != kInfoKey)) {
        return kLookups[1];
    }
    for (Fields const& r : got.infos.value_or(std::vector<Fields>{})) {
        if (!wellFormed(r, cutOnly) || std::find(kKeys.begin(), kKeys.end(), r[3]) == kKeys.end()) {
            return kLookups[2];
        }
    }
    for (Fields r : got.byEmail.value_or(std::vector<Fields>{})) {
        // Upper-cased by the lookup; the line has it as written.
        if (r[2] != "SHARED@X.ORG" || !wellFormed((r[2] = "Shared@X.org", r), cutOnly)) {
            return kLookups[3];
        }
    }
    return madeOfBookBytes(got.idOfEmail) ? nullptr : kLookups[4];
}

TEST_P(ChangingBook, EveryAnswerIsWellFormed) {
    ASSERT_TRUE(answersA_.ids && answersA_.info && answersA_.infos && answersA_.byEmail);
    ASSERT_EQ(answersA_.ids->size(), std::size_t{kContacts});
    ASSERT_EQ(answersA_.byEmail->size(), 20u);
    ASSERT_STREQ(faultIn(answersA_), nullptr);
    ASSERT_EQ(same(answersA_, answersB_), (std::array<bool, 5>{})) << "books A and B differ";

    std::atomic<bool> stop{false};
    std::atomic<long> rounds{0};
    std::atomic<long> changed{0};  // rounds not answered as book A
    std::atomic<long> faults{0};
    std::atomic<char const*> firstFault{nullptr};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&] {
            for (; !stop; ++rounds) {
                Answers const got = ask(path_);
                auto const asA = same(got, answersA_);
                changed += std::count(asA.begin(), asA.end(), false) > 0;
                if (char const* const fault = faultIn(got)) {
                    char const* none = nullptr;
                    firstFault.compare_exchange_strong(none, fault);
                    ++faults;
                }
            }
        });
    }
    // About a second however fast the build, and enough of each however slow.
    // Windows refuses to rename over a book that any lookup holds open.
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    long changes = 0;
    long refused = 0;
    while (std::chrono::steady_clock::now() < deadline || changes + refused < 50 || changes < 5 ||
           rounds < 30) {
        ++(change(changes) ? changes : refused);
    }
    stop = true;
    for (auto& reader : readers) {
        reader.join();
    }
    std::cout << "[ changes  ] " << changes << " changes (" << refused << " refused), "
              << rounds * 5 << " lookups, " << changed << " of " << rounds
              << " rounds answered other than book A\n";
    EXPECT_EQ(faults, 0) << "first in " << firstFault.load();
}

void PrintTo(Change change, std::ostream* out) {
    char const* const names[] = {"Truncated", "Appended", "RewrittenInPlace", "ReplacedByRename"};
    *out << names[static_cast<std::size_t>(change)];
}

INSTANTIATE_TEST_SUITE_P(Changes, ChangingBook,
                         ::testing::Values(Change::kTruncate, Change::kAppend,
                                           Change::kRewriteInPlace, Change::kRename),
                         ::testing::PrintToStringParamName());

}  // namespace
}  // namespace vesnik::test
