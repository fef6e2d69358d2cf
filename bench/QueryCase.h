// One query as the benchmark runs it: first checked against a reference
// answer, then timed, library and literal scan alike, into table rows.
#ifndef VESNIK_BENCH_QUERYCASE_H
#define VESNIK_BENCH_QUERYCASE_H

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Outcome.h"
#include "ResultTable.h"
#include "Timing.h"

namespace vesnik::bench {

// A lookup that can give its answer, or be run once on the clock.
struct Lookup {
    std::function<Outcome()> answer;
    std::function<double()> secondsOfOneCall;
};

template <typename Call>
Lookup lookupOf(Call call) {
    return {[call] { return outcomeOf(call()); }, [call] { return secondsOfCall(call); }};
}

// How to time the lookups on one book, and the floors they are read against.
struct BookTiming {
    int samples = 1;
    int callsPerSample = 1;
    bool inMicroseconds = false;
    double readSeconds = 0;
    double readAndLineFeedsSeconds = 0;
};

enum class Floor { Read, ReadAndLineFeeds };

// The library's figure must stay within limit times a floor.
struct RatioGoal {
    Floor floor;
    double limit;
};

struct QueryCase {
    std::string figure;
    Lookup library;
    std::optional<Lookup> literal;
    // What the library must answer: the literal scan's answer, or the
    // generator's where the literal scan would take too long.
    std::function<Outcome()> reference;
    std::size_t expectedMatches = 0;
    std::optional<RatioGoal> goal;
};

// A figure timed on a book, with its ratios to the book's floors.
Row timedRow(std::string figure, double seconds, BookTiming const& book);

// Why the library's answer is wrong, or nothing when it is right.
std::optional<std::string> disagreement(QueryCase const& query);

// The library's row and, when there is one, the literal scan's.
std::vector<Row> timeQuery(QueryCase const& query, BookTiming const& book);

}  // namespace vesnik::bench

#endif
