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

#include "AddressBook.h"
#include "ContactList.h"
#include "LibraryLocation.h"
#include "SystemError.h"

using vesnik::ScanStatus;
using vesnik::capi::SystemError;

namespace {

// The book a lookup reads: a null path selects the default book, beside this
// library's own file (the module holding this code, whatever its name).
vesnik::AddressBook bookAt(char const* path) {
    return vesnik::AddressBook(path != nullptr ? std::string(path)
                                               : vesnik::defaultBookPath(nullptr));
}

// Runs find over the book with a callback that adds each match to a new
// list, until limit matches (0: no limit). On VESNIK_OK *out is the list;
// otherwise it is null, nothing is kept, and after a failed open or read the
// system's reason is as that failure left it.
template <class Find>
int collect(char const* path, std::size_t limit, vesnik_list** out, Find const& find) {
    *out = nullptr;
    try {
        int status = VESNIK_OK;
        SystemError reason = SystemError::current();
        {
            auto list = std::make_unique<vesnik_list>();
            ScanStatus const scanned = find(bookAt(path), [&](vesnik::Columns const& columns) {
                list->add(columns);
                return limit == 0 || list->size() < limit;
            });
            if (scanned == ScanStatus::kDone) {
                list->seal();
                *out = list.release();
                return VESNIK_OK;
            }
            reason = SystemError::current();
            status = scanned == ScanStatus::kCannotOpen ? VESNIK_ERROR_OPEN : VESNIK_ERROR_READ;
        }
        // Freeing what was gathered may touch the reason; the caller wants
        // the failure's.
        reason.restore();
        return status;
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
            return "a required argument is NULL";
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
    return collect(book, 0, out, [](vesnik::AddressBook const& address, vesnik::OnMatch onLine) {
        return address.eachLine(onLine);
    });
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
    return collect(book, limit, out,
                   [&](vesnik::AddressBook const& address, vesnik::OnMatch onMatch) {
                       // Null and empty keys match nothing. With no keys left the book is
                       // still read, so that one that cannot be opened is reported.
                       std::vector<std::string_view> keys;
                       keys.reserve(count);
                       for (std::size_t i = 0; i < count; ++i) {
                           if (ids[i] != nullptr && ids[i][0] != '\0') {
                               keys.emplace_back(ids[i]);
                           }
                       }
                       // One key is searched for as a whole, faster than through the set.
                       return keys.size() == 1 ? address.findId(keys[0], onMatch)
                                               : address.findIds(keys, onMatch);
                   });
}

int vesnik_find_email(char const* book, char const* email, size_t limit, vesnik_list** out) {
    if (out == nullptr) {
        return VESNIK_ERROR_ARGUMENT;
    }
    if (email == nullptr) {
        *out = nullptr;
        return VESNIK_ERROR_ARGUMENT;
    }
    return collect(book, limit, out,
                   [&](vesnik::AddressBook const& address, vesnik::OnMatch onMatch) {
                       return address.findEmail(email, onMatch);
                   });
}

int vesnik_search(char const* book, char const* text, size_t limit, vesnik_list** out) {
    if (out == nullptr) {
        return VESNIK_ERROR_ARGUMENT;
    }
    if (text == nullptr) {
        *out = nullptr;
        return VESNIK_ERROR_ARGUMENT;
    }
    return collect(book, limit, out,
                   [&](vesnik::AddressBook const& address, vesnik::OnMatch onMatch) {
                       return address.search(text, onMatch);
                   });
}

size_t vesnik_list_size(vesnik_list const* list) {
    return list != nullptr ? list->size() : 0;
}

vesnik_contact const* vesnik_list_at(vesnik_list const* list, size_t index) {
    return list != nullptr ? list->at(index) : nullptr;
}

void vesnik_list_free(vesnik_list* list) {
    delete list;
}

}  // extern "C"
