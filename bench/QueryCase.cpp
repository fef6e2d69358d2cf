#include "QueryCase.h"

#include <cstdio>
#include <utility>

namespace vesnik::bench {

namespace {

double secondsPerCall(Lookup const& lookup, BookTiming const& book) {
    return medianSecondsPerCall(book.samples, book.callsPerSample, lookup.secondsOfOneCall);
}

Goal judge(RatioGoal const& goal, Row const& row) {
    bool const overRead = goal.floor == Floor::Read;
    double const ratio = overRead ? *row.vsRead : *row.vsReadAndLineFeeds;
    char text[64];
    std::snprintf(text, sizeof text, "<= %.1fx %s", goal.limit, overRead ? "read" : "+memchr");
    return {text, ratio <= goal.limit};
}

}  // namespace

Row timedRow(std::string figure, double seconds, BookTiming const& book) {
    Row row;
    row.figure = std::move(figure);
    row.value = formatSeconds(seconds, book.inMicroseconds);
    row.vsRead = seconds / book.readSeconds;
    row.vsReadAndLineFeeds = seconds / book.readAndLineFeedsSeconds;
    return row;
}

std::optional<std::string> disagreement(QueryCase const& query) {
    Outcome const found = query.library.answer();
    Outcome const expected = query.reference();
    if (found != expected) {
        return query.figure + ": library " + describe(found) + ", reference " + describe(expected);
    }
    if (found.size() != query.expectedMatches) {
        return query.figure + ": " + describe(found) + ", the book has " +
               std::to_string(query.expectedMatches);
    }
    return std::nullopt;
}

std::vector<Row> timeQuery(QueryCase const& query, BookTiming const& book) {
    double const librarySeconds = secondsPerCall(query.library, book);
    Row libraryRow = timedRow(query.figure, librarySeconds, book);
    if (query.goal) {
        libraryRow.goal = judge(*query.goal, libraryRow);
    }
    if (!query.literal) {
        return {libraryRow};
    }
    double const literalSeconds = secondsPerCall(*query.literal, book);
    libraryRow.vsLiteral = librarySeconds / literalSeconds;
    return {libraryRow, timedRow("  literal scan", literalSeconds, book)};
}

}  // namespace vesnik::bench
