// What a lookup found, cut down to what the library and the literal scan must
// agree on: the ids of the contacts found, in order.
#ifndef VESNIK_BENCH_OUTCOME_H
#define VESNIK_BENCH_OUTCOME_H

#include <string>
#include <vector>

#include "LibraryResults.h"

namespace vesnik::bench {

using Outcome = std::vector<std::string>;

Outcome outcomeOf(tool::LibraryRecord const& record);
Outcome outcomeOf(tool::LibraryRecordList const& records);
Outcome outcomeOf(tool::LibraryString const& contactId);
// Absent ids are left out: the literal scan reads a line longer than its
// buffer as extra records without one.
Outcome outcomeOf(tool::LibraryIdList const& contactIds);

// "3 found: C0000500 C0001500 C0002500", the first few ids only.
std::string describe(Outcome const& outcome);

}  // namespace vesnik::bench

#endif
