// vesnik-bench: times the library's lookups on generated address books
// against the floors of reading them and against a literal scan, and prints
// one table. It first asks the library and the test suite's plain reading the
// lookups it times, and exits non-zero on a difference; slow figures only
// show as goals not met.
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <tuple>

#include "BookGenerator.h"
#include "Vesnik_API_owners.h"
#include "reference/Differences.h"
#include "reference/ReferenceBook.h"
#include "support/TempFiles.h"
#include "vesnik.h"

namespace {

using namespace vesnik;
using namespace vesnik::bench;
using Info = AddressBook::ContactInfo;
using LiteralTest = std::function<bool(Info&)>;

constexpr std::size_t kSmallBook = 100;
constexpr int kSmallBookCalls = 2000;
constexpr std::size_t kEarly = 10;
// A near-miss line per hundred contacts, up to ten thousand: quick to time
// even while the library is slow on them.
constexpr std::size_t kNearMissEvery = 100;
constexpr std::size_t kNearMissLines = 10'000;
constexpr int kNearMissRepeat = 3;
// Each thread reads this much in all, so that a sample outlasts starting it.
constexpr std::size_t kBytesPerThread = 64u << 20;
constexpr double kTwoThreadGoal = 1.8;
constexpr long kPeakGoalKiB = 2048;
constexpr char kPeakOption[] = "--measure-peak";
// vesnik_search's texts: a name no contact has, and a given and a family
// name, in the other order and case (about one contact in 576).
constexpr char kSearchMiss[] = "sorensen";
constexpr char kSearchTwo[] = "quist ADA";
// Both folds, as the command and the Python package search.
constexpr unsigned kFoldBoth = VESNIK_FOLD_CASE | VESNIK_FOLD_MARKS;

struct Goal {
    bool overRead;  // else over read+memchr
    double limit;
};
constexpr Goal kNoMatchGoal{true, 1.4};
constexpr Goal kSmallBookGoal{true, 1.5};
constexpr Goal kNearMissGoal{false, 3};
constexpr Goal kAllIdsGoal{false, 3};
// A folded search where every line must be folded, over read+memchr; and
// where no line is, over the same search unfolded.
constexpr Goal kFoldedOneWordGoal{false, 2.5};
constexpr Goal kFoldedTwoWordsGoal{false, 3};
constexpr double kFoldedAsciiGoal = 1.05;
constexpr std::pair<std::size_t, Goal> kKeyLists[] = {
    {100, {false, 2}}, {10'000, {false, 2.5}}, {30'000, {false, 3}}};

template <typename Call>
double secondsOf(Call const& call) {
    auto const start = std::chrono::steady_clock::now();
    // The answer is released after the clock stops: the figure is the lookup's.
    [[maybe_unused]] auto const answer = call();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    std::size_t const half = samples.size() / 2;
    return samples.size() % 2 != 0 ? samples[half] : (samples[half - 1] + samples[half]) / 2;
}

// The floors: reads the file into a 128 KiB buffer; with lineFeeds, finds
// every LF with memchr; with copies, also keeps a malloc copy of each line's
// first eight bytes (an id's length), the least a lookup listing every
// contact does. The LFs are counted into lineFeedsSeen, so that the compiler
// keeps a search whose answer nothing else reads.
std::atomic<std::size_t> lineFeedsSeen{0};

owned::IdList floorScan(char const* path, bool lineFeeds, bool copies) {
    constexpr std::size_t kBlock = 128 * 1024;
    std::size_t seen = 0;
    auto* const list = new std::vector<char*>;
    owned::IdList kept(list);
    int const file = ::open(path, O_RDONLY | O_CLOEXEC);
    std::unique_ptr<char[]> const buffer(new char[kBlock]);  // uninitialised, as a reader's
    for (ssize_t got = 0; file >= 0 && (got = ::read(file, buffer.get(), kBlock)) > 0;) {
        char const* const end = buffer.get() + got;
        for (char const* line = buffer.get(); lineFeeds && line < end;) {
            auto const* lineFeed = static_cast<char const*>(
                std::memchr(line, '\n', static_cast<std::size_t>(end - line)));
            char const* const lineEnd = lineFeed != nullptr ? lineFeed : end;
            seen += lineFeed != nullptr ? 1 : 0;
            if (copies) {
                list->push_back(
                    strndup(line, std::min<std::size_t>(8, std::size_t(lineEnd - line))));
            }
            line = lineEnd + 1;
        }
    }
    if (file >= 0) {
        ::close(file);
    }
    lineFeedsSeen.store(seen, std::memory_order_relaxed);
    return kept;
}

// A naive reader, timed as a baseline and never trusted: fgets into a
// 600-byte buffer, strtok_r, a strdup of every field. Keeps the records that
// keeps wants, stopping at the first when firstOnly.
std::vector<std::unique_ptr<Info>> literalScan(std::string const& path, LiteralTest const& keeps,
                                               bool firstOnly) {
    std::vector<std::unique_ptr<Info>> kept;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "r"),
                                                         &std::fclose);
    char line[600];
    while (file && std::fgets(line, sizeof line, file.get()) != nullptr) {
        if (line[0] == '\0' || std::strcmp(line, "\n") == 0) {
            continue;
        }
        auto record = std::make_unique<Info>();
        char* position = nullptr;
        char* token = strtok_r(line, ",\t\n", &position);
        for (char** field : {&record->field1, &record->field2, &record->email, &record->contactId,
                             &record->field5}) {
            *field = token != nullptr ? strdup(token) : nullptr;
            token = token != nullptr ? strtok_r(nullptr, ",\t\n", &position) : nullptr;
        }
        if (keeps(*record)) {
            kept.push_back(std::move(record));
            if (firstOnly) {
                break;
            }
        }
    }
    return kept;
}

