// The benchmark's address books: made up, deterministic, and byte-identical
// on every machine for the same contact count, seed, identifier shape and
// script, so that figures from different runs describe the same file. Each
// contact is drawn from its own random stream, so that any one can be made
// alone.
#ifndef VESNIK_BENCH_BOOKGENERATOR_H
#define VESNIK_BENCH_BOOKGENERATOR_H

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ScriptNames.h"

namespace vesnik::bench {

// How contact ids look: C0000001 (default, and padded), K-0 for the first
// contact (prefixed), CUST-000000001-EU-WEST (middle: ids differ only there),
// 8-4-4-4-12 lower-case hex drawn from the seed (uuid), or sixteen digits,
// zero-padded (zeros: ids differ only in their last bytes).
constexpr std::array<char const*, 6> kIdShapes = {"default", "prefixed", "padded",
                                                  "middle",  "uuid",     "zeros"};

// The scripts the names may be in: those of ScriptNames.h, or mixed, where
// contact n's are in the n-th of those that are not ASCII, in turn.
constexpr char kMixedScripts[] = "mixed";
inline std::vector<std::string> scripts() {
    std::vector<std::string> names;
    for (ScriptNames const& pool : kScriptNames) {
        names.emplace_back(pool.script);
    }
    names.emplace_back(kMixedScripts);
    return names;
}

struct BookOptions {
    std::uint64_t seed = 1;
    bool crlf = false;
    std::string ids = "default";
    std::string script = "ascii";
};

// The names contact n draws from.
inline ScriptNames const& namesFor(std::size_t number, BookOptions const& options) {
    constexpr std::size_t kNotAscii = std::size(kScriptNames) - 1;
    std::string_view const script = options.script == kMixedScripts
                                        ? kScriptNames[1 + (number - 1) % kNotAscii].script
                                        : std::string_view(options.script);
    for (ScriptNames const& names : kScriptNames) {
        if (names.script == script) {
            return names;
        }
    }
    return kScriptNames[0];
}

// splitmix64: small and fixed, so every platform draws the same numbers.
class SplitMix64 {
  public:
    SplitMix64(std::size_t number, std::uint64_t seed) : state_(seed) {
        state_ = next() ^ (static_cast<std::uint64_t>(number) * 0xD6E8FEB86659FD93u);
    }

    std::uint64_t next() {
        std::uint64_t mixed = (state_ += 0x9E3779B97F4A7C15u);
        mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9u;
        mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBu;
        return mixed ^ (mixed >> 31);
    }

    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

    template <typename Pool>
    std::string pick(Pool const& pool) {
        return std::string(pool[below(pool.size())]);
    }

  private:
    std::uint64_t state_;
};

// Contacts are numbered from 1 in file order.
inline std::string contactIdOf(std::size_t number, BookOptions const& options) {
    char id[48];
    if (options.ids == "prefixed") {
        std::snprintf(id, sizeof id, "K-%zu", number - 1);
    } else if (options.ids == "middle") {
        std::snprintf(id, sizeof id, "CUST-%09zu-EU-WEST", number);
    } else if (options.ids == "uuid") {
        // A stream of its own, so that the other columns stay as they are.
        SplitMix64 random(number, ~options.seed);
        auto const high = static_cast<unsigned long long>(random.next());
        auto const low = static_cast<unsigned long long>(random.next());
        std::snprintf(id, sizeof id, "%08llx-%04llx-%04llx-%04llx-%012llx", high >> 32,
                      (high >> 16) & 0xFFFF, high & 0xFFFF, low >> 48, low & 0xFFFFFFFFFFFFu);
    } else if (options.ids == "zeros") {
        std::snprintf(id, sizeof id, "%016zu", number);
    } else {
        std::snprintf(id, sizeof id, "C%07zu", number);
    }
    return id;
}

// An id of the book's shape that none of its contacts has.
inline std::string missingContactId(std::size_t contacts, BookOptions const& options) {
    return contactIdOf(contacts + 1, options);
}

// The e-mail that every thousandth contact shares, written in varying case.
constexpr std::size_t kSharedEmailEvery = 1000;
inline std::string sharedEmail() {
    return "Front.Desk@Example.org";
}
inline std::size_t sharedEmailCount(std::size_t contacts) {
    return (contacts + kSharedEmailEvery / 2) / kSharedEmailEvery;
}

// An e-mail that no contact has.
inline std::string missingEmail() {
    return "No.Such.Person@Example.com";
}

// Contact n's line, without its end; its e-mail as written goes to email.
// Every seventh line is TAB-separated, every eleventh has a run of
// separators and every twenty-ninth starts with two. E-mail addresses are
// ASCII whatever the names' script.
inline std::string contactLine(std::size_t number, BookOptions const& options,
                               std::string* email = nullptr) {
    constexpr std::array<std::string_view, 4> kDomains = {"Example.com", "example.NET",
                                                          "Example.org", "mail.Example.com"};
    constexpr std::array<std::string_view, 6> kShortNotes = {
        "mobile", "office", "home", "front desk", "night line", "evenings only"};
    constexpr std::array<std::string_view, 16> kNoteWords = {
        "call", "before", "noon", "on",      "weekdays", "parcels", "go",  "to",
        "the",  "north",  "gate", "invoice", "monthly",  "ask",     "for", "reception"};
    SplitMix64 random(number, options.seed);
    ScriptNames const& names = namesFor(number, options);
    Name const family = names.family[random.below(names.family.size())];
    Name const given = names.given[random.below(names.given.size())];
    std::string mail = number % kSharedEmailEvery == kSharedEmailEvery / 2
                           ? sharedEmail()
                           : std::string(given.inLatin()) + "." + std::string(family.inLatin()) +
                                 std::to_string(number) + "@" + random.pick(kDomains);
    // Some addresses are written all upper case, some all lower, most as typed.
    std::size_t const letterCase = random.below(4);
    for (char& c : mail) {
        c = letterCase == 0 && c >= 'a' && c <= 'z'   ? static_cast<char>(c - 'a' + 'A')
            : letterCase == 1 && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a')
                                                      : c;
    }
    // One contact in a hundred carries a long note, longer than a 600-byte
    // line buffer once its other columns are added.
    std::string notes;
    if (number % 100 == 33) {
        std::size_t const length = 300 + random.below(401);
        for (notes = random.pick(kNoteWords); notes.size() < length;) {
            notes += " " + random.pick(kNoteWords);
        }
        notes.resize(length);
    } else {
        notes = random.pick(kShortNotes);
        notes += " " + std::to_string(1000 + random.below(9000));
    }
    std::string const separator = number % 7 == 0 ? "\t" : ",";
    if (email != nullptr) {
        *email = mail;
    }
    return (number % 29 == 0 ? "\t," : "") + std::string(family.written) + separator +
           std::string(given.written) + (number % 11 == 0 ? ",\t," : separator) + mail + separator +
           contactIdOf(number, options) + separator + notes;
}

// Writes a book of `contacts` contacts to path; false when it cannot.
inline bool writeBook(std::string const& path, std::size_t contacts, BookOptions const& options) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         &std::fclose);
    for (std::size_t number = 1; file && number <= contacts; ++number) {
        std::string const line = contactLine(number, options) + (options.crlf ? "\r\n" : "\n");
        if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size()) {
            return false;
        }
    }
    return file && std::fclose(file.release()) == 0;
}

}  // namespace vesnik::bench

#endif
