// The table vesnik-bench prints: one row per figure, its ratios to the floors
// and to the literal scan, and the goal it is held to.
#ifndef VESNIK_BENCH_RESULTTABLE_H
#define VESNIK_BENCH_RESULTTABLE_H

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vesnik::bench {

struct Goal {
    std::string text;
    bool met = false;
};

struct Row {
    std::string figure;
    std::string value;
    std::optional<double> vsRead;
    std::optional<double> vsReadAndLineFeeds;
    std::optional<double> vsLiteral;
    std::optional<Goal> goal;
};

// "12.3 ms" or "4.56 us": seconds in the unit that suits the figure.
std::string formatSeconds(double seconds, bool inMicroseconds);

void printTable(std::vector<Row> const& rows, std::FILE* out);

}  // namespace vesnik::bench

#endif
