// A book that several threads read at once while another program leaves it
// alone, truncates it and writes it back, appends to it, rewrites it in place,
// replaces it by a rename, or removes it and puts it back. No lookup may
// crash, hang or leak, nor give bytes that the file never held; one that
// reads a whole book gives that book's answer.
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

// Contacts first to first + count - 1, the notes of each beginning with the
// variant letter: some lines led by a TAB, some with runs of separators, some
// without identifier and notes, and one in ten with a shared e-mail.
std::string book(int first, int count, char variant = 'a', bool reversed = false) {
    std::string text;
    for (int k = 0; k < count; ++k) {
        int const i = first + (reversed ? count - 1 - k : k);
        std::string const n = std::to_string(100000 + i).substr(1);
        std::string const s = i % 3 ? "," : "\t,";
        text += (i % 11 == 5 ? "\tF" : "F") + n + s + "L" + n + s +
                (i % 10 == 0 ? "Shared@X.org" : "p" + n + "@x.org") +
                (i % 13 == 7 ? "" : s + "K" + n + s + variant + n) + "\n";
    }
    return text;
}

constexpr char kInfoKey[] = "K09998";
constexpr char kEmail[] = "shared@x.ORG";
std::vector<std::string> const kKeys = {"K00003", "K05000", "K09990", "K10100"};
constexpr char const* kLookups[] = {"GetContacts", "GetContactInfo", "GetContactInfos",
                                    "GetContactInfosFromEmail", "GetContactID"};

// Each lookup's answer as records, in the order above: an identifier is a
// record of one field, and a null list is nullopt. GetContactInfo gives none
// or one record, GetContactID one.
using Answer = std::optional<std::vector<Fields>>;
using Answers = std::array<Answer, 5>;

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
    Answers answers = {std::nullopt, std::vector<Fields>{},
                       infos ? Answer(fieldsOf(*infos)) : std::nullopt,
                       byEmail ? Answer(fieldsOf(*byEmail)) : std::nullopt,
                       std::vector<Fields>{{fieldOf(id.get())}}};
    if (ids) {
        answers[0].emplace();
        for (Field const& each : idsOf(*ids)) {
            answers[0]->push_back({each});
        }
    }
    if (info) {
        answers[1]->push_back(fieldsOf(*info));
    }
    return answers;
}

// Whether got is what a start of the file gives, want being the whole file's
// answer: want's first records, the last perhaps from a line cut short (its
// fields as in want up to one cut short, and none after that).
bool isStartOf(Answer const& got, Answer const& want) {
    if (!got || !want || got->size() > want->size()) {
        return false;
    }
    if (got->empty()) {
        return true;
    }
    Fields const& cut = got->back();
    auto const [g, w] = std::mismatch(cut.begin(), cut.end(), (*want)[got->size() - 1].begin());
    if (g != cut.end() && *g && !(*w && w->value().rfind(**g, 0) == 0)) {
        return false;
    }
    return std::equal(got->begin(), std::prev(got->end()), want->begin()) &&
           std::all_of(g == cut.end() ? g : g + 1, cut.end(), [](Field const& f) { return !f; });
}

// What lines of books A and A', which differ only in the variant letter, give
// when read as book A.
Answer asReadFromA(Answer answer) {
    if (answer) {
        for (Fields& record : *answer) {
            if (record.size() == 5 && record[4]) {
                (*record[4])[0] = 'a';
            }
        }
    }
    return answer;
}

enum class Change { kNone, kTruncate, kAppend, kRewriteInPlace, kRename, kRemove };

class ChangingBook : public ::testing::TestWithParam<Change> {
  protected:
    // Makes the change number step; false when the platform refused it.
    bool change(long step);

    // Whether the file could have given a lookup its answer.
    bool mayGive(std::size_t lookup, Answer const& got) const;