char* upperCased(char* text) {
    for (char* c = text; *c != '\0'; ++c) {
        *c = *c >= 'a' && *c <= 'z' ? static_cast<char>(*c - 'a' + 'A') : *c;
    }
    return text;
}

struct Row {
    Row(std::string name, std::string shown) : figure(std::move(name)), value(std::move(shown)) {}

    // Holds the figure to a goal: its text, the ratio it holds and whether it is met.
    Row& judge(std::string text, double ratio, bool isMet) {
        goal = std::move(text);
        judged = ratio;
        met = isMet;
        return *this;
    }

    std::string figure;
    std::string value;
    std::optional<double> vsRead, vsMemchr, vsLiteral;
    std::string goal;  // empty for a figure without one
    double judged = 0;
    bool met = true;
};

std::string formatted(char const* format, double value, char const* unit = "") {
    char text[64];
    std::snprintf(text, sizeof text, format, value, unit);
    return text;
}

// The rows of a run, and how the book now being timed is: its path, samples,
// calls per sample, unit and floors.
struct Table {
    Table(std::string book, int repeat) : path(std::move(book)), samples(repeat) {}

    std::vector<Row> rows;
    std::string path;
    int samples = 1;
    int calls = 1;
    bool micro = false;
    bool literal = true;
    double read = 0;
    double memchr = 0;

    // The median over the samples of the seconds one call takes.
    template <typename Call>
    double perCall(Call const& call) const {
        std::vector<double> perSample;
        for (int sample = 0; sample < samples; ++sample) {
            double total = 0;
            for (int made = 0; made < calls; ++made) {
                total += secondsOf(call);
            }
            perSample.push_back(total / calls);
        }
        return median(perSample);
    }

    Row& add(std::string figure, double seconds, std::optional<Goal> goal = {}) {
        double const shown = micro ? seconds * 1e6 : seconds * 1e3;
        // Three significant digits or more, whatever the size.
        char const* const format = shown < 1 ? "%.3f %s" : shown < 10 ? "%.2f %s" : "%.1f %s";
        Row& row =
            rows.emplace_back(std::move(figure), formatted(format, shown, micro ? "us" : "ms"));
        row.vsRead = seconds / read;
        row.vsMemchr = seconds / memchr;
        if (goal) {
            double const ratio = goal->overRead ? *row.vsRead : *row.vsMemchr;
            row.judge(formatted("<= %.1fx %s", goal->limit, goal->overRead ? "read" : "+memchr"),
                      ratio, ratio <= goal->limit);
        }
        return row;
    }

