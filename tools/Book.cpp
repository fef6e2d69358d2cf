#include "Book.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

#include "Output.h"
#include "platform/Platform.h"

namespace vesnik::tool {

namespace {

std::vector<std::string> listedPaths(std::string const& list) {
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t const end =
            std::min(list.find(platform::pathListSeparator(), start), list.size());
        if (end > start) {
            paths.push_back(list.substr(start, end - start));
        }
        start = end + 1;
    }
    return paths;
}

std::string defaultBookPath() {
    std::size_t const length = vesnik_default_book(nullptr, 0);
    std::string path(length, '\0');
    if (length != 0) {
        vesnik_default_book(path.data(), length + 1);
    }
    return path;
}

}  // namespace

std::vector<Book> Book::choose(std::vector<std::string> options) {
    if (options.empty()) {
        char const* const fromEnvironment = std::getenv("VESNIK_BOOK");
        options = listedPaths(fromEnvironment != nullptr ? fromEnvironment : "");
    }
    std::vector<Book> books;
    for (std::string& path : options) {
        books.push_back(Book(std::move(path)));
    }
    if (books.empty()) {
        books.push_back(Book(std::nullopt));
    }
    return books;
}

std::string Book::displayPath() const {
    return path_ ? *path_ : defaultBookPath();
}

ContactList Book::all() const {
    vesnik_list* list = nullptr;
    int const status = vesnik_all(path(), &list);
    return checked(status, list);
}

ContactList Book::findIds(std::vector<std::string> const& ids, std::size_t limit) const {
    std::vector<char const*> keys;
    keys.reserve(ids.size());
    for (std::string const& id : ids) {
        keys.push_back(id.c_str());
    }
    vesnik_list* list = nullptr;
    int const status = vesnik_find_ids(path(), keys.data(), keys.size(), limit, &list);
    return checked(status, list);
}

ContactList Book::findEmail(std::string const& email, std::size_t limit) const {
    vesnik_list* list = nullptr;
    int const status = vesnik_find_email(path(), email.c_str(), limit, &list);
    return checked(status, list);
}

ContactList Book::search(std::string const& text, std::size_t limit, bool fold, bool ranked) const {
    vesnik_list* list = nullptr;
    unsigned const flags =
        (fold ? VESNIK_FOLD_CASE | VESNIK_FOLD_MARKS : 0u) | (ranked ? VESNIK_RANK : 0u);
    int const status = vesnik_search_v2(path(), text.c_str(), flags, limit, &list);
    return checked(status, list);
}

ContactList Book::checked(int status, vesnik_list* list) const {
    if (status == VESNIK_OK) {
        return ContactList(list);
    }
    if (status == VESNIK_ERROR_MEMORY) {
        throw std::bad_alloc();
    }
    if (status == VESNIK_ERROR_OPEN || status == VESNIK_ERROR_READ) {
        // The reason first: finding the default book's path may change it.
        std::string const reason = platform::lastErrorText();
        char const* const failed = status == VESNIK_ERROR_OPEN ? "open" : "read";
        throw BookError(std::string("cannot ") + failed + " address book '" + displayPath() +
                        "': " + reason);
    }
    throw std::logic_error(vesnik_status_text(status));
}

std::string libraryDirectory() {
    std::string path = defaultBookPath();
#ifdef _WIN32
    std::size_t const separator = path.find_last_of("\\/");
#else
    std::size_t const separator = path.rfind('/');
#endif
    path.resize(separator == std::string::npos ? 0 : separator + 1);
    return path;
}

}  // namespace vesnik::tool
