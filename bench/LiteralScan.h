// The naive scan that the library is measured against: fgets into a fixed
// 600-byte buffer, strtok_r over the separators, and a heap record for every
// line. Its answers come in the library's own shapes and owners, so that one
// comparison serves both.
//
// A line longer than the buffer reads as several records here; the extra
// ones hold a piece of the last column only, so they carry no id or e-mail.
#ifndef VESNIK_BENCH_LITERALSCAN_H
#define VESNIK_BENCH_LITERALSCAN_H

#include <vector>

#include "LibraryResults.h"

namespace vesnik::bench::literal {

tool::LibraryIdList contacts(char const* path);
tool::LibraryRecord contactInfo(char const* contactId, char const* path);
// Compares every record with every key in turn.
tool::LibraryRecordList contactInfos(std::vector<char*> const& contactIds, char const* path);
tool::LibraryRecordList contactInfosFromEmail(char const* email, char const* path);
tool::LibraryString contactId(char const* email, char const* path);

}  // namespace vesnik::bench::literal

#endif
