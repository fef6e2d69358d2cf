// vesnik-bench: times the library's lookups on a large generated address book
// against the floors of reading it and against a literal scan, and prints one
// table. It checks every answer first and exits non-zero when the library is
// wrong; slow figures only show as goals not met.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "BookGenerator.h"
#include "Floors.h"
#include "LibraryResults.h"
#include "PeakMemory.h"
#include "Queries.h"
#include "QueryCase.h"
#include "ResultTable.h"
#include "Timing.h"
#include "support/TempFiles.h"

namespace {

using namespace vesnik::bench;

constexpr std::size_t kSmallBookContacts = 100;
constexpr int kSmallBookCallsPerSample = 2000;
// Each thread reads this much in all, so that a sample on a small book still
// outlasts starting the threads.
constexpr std::size_t kBytesPerThread = 64u << 20;
constexpr int kLeastCallsPerThread = 3;
constexpr double kTwoThreadGoal = 1.8;
constexpr long kPeakGoalKiB = 2048;

struct Options {
    std::size_t contacts = 1'000'000;
    int repeat = 7;
    std::uint64_t seed = 1;
    bool crlf = false;
    std::string book;
    std::string measureMemoryOf;
};

void describeOptions(CLI::App& app, Options& options) {
    app.add_option("--contacts", options.contacts, "contacts in the generated book")
        ->check(CLI::Range(std::size_t{kSmallBookContacts}, std::size_t{100'000'000}))
        ->capture_default_str();
    app.add_option("--repeat", options.repeat, "samples per figure; the median is shown")
        ->check(CLI::Range(1, 1000))
        ->capture_default_str();
    app.add_option("--seed", options.seed, "the generator's seed")->capture_default_str();
    app.add_flag("--crlf", options.crlf, "end the generated book's lines with CR LF");
    app.add_option("--book", options.book,
                   "read this book instead: one vesnik-genbook wrote with the same --contacts "
                   "and --seed");
    app.add_option(kMeasureMemoryOption, options.measureMemoryOf)->group("");
}

// The large book (given, or generated in scratch) and a small one, both on
// disk and the large one read once so that the page cache holds it.
struct Books {
    GeneratedBook large;
    GeneratedBook small;
    std::size_t largeBytes = 0;
};

bool write(GeneratedBook const& book, BookOptions const& options) {
    if (writeBook(book.path, book.contacts, options)) {
        return true;
    }
    std::fprintf(stderr, "vesnik-bench: cannot write %s\n", book.path.c_str());
    return false;
}

std::optional<Books> prepareBooks(Options const& options, vesnik::test::TempDir const& scratch) {
    Books books{{options.book, options.contacts, options.seed},
                {(scratch.path() / "small.cdir").string(), kSmallBookContacts, options.seed}};
    BookOptions const writing{options.seed, options.crlf};
    if (books.large.path.empty()) {
        books.large.path = (scratch.path() / "large.cdir").string();
        std::fprintf(stderr, "generating %zu contacts ...\n", books.large.contacts);
        if (!write(books.large, writing)) {
            return std::nullopt;
        }
    }
    if (!write(books.small, writing)) {
        return std::nullopt;
    }
    std::optional<std::size_t> const bytes = readWholeFile(books.large.path.c_str());
    if (!bytes) {
        std::fprintf(stderr, "vesnik-bench: cannot read %s\n", books.large.path.c_str());
        return std::nullopt;
    }
    books.largeBytes = *bytes;
    return books;
}

bool hasOneLinePerContact(GeneratedBook const& book) {
    if (countLineFeeds(book.path.c_str()) == book.contacts) {
        return true;
    }
    std::fprintf(stderr, "vesnik-bench: %s does not have %zu lines\n", book.path.c_str(),
                 book.contacts);
    return false;
}

bool answersAreRight(std::vector<QueryCase> const& queries) {
    for (QueryCase const& query : queries) {
        if (auto complaint = disagreement(query)) {
            std::fprintf(stderr, "vesnik-bench: wrong answer: %s\n", complaint->c_str());
            return false;
        }
    }
    return true;
}

// Times both floors of book into timing and adds their rows; with
// copyEveryLineToo, also the floor of a lookup that lists every line.
BookTiming timeFloors(GeneratedBook const& book, BookTiming timing, std::string const& label,
                      bool copyEveryLineToo, std::vector<Row>& rows) {
    char const* path = book.path.c_str();
    auto const median = [&](auto read) {
        return medianSecondsPerCall(timing.samples, timing.callsPerSample,
                                    [&] { return secondsOfCall(read); });
    };
    timing.readSeconds = median([path] { return readWholeFile(path); });
    timing.readAndLineFeedsSeconds = median([path] { return countLineFeeds(path); });
    rows.push_back(timedRow(label + "read floor (open+read+close)", timing.readSeconds, timing));
    rows.push_back(timedRow(label + "read+memchr floor", timing.readAndLineFeedsSeconds, timing));
    if (copyEveryLineToo) {
        rows.push_back(timedRow(label + "read+memchr+heap copy per line",
                                median([path] { return copyEveryLine(path); }), timing));
    }
    return timing;
}

void timeQueries(std::vector<QueryCase> const& queries, BookTiming const& timing,
                 std::vector<Row>& rows) {
    for (QueryCase const& query : queries) {
        for (Row& row : timeQuery(query, timing)) {
            rows.push_back(std::move(row));
        }
    }
}

// Two threads make twice the calls in the two-thread time: this is their
// throughput over one thread's.
double twoThreadSpeedup(std::function<void()> const& call, int calls, int repeat) {
    std::vector<double> oneThread;
    std::vector<double> twoThreads;
    for (int sample = 0; sample < repeat; ++sample) {
        oneThread.push_back(secondsForThreads(1, calls, call));
        twoThreads.push_back(secondsForThreads(2, calls, call));
    }
    return 2 * median(oneThread) / median(twoThreads);
}

std::string formatSpeedup(double speedup) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2fx", speedup);
    return text;
}