    // Times the book's floors, read+memchr+copy too when copyToo.
    void floors(std::string const& label, bool copyToo) {
        char const* const file = path.c_str();
        read = perCall([=] { return floorScan(file, false, false); });
        memchr = perCall([=] { return floorScan(file, true, false); });
        add(label + "read floor (open+read+close)", read);
        add(label + "read+memchr floor", memchr);
        if (copyToo) {
            add(label + "read+memchr+heap copy per line",
                perCall([=] { return floorScan(file, true, true); }));
        }
    }

    // Times call, and the literal scan with keeps when there is one.
    template <typename Call>
    void measure(std::string figure, std::optional<Goal> goal, Call const& call,
                 LiteralTest const& keeps, bool firstOnly) {
        double const seconds = perCall(call);
        add(std::move(figure), seconds, goal);
        if (literal && keeps) {
            double const baseline = perCall([&] { return literalScan(path, keeps, firstOnly); });
            rows.back().vsLiteral = seconds / baseline;
            add("  literal scan", baseline);
        }
    }

    void byId(std::string const& figure, std::string const& id, std::optional<Goal> goal = {}) {
        char const* const file = path.c_str();
        measure(
            "GetContactInfo, " + figure, goal,
            [&] { return owned::Record(GetContactInfo(id.c_str(), file, nullptr)); },
            [&](Info& record) { return record.contactId != nullptr && id == record.contactId; },
            true);
    }

    void byEmail(bool every, std::string const& figure, std::string const& email,
                 std::optional<Goal> goal = {}) {
        char const* const file = path.c_str();
        std::string upper = email;
        upperCased(upper.data());
        // The record's e-mail is upper-cased in place, as the answer carries it.
        LiteralTest const keeps = [&](Info& record) {
            return record.email != nullptr && upper == upperCased(record.email);
        };
        auto const all = [&] {
            return owned::RecordList(GetContactInfosFromEmail(email.c_str(), file, nullptr));
        };
        auto const first = [&] {
            return owned::String(GetContactID(email.c_str(), file, nullptr));
        };
        every ? measure("GetContactInfosFromEmail, " + figure, goal, all, keeps, false)
              : measure("GetContactID, " + figure, goal, first, keeps, true);
    }

    void bySearch(std::string const& figure, std::string const& text, unsigned flags = 0,
                  std::optional<Goal> goal = {}) {
        char const* const file = path.c_str();
        using List = std::unique_ptr<vesnik_list, void (*)(vesnik_list*)>;
        auto const search = [&] {
            vesnik_list* list = nullptr;
            vesnik_search_v2(file, text.c_str(), flags, 0, &list);
            return List(list, &vesnik_list_free);
        };
        measure((flags != 0 ? "vesnik_search_v2 folded, " : "vesnik_search, ") + figure, goal,
                search, nullptr, false);
    }
};

// The searches timed, through the C interface, against the plain reading.
bool searchesAgree(std::string const& path, std::vector<std::string> const& texts) {
    std::vector<reference::Ask> asks;
    for (std::string const& text : texts) {
        for (unsigned const fold : {0u, kFoldBoth}) {
            asks.push_back({reference::Lookup::kSearch, {text}, 0, fold});
        }
    }
    std::optional<std::string> const difference = reference::firstFileDifference(path, asks);
    if (difference) {
        std::fprintf(stderr, "vesnik-bench: wrong answer in %s:\n%s\n", path.c_str(),
                     difference->c_str());
    }
    return !difference;
}

// A generated book, and for each key list ids spread evenly over it in file
// order.
struct Book {
    std::string path;
    std::size_t contacts = 0;
    BookOptions options;
    std::vector<std::vector<std::string>> keyLists;
};

Book writtenBook(std::string path, std::size_t contacts, BookOptions const& options) {
    if (!writeBook(path, contacts, options)) {
        throw std::runtime_error("cannot write " + path);
    }
    Book book{std::move(path), contacts, options, {}};
    for (auto const& list : kKeyLists) {
        std::vector<std::string>& keys = book.keyLists.emplace_back();
        for (std::size_t key = 0, all = std::min(list.first, contacts); key < all; ++key) {
            keys.push_back(contactIdOf(1 + key * contacts / all, options));
        }
    }
    return book;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    return pointers;
}

