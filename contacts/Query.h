// A query: what a lookup asks of a book, as a value that the engine runs over
// any byte source, choosing the strategy itself. Its answers are views of the
// book's bytes: what a caller keeps of a match it must copy before its
// callback returns.
#ifndef VESNIK_CONTACTS_QUERY_H
#define VESNIK_CONTACTS_QUERY_H

#include <cstddef>
#include <string_view>
#include <vector>

#include "ByteSource.h"
#include "CodePointFolds.h"
#include "Columns.h"
#include "FunctionRef.h"
#include "LineScan.h"
#include "MatchTier.h"

namespace vesnik {

enum class QueryKind {
    kEveryContact,    // every non-blank line
    kEveryContactId,  // every non-blank line's identifier, empty when it has none
    kContactIds,      // the lines whose identifier equals one of the keys, byte for byte
    kEmail,           // the lines whose e-mail equals the key, ASCII letter case ignored
    kSearch,          // the lines where every word of the key stands in field1, field2 or
                      // the e-mail, ASCII letter case ignored (see splitWords), or
                      // both folded alike when the query has folds (see foldedWords)
};

struct Query {
    QueryKind kind = QueryKind::kEveryContact;
    // What the kind compares with: views of the caller's strings, which must
    // outlive the run. An empty identifier matches nothing; a search's text
    // without words matches every line.
    std::vector<std::string_view> keys;
    // The scan ends at the limit-th match; 0 means no limit.
    std::size_t limit = 0;
    // For kSearch: how the text and the searched columns are folded before
    // they are compared, or null for ASCII letter case alone. Must outlive
    // the run.
    CodePointFolds const* folds = nullptr;
    // For kSearch: each match's tier is judged (MatchTier.h), on the folded
    // text when folds are given, and the scan ends at the limit-th match of
    // the best tier instead: what comes later cannot be among the best,
    // which the caller keeps.
    bool ranked = false;

    static Query of(QueryKind kind, std::vector<std::string_view> keys = {}, std::size_t limit = 0,
                    CodePointFolds const* folds = nullptr) {
        return Query{kind, std::move(keys), limit, folds, false};
    }
};

// One matching line.
struct Match {
    // The line's columns; for kEveryContactId only the identifier's.
    Columns columns;
    // Judged for a ranked query only.
    MatchTier tier = MatchTier::kWordStartsName;
};

// Takes each match in file order; returns false to end the scan.
using OnMatch = FunctionRef<bool(Match const&)>;

// Runs query over source; each line is considered once, in file order.
ScanOutcome runQuery(ByteSource& source, Query const& query, OnMatch onMatch);

}  // namespace vesnik

#endif
