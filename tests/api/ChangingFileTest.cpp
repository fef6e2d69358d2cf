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

// Contacts first to first + count - 1: some lines led by a TAB, some with runs
// of separators, some without identifier and notes, and one in ten with a
// shared e-mail. Another comma gives other bytes in the same places.
std::string book(int first, int count, bool reversed = false, char comma = ',') {
    std::string text;
    for (int k = 0; k < count; ++k) {
        int const i = first + (reversed ? count - 1 - k : k);
        std::string const n = std::to_string(100000 + i).substr(1);
        std::string const s = i % 3 ? std::string{comma} : std::string{'\t', comma};
        text += (i % 11 == 5 ? "\tF" : "F") + n + s + "L" + n + s +
                (i % 10 == 0 ? "Shared@X.org" : "p" + n + "@x.org") +
                (i % 13 == 7 ? "" : s + "K" + n + s + "N" + n) + "\n";
    }
    return text;
}

constexpr char kInfoKey[] = "K09998";
constexpr char kEmail[] = "shared@x.ORG";
char kKeyText[][7] = {"K00003", "K05000", "K09990", "K10100"};
std::vector<char*> const kKeys(std::begin(kKeyText), std::end(kKeyText));
constexpr char const* kLookups[] = {"GetContacts", "GetContactInfo", "GetContactInfos",
                                    "GetContactInfosFromEmail", "GetContactID"};
constexpr char const* kChanges[] = {"Unchanged",        "Truncated",        "Appended",
                                    "RewrittenInPlace", "ReplacedByRename", "RemovedAndPutBack"};
enum Change { kNone, kTruncate, kAppend, kRewriteInPlace, kRename, kRemove };

// Each lookup's answer as text, in the order above, nullopt for a null list:
// one line a record (an identifier a record of one field), its fields up to
// the last present one joined by commas. A start of the file gives a start of
// the whole file's answer, its last line perhaps cut short.
using Answer = std::optional<std::string>;
using Answers = std::array<Answer, 5>;

std::string line(std::vector<char const*> const& fields) {
    std::string text;
    for (char const* field : fields) {
        text += std::string(field ? field : "") + ",";
    }
    return text.erase(text.find_last_not_of(',') + 1) + "\n";
}

std::string line(AddressBook::ContactInfo const* r) {
    return line({r->field1, r->field2, r->email, r->contactId, r->field5});
}

template <class List>
Answer lines(List const& list) {
    if (!list) {
        return std::nullopt;
    }
    std::string text;
    for (auto const* each : *list) {
        text += line({each});
    }
    return text;
}

Answers ask(std::string const& path) {
    char const* const book = path.c_str();
    Record const info(GetContactInfo(kInfoKey, book, nullptr));
    String const id(GetContactID(kEmail, book, nullptr));
    return {lines(IdList(GetContacts(book, nullptr))), info ? line(info.get()) : "",
            lines(RecordList(GetContactInfos(&kKeys, book, nullptr))),
            lines(RecordList(GetContactInfosFromEmail(kEmail, book, nullptr))), line({id.get()})};
}

bool isStartOf(Answer const& got, Answer const& want) {
    return got && want && (got->empty() || want->rfind(got->substr(0, got->size() - 1), 0) == 0);
}

class ChangingBook : public ::testing::TestWithParam<int> {
  protected:
    // Makes the change number step; false when the platform refused it.
    bool change(long step) {
        // Windows refuses a rename or removal while a lookup holds the book.
        try {
            switch (GetParam()) {
                case kTruncate:
                    // To nothing or into a line, then the rest written back.
                    fs::resize_file(path_, step % 2 ? a_.size() / 2 + 3 : 0);
                    std::ofstream(path_, std::ios::binary | std::ios::app)
                        << a_.substr(static_cast<std::size_t>(fs::file_size(path_)));
                    return true;
                case kAppend:
                    // Ten appends, then back to book A: always the start of one book.
                    if (step % 11 == 10) {
                        fs::resize_file(path_, a_.size());
                    } else {
                        std::ofstream(path_, std::ios::binary | std::ios::app)
                            << book(kContacts + static_cast<int>(step % 11) * kAppended, kAppended);
                    }
                    return true;
                case kRewriteInPlace:
                    std::fstream(path_, std::ios::binary | std::ios::in | std::ios::out)
                        << (step % 2 ? a_ : aPrime_);
                    return true;
                case kRename:
                    fs::rename(dir_.write("next.cdir", step % 2 ? a_ : b_), path_);
                    return true;
            }
            // Unchanged, or gone on every other step and back on the next,
            // each for a while, so that lookups find it and find none.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (GetParam() == kRemove && step % 2) {
                return fs::remove(path_);
            }
            if (GetParam() == kRemove) {
                fs::rename(dir_.write("next.cdir", a_), path_);
            }
            return true;
        } catch (fs::filesystem_error const&) {
            return false;
        }
    }

    // Whether the file could have given lookup k its answer.
    bool mayGive(std::size_t k, Answer const& got) const {
        switch (GetParam()) {
            // The file is always a start of book A, or of A with appends.
            case kTruncate:
                return isStartOf(got, answersA_[k]);
            case kAppend:
                return isStartOf(got, answersAppended_[k]);
            // Each lookup reads one whole book, or finds none.
            case kRename:
                return got == answersA_[k] || got == answersB_[k];
            case kRemove:
                return got == answersA_[k] || got == answersNone_[k];
        }
        // Each line is one of A or of A', which give the same answers.
        return got == answersA_[k];
    }

    TempDir dir_;
    // Book A; A' with other bytes in the same places; B, without contact
    // K09998 and in reverse order; and A with every append.
    std::string const a_ = book(0, kContacts);
    std::string const aPrime_ = book(0, kContacts, false, '\t');
    std::string const b_ = book(0, kContacts - 2, true);
    std::string const path_ = dir_.write("book.cdir", a_);
    Answers const answersA_ = ask(path_);
    Answers const answersB_ = ask(dir_.write("b.cdir", b_));
    Answers const answersAppended_ =
        ask(dir_.write("appended.cdir", a_ + book(kContacts, 10 * kAppended)));
    Answers const answersNone_ = ask((dir_.path() / "none.cdir").string());
};

TEST_P(ChangingBook, EveryAnswerIsOneTheFileCouldGive) {
    for (std::size_t k = 0; k < answersA_.size(); ++k) {
        ASSERT_NE(answersA_[k], answersB_[k]) << kLookups[k];
        ASSERT_NE(answersA_[k], answersNone_[k]) << kLookups[k];
    }

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
    EXPECT_STREQ(firstFault.load(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Changes, ChangingBook, ::testing::Range(0, int{std::size(kChanges)}),
                         [](auto const& each) { return kChanges[each.param]; });

}  // namespace
}  // namespace vesnik::test
