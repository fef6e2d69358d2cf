// The queries the benchmark times, each with the answer the generated book
// must give and the goal its figure is held to.
#ifndef VESNIK_BENCH_QUERIES_H
#define VESNIK_BENCH_QUERIES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "QueryCase.h"

namespace vesnik::bench {

// A book vesnik-genbook wrote.
struct GeneratedBook {
    std::string path;
    std::size_t contacts = 0;
    std::uint64_t seed = 1;
};

// Contact #10 is the early match.
std::vector<QueryCase> largeBookQueries(GeneratedBook const& book);

// The middle contact of a small book.
QueryCase smallBookQuery(GeneratedBook const& book);

}  // namespace vesnik::bench

#endif
