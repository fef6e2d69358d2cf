// Each contact is drawn from its own random stream, so that the helpers can
// make any one contact without the ones before it.
#include "BookGenerator.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string_view>

namespace vesnik::bench {

namespace {

// splitmix64: small and fixed, so every platform draws the same numbers.
class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t state) : state_(state) {}

    std::uint64_t next() {
        std::uint64_t mixed = (state_ += 0x9E3779B97F4A7C15u);
        mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9u;
        mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBu;
        return mixed ^ (mixed >> 31);
    }

    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

    template <typename Pool>
    auto const& pick(Pool const& pool) {
        return pool[below(pool.size())];
    }

  private:
    std::uint64_t state_;
};

constexpr std::array<std::string_view, 24> kFamilyNames = {
    "Adler",   "Baptiste", "Castell",  "Dvorak",    "Eriksen",  "Fontaine", "Gallo",  "Haddad",
    "Ivanova", "Jansen",   "Kowalski", "Lindqvist", "Moreau",   "Nakamura", "Okafor", "Petrov",
    "Quist",   "Rossi",    "Sandoval", "Tanaka",    "Urquhart", "Varga",    "Whitby", "Yilmaz"};

constexpr std::array<std::string_view, 24> kGivenNames = {
    "Ada",   "Bruno", "Chidi",  "Dana",  "Emil",  "Farah", "Goran", "Hana",
    "Ines",  "Jonas", "Kira",   "Lucia", "Milan", "Nora",  "Oskar", "Petra",
    "Quinn", "Rosa",  "Stefan", "Tove",  "Umar",  "Vera",  "Wim",   "Zoe"};

constexpr std::array<std::string_view, 4> kDomains = {"Example.com", "example.NET", "Example.org",
                                                      "mail.Example.com"};

constexpr std::array<std::string_view, 6> kShortNotes = {
    "mobile", "office", "home", "front desk", "night line", "evenings only"};

constexpr std::array<std::string_view, 16> kNoteWords = {
    "call", "before", "noon", "on",      "weekdays", "parcels", "go",  "to",
    "the",  "north",  "gate", "invoice", "monthly",  "ask",     "for", "reception"};

// One contact in a hundred carries a long note, longer than a 600-byte line
// buffer once its other columns are added.
constexpr std::size_t kLongNoteEvery = 100;
constexpr std::size_t kLongNoteMin = 300;
constexpr std::size_t kLongNoteMax = 700;
constexpr std::size_t kSharedEmailEvery = 1000;
constexpr std::size_t kTabLineEvery = 7;
constexpr std::size_t kSeparatorRunEvery = 11;
constexpr std::size_t kLeadingSeparatorEvery = 29;

SplitMix64 streamOf(std::size_t number, std::uint64_t seed) {
    SplitMix64 seeder(seed);
    return SplitMix64(seeder.next() ^ (static_cast<std::uint64_t>(number) * 0xD6E8FEB86659FD93u));
}

bool isLongNoteContact(std::size_t number) {
    return number % kLongNoteEvery == kLongNoteEvery / 3;
}

bool sharesEmail(std::size_t number) {
    return number % kSharedEmailEvery == kSharedEmailEvery / 2;
}

void upperCase(std::string& text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
}

void lowerCase(std::string& text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
}

// Some addresses are written all upper case, some all lower, most as typed.
void varyCase(std::string& email, SplitMix64& random) {
    switch (random.below(4)) {
        case 0:
            upperCase(email);
            break;
        case 1:
            lowerCase(email);
            break;
        default:
            break;
    }
}

std::string personalEmail(std::string_view given, std::string_view family, std::size_t number,
                          SplitMix64& random) {
    std::string email;
    email.append(given).append(".").append(family).append(std::to_string(number));
    email.append("@").append(random.pick(kDomains));
    return email;
}

std::string shortNote(SplitMix64& random) {
    std::string note(random.pick(kShortNotes));
    note.append(" ").append(std::to_string(1000 + random.below(9000)));
    return note;
}

std::string longNote(SplitMix64& random) {
    std::size_t const length = kLongNoteMin + random.below(kLongNoteMax - kLongNoteMin + 1);
    std::string note(random.pick(kNoteWords));
    while (note.size() < length) {
        note.append(" ").append(random.pick(kNoteWords));
    }
    note.resize(length);
    return note;
}

struct Contact {
    std::string family;
    std::string given;
    std::string email;
    std::string notes;
};

Contact makeContact(std::size_t number, std::uint64_t seed) {
    SplitMix64 random = streamOf(number, seed);
    Contact contact;
    contact.family = random.pick(kFamilyNames);
    contact.given = random.pick(kGivenNames);
    contact.email = sharesEmail(number)
                        ? sharedEmail()
                        : personalEmail(contact.given, contact.family, number, random);
    varyCase(contact.email, random);
    contact.notes = isLongNoteContact(number) ? longNote(random) : shortNote(random);
    return contact;
}

}  // namespace

std::string contactIdOf(std::size_t number) {
    char id[32];
    std::snprintf(id, sizeof id, "C%07zu", number);
    return id;
}

std::string missingContactId() {
    return contactIdOf(0);
}

std::string emailOf(std::size_t number, std::uint64_t seed) {
    return makeContact(number, seed).email;
}

std::string sharedEmail() {
    return "Front.Desk@Example.org";
}

std::size_t sharedEmailCount(std::size_t contacts) {
    return (contacts + kSharedEmailEvery / 2) / kSharedEmailEvery;
}

std::string missingEmail() {
    return "No.Such.Person@Example.com";
}

std::string contactLine(std::size_t number, std::uint64_t seed) {
    Contact const contact = makeContact(number, seed);
    std::string_view const separator = number % kTabLineEvery == 0 ? "\t" : ",";
    std::string_view const run = number % kSeparatorRunEvery == 0 ? ",\t," : separator;
    std::string line = number % kLeadingSeparatorEvery == 0 ? "\t," : "";
    line.append(contact.family).append(separator).append(contact.given).append(run);
    line.append(contact.email).append(separator).append(contactIdOf(number)).append(separator);
    line.append(contact.notes);
    return line;
}

bool writeBook(std::string const& path, std::size_t contacts, BookOptions const& options) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         &std::fclose);
    if (!file) {
        return false;
    }
    std::string_view const lineEnd = options.crlf ? "\r\n" : "\n";
    for (std::size_t number = 1; number <= contacts; ++number) {
        std::string line = contactLine(number, options.seed);
        line.append(lineEnd);
        if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size()) {
            return false;
        }
    }
    return std::fclose(file.release()) == 0;
}

}  // namespace vesnik::bench
