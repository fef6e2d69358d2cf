#include "ResultTable.h"

namespace vesnik::bench {

namespace {

constexpr char kRowFormat[] = "%-56s %11s %9s %9s %9s  %s\n";

std::string formatRatio(std::optional<double> ratio) {
    if (!ratio) {
        return "";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", *ratio);
    return text;
}

std::string formatGoal(std::optional<Goal> const& goal) {
    if (!goal) {
        return "";
    }
    return goal->text + (goal->met ? "  met" : "  NOT MET");
}

}  // namespace

std::string formatSeconds(double seconds, bool inMicroseconds) {
    double const value = inMicroseconds ? seconds * 1e6 : seconds * 1e3;
    // Three significant digits or more, whatever the size.
    int const decimals = value < 1 ? 3 : value < 10 ? 2 : 1;
    char text[32];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, value, inMicroseconds ? "us" : "ms");
    return text;
}

void printTable(std::vector<Row> const& rows, std::FILE* out) {
    std::fprintf(out,
                 "x read, x +memchr: median over the read floor and the read+memchr floor of the "
                 "same book\nx literal: median over the literal scan of the same query\n\n");
    std::fprintf(out, kRowFormat, "figure", "median", "x read", "x +memchr", "x literal", "goal");
    int goals = 0;
    int met = 0;
    for (Row const& row : rows) {
        std::fprintf(out, kRowFormat, row.figure.c_str(), row.value.c_str(),
                     formatRatio(row.vsRead).c_str(), formatRatio(row.vsReadAndLineFeeds).c_str(),
                     formatRatio(row.vsLiteral).c_str(), formatGoal(row.goal).c_str());
        if (row.goal) {
            ++goals;
            met += row.goal->met ? 1 : 0;
        }
    }
    std::fprintf(out, "\ngoals met: %d of %d\n", met, goals);
}

}  // namespace vesnik::bench
