// The C interface: each lookup asks the engine one query and copies what it
// matched into a list of the library's own. No C++ exception leaves these
// functions, and they share nothing, so hosts may call them from any thread.
#include "vesnik.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "BookFile.h"
#include "ContactList.h"
#include "LibraryLocation.h"
#include "UnicodeFolds.h"
#include "platform/Platform.h"

using vesnik::Query;
using vesnik::QueryKind;

namespace {

// The matches of a ranked search, a list for each tier. A match with limit
// as good or better ones before it cannot be among the best limit, and is
// left out: each list holds at most limit.
class RankedMatches {
  public:
    explicit RankedMatches(std::size_t limit) : limit_(limit) {}

    void add(vesnik::Match const& match) {
        auto const tier = static_cast<std::size_t>(match.tier) - 1;
        std::size_t ahead = 0;
        for (std::size_t t = 0; t <= tier; ++t) {
            ahead += tiers_[t].size();
        }
        if (limit_ == 0 || ahead < limit_) {
            tiers_[tier].add(match.columns);
        }
    }

    // The best first, each tier in file order, up to the limit.
    void copyInto(vesnik_list& list) const {
        for (std::size_t t = 0; t < vesnik::kTierCount; ++t) {
            std::size_t const room = limit_ == 0 ? tiers_[t].size() : limit_ - list.size();
            list.append(tiers_[t], room, static_cast<unsigned char>(t + 1));
        }
    }

  private:
    std::size_t limit_;
    vesnik_list tiers_[vesnik::kTierCount];
};

// Runs query over the book (the default book, beside this library's own
// file, when book is null) and copies each match into a new list. On
// VESNIK_OK *out is the list; otherwise it is null, nothing is kept, and a
// failed open or read leaves the system's reason in errno or the thread's
// last error, set once, after everything else is done.
int collect(char const* book, Query const& query, vesnik_list** out) {
    *out = nullptr;
    try {
        auto list = std::make_unique<vesnik_list>();
        std::unique_ptr<RankedMatches> ranked;
        if (query.ranked) {
            ranked = std::make_unique<RankedMatches>(query.limit);
        }
        vesnik::ScanOutcome const outcome = vesnik::runQueryOnFile(
            vesnik::bookPath(book, nullptr).c_str(), query, [&](vesnik::Match const& match) {
                if (ranked) {
                    ranked->add(match);
                } else {
                    list->add(match.columns);
                }
                return true;
            });
        if (outcome.done()) {
            if (ranked) {
                ranked->copyInto(*list);
            }
            list->seal();
            *out = list.release();
            return VESNIK_OK;
        }
        list.reset();
        vesnik::platform::setSystemError(outcome.error);
        return outcome.status == vesnik::ScanStatus::kCannotOpen ? VESNIK_ERROR_OPEN
                                                                 : VESNIK_ERROR_READ;
    } catch (...) {
        // Only memory can run out here (std::bad_alloc, or a length that
        // cannot be had).
        return VESNIK_ERROR_MEMORY;
    }
}

}  // namespace

extern "C" {

int vesnik_version(void) {
    return VESNIK_VERSION_NUMBER;
}

char const* vesnik_status_text(int status) {
    switch (status) {
        case VESNIK_OK:
            return "success";
        case VESNIK_ERROR_OPEN:
            return "the address book cannot be opened";
        case VESNIK_ERROR_READ:
            return "reading the address book failed";
        case VESNIK_ERROR_ARGUMENT:
            return "a required argument is NULL, or a flag unknown";
        case VESNIK_ERROR_MEMORY:
            return "out of memory";
        default:
            return "unknown status";
    }
}

size_t vesnik_default_book(char* buffer, size_t size) {
    std::string path;
    try {
        path = vesnik::defaultBookPath(nullptr);
    } catch (...) {
        path.clear();
    }
    if (buffer != nullptr && size > 0) {
        std::size_t const copied = path.size() < size ? path.size() : size - 1;
        std::memcpy(buffer, path.data(), copied);
        buffer[copied] = '\0';
    }
    return path.size();
}

int vesnik_all(char const* book, vesnik_list** out) {
    if (out == nullptr) {
        return VESNIK_ERROR_ARGUMENT;
    }
    return collect(book, Query::of(QueryKind::kEveryContact), out);
}

int vesnik_find_ids(char const* book, char const* const* ids, size_t count, size_t limit,
                    vesnik_list** out) {
    if (out == nullptr) {
        return VESNIK_ERROR_ARGUMENT;
    }
    if (ids == nullptr && count > 0) {
        *out = nullptr;
        return VESNIK_ERROR_ARGUMENT;
    }
    // Null keys match nothing; the book is still read, so that one that
    // cannot be opened is reported.
    std::vector<std::string_view> keys;
    try {
        keys.reserve(count);
    } catch (...) {
        *out = nullptr;
        return VESNIK_ERROR_MEMORY;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (ids[i] != nullptr) {
            keys.emplace_back(ids[i]);
        }
    }
    return collect(book, Query::of(QueryKind::kContactIds, std::move(keys), limit), out);
}

int vesnik_find_email(char const* book, char const* email, size_t limit, vesnik_list** out) {
    if (out == nullptr) {
        return VESNIK_ERROR_ARGUMENT;
    }
    if (email == nullptr) {
        *out = nullptr;
        return VESNIK_ERROR_ARGUMENT;
    }
    return collect(book, Query::of(QueryKind::kEmail, {email}, limit), out);
}

int vesnik_search(char const* book, char const* text, size_t limit, vesnik_list** out) {
    return vesnik_search_v2(book, text, 0, limit, out);
}

int vesnik_search_v2(char const* book, char const* text, unsigned flags, size_t limit,
                     vesnik_list** out) {
    unsigned const kKnownFlags = VESNIK_FOLD_CASE | VESNIK_FOLD_MARKS | VESNIK_RANK;
    if (out == nullptr) {
        return VESNIK_ERROR_ARGUMENT;
    }
    if (text == nullptr || (flags & ~kKnownFlags) != 0) {
        *out = nullptr;
        return VESNIK_ERROR_ARGUMENT;
    }
    unsigned const folding = flags & (VESNIK_FOLD_CASE | VESNIK_FOLD_MARKS);
    Query query = Query::of(
        QueryKind::kSearch, {text}, limit,
        folding != 0 ? &vesnik::capi::unicodeFolds(static_cast<vesnik::capi::FoldMode>(folding))
                     : nullptr);
    query.ranked = (flags & VESNIK_RANK) != 0;
    return collect(book, query, out);
}

size_t vesnik_list_size(vesnik_list const* list) {
    return list != nullptr ? list->size() : 0;
}

vesnik_contact const* vesnik_list_at(vesnik_list const* list, size_t index) {
    return list != nullptr ? list->at(index) : nullptr;
}

int vesnik_list_tier(vesnik_list const* list, size_t index) {
    return list != nullptr ? list->tier(index) : 0;
}

void vesnik_list_free(vesnik_list* list) {
    delete list;
}

}  // extern "C"
