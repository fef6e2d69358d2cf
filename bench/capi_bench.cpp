// vesnik-capi-bench BOOK [--runs N] [--id KEY] [--email KEY]: times the C
// interface's lookups beside the six functions' lookups of the same keys, on
// a book made by vesnik-genbook, and prints the median of N runs of each
// (each run one call, its result freed). Beside them: the floor of reading
// the book and finding its lines, and that of taking as much fresh memory as
// a whole-book list holds and touching it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Vesnik_API.h"
#include "Vesnik_API_owners.h"
#include "vesnik.h"

namespace {

using Clock = std::chrono::steady_clock;

// Reads the file in 128 KiB blocks and counts its LFs.
std::size_t readAndFindLines(char const* path) {
    static std::vector<char> block(128 * 1024);
    int const fd = ::open(path, O_RDONLY | O_CLOEXEC);
    std::size_t lines = 0;
    for (ssize_t n; fd >= 0 && (n = ::read(fd, block.data(), block.size())) > 0;) {
        char const* at = block.data();
        char const* const end = at + n;
        while ((at = static_cast<char const*>(
                    std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) != nullptr) {
            ++lines;
            ++at;
        }
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return lines;
}

// Fresh memory, as a list of the whole book takes it: size bytes, each page
// touched, then given back.
void touchFreshMemory(std::size_t size) {
    auto* memory = static_cast<char*>(std::malloc(size));
    if (memory == nullptr) {
        std::abort();
    }
    std::memset(memory, 1, size);
    asm volatile("" : : "r"(memory) : "memory");
    std::free(memory);
}

int size(vesnik_list* list) {
    auto const n = static_cast<int>(vesnik_list_size(list));
    vesnik_list_free(list);
    return n;
}

struct Figure {
    std::string name;
    std::function<int()> call;  // gives a count, checked against its partner's
    std::vector<double> milliseconds = {};
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vesnik-capi-bench BOOK [--runs N] [--id KEY] [--email KEY]\n");
        return 2;
    }
    char const* const book = argv[1];
    int runs = 5;
    std::string id = "C9999999";                       // no contact of vesnik-genbook's has it
    std::string email = "No.Such.Person@Example.com";  // nor this
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string const option = argv[i];
        if (option == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (option == "--id") {
            id = argv[i + 1];
        } else if (option == "--email") {
            email = argv[i + 1];
        }
    }
    struct stat info {};
    if (::stat(book, &info) != 0) {
        std::perror(book);
        return 2;
    }
    std::size_t const contacts = readAndFindLines(book);
    // The list's text is about the book's bytes; each contact adds five
    // pointers.
    std::size_t const listBytes =
        static_cast<std::size_t>(info.st_size) + contacts * sizeof(vesnik_contact);

    char const* const ids[] = {id.c_str()};
    std::vector<char*> idVector = {id.data()};
    std::vector<char*> hundredIds;
    std::vector<std::string> hundred;
    for (int i = 0; i < 100; ++i) {
        hundred.push_back(id + "-" + std::to_string(i));
    }
    for (std::string& key : hundred) {
        hundredIds.push_back(key.data());
    }
    std::vector<char const*> const hundredC(hundredIds.begin(), hundredIds.end());

    using namespace vesnik::owned;
    std::vector<Figure> figures = {
        {"read + memchr floor", [&] { return static_cast<int>(readAndFindLines(book) != 0); }},
        {"fresh memory floor (" + std::to_string(listBytes >> 20) + " MiB)",
         [&] { return touchFreshMemory(listBytes), 1; }},
        {"GetContactInfosFromEmail, no match",
         [&] {
             return static_cast<int>(
                 RecordList(GetContactInfosFromEmail(email.c_str(), book, nullptr))->size());
         }},
        {"vesnik_find_email, no match",
         [&] {
             vesnik_list* list = nullptr;
             vesnik_find_email(book, email.c_str(), 0, &list);
             return size(list);
         }},
        {"GetContactInfo, no match",
         [&] {
             return static_cast<int>(Record(GetContactInfo(id.c_str(), book, nullptr)) != nullptr);
         }},
        {"GetContactInfos, 1 id, no match",
         [&] {
             return static_cast<int>(RecordList(GetContactInfos(&idVector, book, nullptr))->size());
         }},
        {"vesnik_find_ids, 1 id, no match",
         [&] {
             vesnik_list* list = nullptr;
             vesnik_find_ids(book, ids, 1, 0, &list);
             return size(list);
         }},
        {"GetContactInfos, 100 ids, no match",
         [&] {
             return static_cast<int>(
                 RecordList(GetContactInfos(&hundredIds, book, nullptr))->size());
         }},
        {"vesnik_find_ids, 100 ids, no match",
         [&] {
             vesnik_list* list = nullptr;
             vesnik_find_ids(book, hundredC.data(), hundredC.size(), 0, &list);
             return size(list);
         }},
        {"GetContacts (identifiers)",
         [&] { return static_cast<int>(IdList(GetContacts(book, nullptr))->size()); }},
        {"vesnik_all (whole contacts)",
         [&] {
             vesnik_list* list = nullptr;
             vesnik_all(book, &list);
             return size(list);
         }},
    };

    // One call of each first, so that the book is in the page cache; then the
    // runs, each figure once a round, so that a slow moment of the machine
    // falls on all of them.
    std::vector<int> counts;
    for (Figure& figure : figures) {
        counts.push_back(figure.call());
    }
    if (counts[2] != counts[3] || counts[5] != counts[6] || counts[7] != counts[8] ||
        counts[9] != counts[10]) {
        std::fprintf(stderr, "vesnik-capi-bench: the two interfaces' answers differ in size\n");
        return 1;
    }
    for (int run = 0; run < runs; ++run) {
        for (Figure& figure : figures) {
            auto const start = Clock::now();
            figure.call();
            figure.milliseconds.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    }
    double const floor = median(figures[0].milliseconds);
    std::printf("%s: %zu lines, %lld bytes; median of %d runs, each call's result freed\n\n", book,
                contacts, static_cast<long long>(info.st_size), runs);
    std::printf("%-40s %10s %8s\n", "", "ms", "x floor");
    for (Figure const& figure : figures) {
        double const ms = median(figure.milliseconds);
        std::printf("%-40s %10.1f %8.2f\n", figure.name.c_str(), ms, ms / floor);
    }
    return 0;
}