    TempDir dir_;
    // Book A and three others as long: A' with other notes, B with those and
    // its lines in reverse order; and A with every append.
    std::string const a_ = book(0, kContacts);
    std::string const aPrime_ = book(0, kContacts, 'b');
    std::string const b_ = book(0, kContacts, 'b', true);
    std::string const path_ = dir_.write("book.cdir", a_);
    Answers const answersA_ = ask(path_);
    Answers const answersB_ = ask(dir_.write("b.cdir", b_));
    Answers const answersAppended_ =
        ask(dir_.write("appended.cdir", a_ + book(kContacts, 10 * kAppended)));
    Answers const answersNone_ = ask((dir_.path() / "none.cdir").string());
};

bool ChangingBook::change(long step) {
    switch (GetParam()) {
        case Change::kNone:
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return true;
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
                << (step % 2 ? a_ : aPrime_);
            return true;
        case Change::kRename:
        case Change::kRemove:
            // Windows refuses while a lookup holds the book open.
            try {
                // Removed on every other step and put back on the next, each
                // for a while, so that lookups find it and find none.
                if (GetParam() == Change::kRemove) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                if (GetParam() == Change::kRemove && step % 2) {
                    return fs::remove(path_);
                }
                bool const toB = GetParam() == Change::kRename && step % 2 == 0;
                fs::rename(dir_.write("next.cdir", toB ? b_ : a_), path_);
                return true;
            } catch (fs::filesystem_error const&) {
                return false;
            }
    }
    return false;
}

bool ChangingBook::mayGive(std::size_t lookup, Answer const& got) const {
    switch (GetParam()) {
        case Change::kNone:
            return got == answersA_[lookup];
        // The file is always a start of book A, or of A with appends.
        case Change::kTruncate:
            return isStartOf(got, answersA_[lookup]);
        case Change::kAppend:
            return isStartOf(got, answersAppended_[lookup]);
        // Each line is one of A or of A'.
        case Change::kRewriteInPlace:
            return asReadFromA(got) == answersA_[lookup];
        // Each lookup reads one whole book, or finds none.
        case Change::kRename:
            return got == answersA_[lookup] || got == answersB_[lookup];
        case Change::kRemove:
            return got == answersA_[lookup] || got == answersNone_[lookup];
    }
    return false;
}

TEST_P(ChangingBook, EveryAnswerIsOneTheFileCouldGive) {
    for (std::size_t k = 0; k < answersA_.size(); ++k) {
        ASSERT_TRUE(answersA_[k]) << kLookups[k];
        ASSERT_NE(answersA_[k], answersB_[k]) << "books A and B differ";
        ASSERT_NE(answersA_[k], answersNone_[k]) << kLookups[k];
    }
    ASSERT_EQ(answersA_[0]->size(), std::size_t{kContacts});
    ASSERT_EQ(answersA_[3]->size(), 1000u);

    std::atomic<bool> stop{false};
    std::atomic<long> rounds{0};
    std::atomic<char const*> firstFault{nullptr};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&] {
            for (; !stop; ++rounds) {
                Answers const got = ask(path_);
                for (std::size_t k = 0; k < got.size(); ++k) {
                    char const* none = nullptr;
                    if (!mayGive(k, got[k])) {
                        firstFault.compare_exchange_strong(none, kLookups[k]);
                    }
                }
            }
        });
    }
    // About a second however fast the build, and enough of each however slow.
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
    std::cout << "[ changes  ] " << changes << " (" << refused << " refused) under " << rounds * 5
              << " lookups\n";
    EXPECT_STREQ(firstFault.load(), nullptr);
}

void PrintTo(Change change, std::ostream* out) {
    char const* const names[] = {"Unchanged",        "Truncated",        "Appended",
                                 "RewrittenInPlace", "ReplacedByRename", "RemovedAndPutBack"};
    *out << names[static_cast<std::size_t>(change)];
}

INSTANTIATE_TEST_SUITE_P(Changes, ChangingBook,
                         ::testing::Values(Change::kNone, Change::kTruncate, Change::kAppend,
                                           Change::kRewriteInPlace, Change::kRename,
                                           Change::kRemove),
                         ::testing::PrintToStringParamName());

}  // namespace
}  // namespace vesnik::test