// The library's scaling, and the floor's beside it: what the machine gives
// two threads at the moment.
std::vector<Row> twoThreadRows(Books const& books, int repeat) {
    std::string const id = missingContactId();
    char const* path = books.large.path.c_str();
    int const calls =
        std::max(kLeastCallsPerThread,
                 static_cast<int>(kBytesPerThread / std::max<std::size_t>(books.largeBytes, 1)));
    double const library = twoThreadSpeedup(
        [&] {
            vesnik::tool::LibraryRecord const record(GetContactInfo(id.c_str(), path, nullptr));
        },
        calls, repeat);
    double const floor = twoThreadSpeedup([&] { countLineFeeds(path); }, calls, repeat);
    char goal[32];
    std::snprintf(goal, sizeof goal, ">= %.1fx throughput", kTwoThreadGoal);
    Row libraryRow;
    libraryRow.figure = "two threads, GetContactInfo no match";
    libraryRow.value = formatSpeedup(library);
    libraryRow.goal = Goal{goal, library >= kTwoThreadGoal};
    Row floorRow;
    floorRow.figure = "  two threads, read+memchr floor";
    floorRow.value = formatSpeedup(floor);
    return {libraryRow, floorRow};
}

Row peakMemoryRow(Books const& books) {
    std::optional<long> const kib = scanPeakGrowthKiB(books.large.path);
    Row row;
    row.figure = "extra peak memory, no-match scans";
    row.value = kib ? std::to_string(*kib) + " KiB" : "failed";
    row.goal = Goal{"< " + std::to_string(kPeakGoalKiB) + " KiB", kib && *kib < kPeakGoalKiB};
    return row;
}

int runBenchmark(Options const& options) {
    vesnik::test::TempDir const scratch;
    std::optional<Books> const books = prepareBooks(options, scratch);
    if (!books || !hasOneLinePerContact(books->large) || !hasOneLinePerContact(books->small)) {
        return 1;
    }
    std::vector<QueryCase> const largeQueries = largeBookQueries(books->large);
    std::vector<QueryCase> const smallQueries = {smallBookQuery(books->small)};
    std::fprintf(stderr, "checking answers ...\n");
    if (!answersAreRight(largeQueries) || !answersAreRight(smallQueries)) {
        return 1;
    }

    std::fprintf(stderr, "timing ...\n");
    std::vector<Row> rows;
    BookTiming const large =
        timeFloors(books->large, BookTiming{options.repeat, 1, false}, "", true, rows);
    timeQueries(largeQueries, large, rows);
    BookTiming const small =
        timeFloors(books->small, BookTiming{options.repeat, kSmallBookCallsPerSample, true},
                   std::to_string(books->small.contacts) + " contacts: ", false, rows);
    timeQueries(smallQueries, small, rows);
    for (Row& row : twoThreadRows(*books, options.repeat)) {
        rows.push_back(std::move(row));
    }
    rows.push_back(peakMemoryRow(*books));

    std::printf("book: %s, %zu contacts, %zu bytes; median of %d\n\n", books->large.path.c_str(),
                books->large.contacts, books->largeBytes, options.repeat);
    printTable(rows, stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Times the address-book lookups against the floors of reading the file");
    Options options;
    describeOptions(app, options);
    CLI11_PARSE(app, argc, argv);
    if (!options.measureMemoryOf.empty()) {
        return printScanPeakGrowth(options.measureMemoryOf);
    }
    return runBenchmark(options);
}