std::string earlyEmail(Book const& book) {
    std::string email;
    contactLine(kEarly, book.options, &email);
    std::transform(email.begin(), email.end(), email.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return email;
}

// Asks the library and the reference reading of the book for every
// identifier, each key as an identifier and an e-mail, and each key list at
// once; tells the first difference.
bool answersAgree(Book const& book, std::vector<std::string> const& keys) {
    std::vector<reference::Ask> asks = {{reference::Lookup::kEveryContactId, {}}};
    for (std::string const& key : keys) {
        asks.push_back({reference::Lookup::kContactIds, {key}});
        asks.push_back({reference::Lookup::kEmail, {key}});
    }
    for (std::vector<std::string> const& list : book.keyLists) {
        asks.push_back({reference::Lookup::kContactIds, list});
    }
    std::optional<std::string> const difference = reference::firstFileDifference(book.path, asks);
    if (difference) {
        std::fprintf(stderr, "vesnik-bench: wrong answer in %s:\n%s\n", book.path.c_str(),
                     difference->c_str());
    }
    return !difference;
}

std::vector<std::string> checkedKeys(Book const& book) {
    std::vector<std::string> keys = {missingContactId(book.contacts, book.options), missingEmail(),
                                     sharedEmail(), earlyEmail(book)};
    for (std::size_t number : {std::size_t{1}, kEarly, book.contacts}) {
        keys.push_back(contactIdOf(number, book.options));
    }
    return keys;
}

// The figures that depend on the identifiers' shape.
void timeIdFigures(Table& table, Book book) {
    table.path = book.path;
    table.byId("no match", missingContactId(book.contacts, book.options), kNoMatchGoal);
    for (std::size_t list = 0; list < book.keyLists.size(); ++list) {
        std::vector<std::string> const& keys = book.keyLists[list];
        std::vector<char*> const pointers = pointersTo(book.keyLists[list]);
        // The literal scan compares every line with every key: minutes for thousands.
        LiteralTest const keeps = [&](Info& record) {
            return record.contactId != nullptr &&
                   std::find(keys.begin(), keys.end(), record.contactId) != keys.end();
        };
        table.measure(
            "GetContactInfos, " + std::to_string(keys.size()) + " keys", kKeyLists[list].second,
            [&] {
                return owned::RecordList(GetContactInfos(&pointers, book.path.c_str(), nullptr));
            },
            list == 0 ? keeps : nullptr, false);
    }
    table.measure(
        "GetContacts, " + std::to_string(book.contacts) + " ids", kAllIdsGoal,
        [&] { return owned::IdList(GetContacts(book.path.c_str(), nullptr)); },
        [](Info&) { return true; }, false);
}

// The child's part: how much a fresh process's peak resident memory grows
// over the three keyed lookups with keys that match nothing.
int printPeakGrowth(char const* book, char const* missingId) {
    auto const peakKiB = [] {
        std::ifstream status("/proc/self/status");
        std::string word;
        while (status >> word && word != "VmHWM:") {
        }
        long kib = -1;
        return status >> kib ? kib : -1;
    };
    // Lowers the peak to what is resident now, so that start-up does not
    // hide a smaller growth; kernels without it leave the peak as it was.
    std::ofstream("/proc/self/clear_refs") << "5";
    long const before = peakKiB();
    std::string const email = missingEmail();
    {
        owned::Record const record(GetContactInfo(missingId, book, nullptr));
        owned::String const id(GetContactID(email.c_str(), book, nullptr));
        owned::RecordList const records(GetContactInfosFromEmail(email.c_str(), book, nullptr));
    }
    long const after = peakKiB();
    std::printf("%ld\n", after - before);
    return before < 0 || after < 0 ? 1 : 0;
}

Row peakGrowthRow(std::string const& book, std::string const& missingId) {
    std::string const command = "'" + std::filesystem::read_symlink("/proc/self/exe").string() +
                                "' " + kPeakOption + " '" + book + "' '" + missingId + "'";
    std::FILE* const child = ::popen(command.c_str(), "r");
    long kib = -1;
    bool const read = child != nullptr && std::fscanf(child, "%ld", &kib) == 1;
    bool const measured = child != nullptr && ::pclose(child) == 0 && read;
    return Row("extra peak memory, no-match scans",
               measured ? std::to_string(kib) + " KiB" : "failed")
        .judge("< " + std::to_string(kPeakGoalKiB) + " KiB", 0, measured && kib < kPeakGoalKiB);
}

// Two threads make twice the calls in the two-thread time: this is their
// throughput over one thread's.
double twoThreadSpeedup(std::function<void()> const& call, int calls, int repeat) {
    auto const loop = [&] {
        for (int made = 0; made < calls; ++made) {
            call();
        }
        return 0;
    };
    std::vector<double> one;
    std::vector<double> two;
    for (int sample = 0; sample < repeat; ++sample) {
        one.push_back(secondsOf(loop));
        two.push_back(secondsOf([&] {
            std::thread other(loop);
            loop();
            other.join();
            return 0;
        }));
    }
    return 2 * median(one) / median(two);
}

struct Options {
    std::size_t contacts = 1'000'000;
    int repeat = 7;
    std::uint64_t seed = 1;
    bool crlf = false;
    std::string ids = "default";
    std::string script = "ascii";
    bool searchesOnly = false;
    std::vector<std::string> peakOf;
};

// The rows as one table, each against the floors of its book and its goal.
void printRows(std::vector<Row> const& rows) {
    std::printf(
        "x read, x +memchr: median over the read floor and the read+memchr floor of the "
        "same book\nx literal: median over the literal scan of the same query\n\n");
    char const* const format = "%-56s %11s %9s %9s %9s  %s\n";
    auto const ratio = [](std::optional<double> value) {
        return value ? formatted("%.2f", *value) : std::string();
    };
    std::printf(format, "figure", "median", "x read", "x +memchr", "x literal", "goal");
    int goals = 0;
    int met = 0;
    for (Row const& row : rows) {
        std::string const goal =
            row.goal.empty() ? "" : row.goal + (row.met ? "  met" : "  NOT MET");
        std::printf(format, row.figure.c_str(), row.value.c_str(), ratio(row.vsRead).c_str(),
                    ratio(row.vsMemchr).c_str(), ratio(row.vsLiteral).c_str(), goal.c_str());
        goals += row.goal.empty() ? 0 : 1;
        met += !row.goal.empty() && row.met ? 1 : 0;
    }
    std::printf("\ngoals met: %d of %d\n", met, goals);
}

int runEveryFigure(Options const& options, BookOptions const& writing) {
    test::TempDir const scratch;
    std::fprintf(stderr, "generating %zu contacts ...\n", options.contacts);
    Book const large =
        writtenBook((scratch.path() / "large.cdir").string(), options.contacts, writing);
    Book const small = writtenBook((scratch.path() / "small.cdir").string(), kSmallBook, writing);
    // Lines of 999 'a's then 'b' where the e-mail stands, and a key of 1,000 'a's.
    std::size_t const nearLines = std::min(kNearMissLines, options.contacts / kNearMissEvery);
    std::string const nearKey(1000, 'a');
    std::string nearBytes;
    for (std::size_t line = 0; line < nearLines; ++line) {
        nearBytes += "Near,Miss," + nearKey.substr(1) + "b,N" + std::to_string(line) + ",x\n";
    }
    Book const near{scratch.write("near-miss.cdir", nearBytes), nearLines, writing, {}};
    std::string const middle = contactIdOf(kSmallBook / 2, writing);
    std::string const missing = missingContactId(large.contacts, writing);

    std::fprintf(stderr, "checking answers ...\n");
    if (!answersAgree(large, checkedKeys(large)) ||
        !answersAgree(small, {middle, missingContactId(kSmallBook, writing)}) ||
        !answersAgree(near, {nearKey}) || !searchesAgree(large.path, {kSearchMiss, kSearchTwo}) ||
        !searchesAgree(near.path, {nearKey})) {
        return 1;
    }
    malloc_trim(0);  // hands back what the reference's copy of the book took

    std::fprintf(stderr, "timing ...\n");
    Table table(large.path, options.repeat);
    table.floors("", true);
    timeIdFigures(table, large);
    std::string const early = "early (#" + std::to_string(kEarly) + ")";
    std::string const shared =
        "shared e-mail (" + std::to_string(sharedEmailCount(large.contacts)) + " contacts)";
    table.byId(early, contactIdOf(kEarly, writing));
    for (bool const every : {false, true}) {
        table.byEmail(every, "no match", missingEmail(), kNoMatchGoal);
        table.byEmail(every, early, earlyEmail(large));
        table.byEmail(every, shared, sharedEmail());
    }
    table.bySearch("one word, no match", kSearchMiss);
    table.bySearch("two words", kSearchTwo);
    table.path = small.path;
    table.calls = kSmallBookCalls;
    table.micro = true;
    table.floors(std::to_string(kSmallBook) + " contacts: ", false);
    table.byId("#" + std::to_string(kSmallBook / 2) + " of " + std::to_string(kSmallBook), middle,
               kSmallBookGoal);
    table.path = near.path;
    table.samples = std::min(options.repeat, kNearMissRepeat);
    table.calls = 1;
    table.micro = false;
    table.literal = false;
    table.floors("near miss, " + std::to_string(nearLines) + " lines: ", false);
    table.byEmail(true, "near miss", nearKey, kNearMissGoal);
    table.byEmail(false, "near miss", nearKey, kNearMissGoal);
    table.bySearch("near miss", nearKey);

    std::uintmax_t const bytes = std::filesystem::file_size(large.path);
    char const* const path = large.path.c_str();
    int const calls =
        std::max(3, static_cast<int>(kBytesPerThread / std::max<std::uintmax_t>(bytes, 1)));
    double const library = twoThreadSpeedup(
        [&] { owned::Record const found(GetContactInfo(missing.c_str(), path, nullptr)); }, calls,
        options.repeat);
    double const floor =
        twoThreadSpeedup([&] { floorScan(path, true, false); }, calls, options.repeat);
    table.rows.emplace_back("two threads, GetContactInfo no match", formatted("%.2fx", library))
        .judge(formatted(">= %.1fx throughput", kTwoThreadGoal), library,
               library >= kTwoThreadGoal);
    table.rows.emplace_back("  two threads, read+memchr floor", formatted("%.2fx", floor));
    table.rows.push_back(peakGrowthRow(large.path, missing));

    std::printf("book: %zu contacts, %ju bytes, ids %s%s; median of %d\n\n", large.contacts, bytes,
                writing.ids.c_str(), writing.crlf ? ", CR LF" : "", options.repeat);
    printRows(table.rows);
    return 0;
}

// Two words of the book's script that one contact in 576 has, the family
// name first.
std::string twoWordsIn(std::string const& script) {
    for (ScriptNames const& names : kScriptNames) {
        if (script == names.script ||
            (script == kMixedScripts && names.script == kScriptNames[1].script)) {
            return std::string(names.family[16].written) + " " +
                   std::string(names.given[0].written);
        }
    }
    return kSearchTwo;
}

// The searches alone, unfolded and folded, on a book in one script.
int runSearches(Options const& options, BookOptions const& writing) {
    test::TempDir const scratch;
    std::fprintf(stderr, "generating %zu contacts ...\n", options.contacts);
    Book const book =
        writtenBook((scratch.path() / "book.cdir").string(), options.contacts, writing);
    std::string const two = writing.script == "ascii" ? kSearchTwo : twoWordsIn(writing.script);
    std::fprintf(stderr, "checking answers ...\n");
    if (!searchesAgree(book.path, {kSearchMiss, two})) {
        return 1;
    }
    malloc_trim(0);
    std::fprintf(stderr, "timing ...\n");
    Table table(book.path, options.repeat);
    table.literal = false;
    table.floors("", false);
    bool const ascii = writing.script == "ascii";
    for (auto const& [figure, text, goal] :
         {std::make_tuple("one word, no match", std::string(kSearchMiss), kFoldedOneWordGoal),
          std::make_tuple("two words", two, kFoldedTwoWordsGoal)}) {
        table.bySearch(figure, text);
        double const unfolded = *table.rows.back().vsRead;
        table.bySearch(figure, text, kFoldBoth, ascii ? std::nullopt : std::optional<Goal>(goal));
        if (ascii) {
            double const ratio = *table.rows.back().vsRead / unfolded;
            table.rows.emplace_back("  folded over unfolded", formatted("%.3fx", ratio))
                .judge(formatted("<= %.2fx", kFoldedAsciiGoal), ratio, ratio <= kFoldedAsciiGoal);
        }
    }
    std::printf("book: %zu contacts, %ju bytes, names %s; median of %d\n\n", book.contacts,
                std::filesystem::file_size(book.path), writing.script.c_str(), options.repeat);
    printRows(table.rows);
    return 0;
}

// The figures that depend on the identifiers' shape, on a book of each shape
// in turn, side by side.
int runEveryShape(Options const& options) {
    test::TempDir const scratch;
    std::vector<Table> columns;
    std::string sizes;
    for (char const* shape : kIdShapes) {
        BookOptions const writing{options.seed, options.crlf, shape};
        std::fprintf(stderr, "%s: generating, checking, timing ...\n", shape);
        Book const book =
            writtenBook((scratch.path() / "book.cdir").string(), options.contacts, writing);
        if (!answersAgree(book, checkedKeys(book))) {
            return 1;
        }
        malloc_trim(0);
        sizes += std::string(sizes.empty() ? "" : ", ") + shape + " " +
                 std::to_string(std::filesystem::file_size(book.path));
        Table& table = columns.emplace_back(book.path, options.repeat);
        table.literal = false;
        table.floors("", false);
        timeIdFigures(table, book);
    }
    std::printf("books of %zu contacts, bytes: %s; median of %d\n", options.contacts, sizes.c_str(),
                options.repeat);
    std::printf(
        "a cell: median, x the goal's floor (x +memchr without a goal), ! goal not met\n\n");
    std::printf("%-28s %-15s", "figure", "goal");
    for (char const* name : kIdShapes) {
        std::printf(" %20s", name);
    }
    for (std::size_t row = 0; row < columns[0].rows.size(); ++row) {
        std::printf("\n%-28s %-15s", columns[0].rows[row].figure.c_str(),
                    columns[0].rows[row].goal.c_str());
        for (Table const& column : columns) {
            Row const& cell = column.rows[row];
            double const ratio = cell.goal.empty() ? *cell.vsMemchr : cell.judged;
            std::printf(" %20s",
                        (cell.value + formatted(" %5.2f", ratio) + (cell.met ? " " : "!")).c_str());
        }
    }
    std::printf("\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Times the address-book lookups against the floors of reading the file");
    Options options;
    std::vector<std::string> shapes(kIdShapes.begin(), kIdShapes.end());
    shapes.push_back("all");
    app.add_option("--contacts", options.contacts, "contacts in the generated book")
        ->check(CLI::Range(kSmallBook, std::size_t{100'000'000}))
        ->capture_default_str();
    app.add_option("--repeat", options.repeat, "samples per figure; the median is shown")
        ->check(CLI::Range(1, 1000))
        ->capture_default_str();
    app.add_option("--seed", options.seed, "the generator's seed")->capture_default_str();
    app.add_flag("--crlf", options.crlf, "end the generated books' lines with CR LF");
    app.add_option("--ids", options.ids,
                   "the identifiers' shape, or all: the figures that depend on it for each shape")
        ->check(CLI::IsMember(shapes))
        ->capture_default_str();
    app.add_option("--script", options.script, "the script of the generated names")
        ->check(CLI::IsMember(scripts()))
        ->capture_default_str();
    app.add_flag("--searches", options.searchesOnly,
                 "time only the searches, unfolded and folded, on one book");
    app.add_option(kPeakOption, options.peakOf)->expected(2)->group("");
    CLI11_PARSE(app, argc, argv);
    if (options.peakOf.size() == 2) {
        return printPeakGrowth(options.peakOf[0].c_str(), options.peakOf[1].c_str());
    }
    if (options.ids == "all") {
        return runEveryShape(options);
    }
    BookOptions const writing{options.seed, options.crlf, options.ids, options.script};
    return options.searchesOnly ? runSearches(options, writing) : runEveryFigure(options, writing);
}
