#include "Queries.h"

#include <algorithm>
#include <memory>

#include "BookGenerator.h"
#include "LiteralScan.h"

namespace vesnik::bench {

namespace {

using tool::LibraryIdList;
using tool::LibraryRecord;
using tool::LibraryRecordList;
using tool::LibraryString;

constexpr std::size_t kEarlyContact = 10;
constexpr std::size_t kFewKeys = 100;
constexpr std::size_t kManyKeys = 10'000;
constexpr RatioGoal kNoMatchGoal{Floor::ReadAndLineFeeds, 1.5};
constexpr RatioGoal kFewKeysGoal{Floor::ReadAndLineFeeds, 2.0};
constexpr RatioGoal kManyKeysGoal{Floor::ReadAndLineFeeds, 3.0};
constexpr RatioGoal kAllIdsGoal{Floor::ReadAndLineFeeds, 3.0};
constexpr RatioGoal kSmallBookGoal{Floor::Read, 1.5};

// Ids of contacts spread evenly over the book, in file order. The pointers
// are what GetContactInfos takes; they point into texts, so a list is
// shared, never copied.
struct KeyList {
    std::vector<std::string> texts;
    std::vector<char*> pointers;
};

std::shared_ptr<KeyList const> spreadKeys(std::size_t count, std::size_t contacts) {
    auto keys = std::make_shared<KeyList>();
    for (std::size_t key = 0; key < count; ++key) {
        keys->texts.push_back(contactIdOf(1 + key * contacts / count));
    }
    for (std::string& text : keys->texts) {
        keys->pointers.push_back(text.data());
    }
    return keys;
}

std::string lowerCased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

template <typename LibraryCall, typename LiteralCall>
QueryCase comparedQuery(std::string figure, LibraryCall library, LiteralCall literal,
                        std::size_t expectedMatches, std::optional<RatioGoal> goal = {}) {
    QueryCase query{
        std::move(figure), lookupOf(library), lookupOf(literal), {}, expectedMatches, goal};
    query.reference = query.literal->answer;
    return query;
}

QueryCase contactInfoQuery(std::string figure, std::string path, std::string id,
                           std::size_t expectedMatches, std::optional<RatioGoal> goal = {}) {
    return comparedQuery(
        std::move(figure),
        [=] { return LibraryRecord(GetContactInfo(id.c_str(), path.c_str(), nullptr)); },
        [=] { return literal::contactInfo(id.c_str(), path.c_str()); }, expectedMatches, goal);
}

QueryCase contactIdQuery(std::string figure, std::string path, std::string email,
                         std::size_t expectedMatches, std::optional<RatioGoal> goal = {}) {
    return comparedQuery(
        std::move(figure),
        [=] { return LibraryString(GetContactID(email.c_str(), path.c_str(), nullptr)); },
        [=] { return literal::contactId(email.c_str(), path.c_str()); }, expectedMatches, goal);
}

QueryCase fromEmailQuery(std::string figure, std::string path, std::string email,
                         std::size_t expectedMatches, std::optional<RatioGoal> goal = {}) {
    return comparedQuery(
        std::move(figure),
        [=] {
            return LibraryRecordList(
                GetContactInfosFromEmail(email.c_str(), path.c_str(), nullptr));
        },
        [=] { return literal::contactInfosFromEmail(email.c_str(), path.c_str()); },
        expectedMatches, goal);
}

LibraryRecordList libraryContactInfos(KeyList const& keys, std::string const& path) {
    return LibraryRecordList(GetContactInfos(&keys.pointers, path.c_str(), nullptr));
}

QueryCase fewKeysQuery(GeneratedBook const& book) {
    auto const keys = spreadKeys(std::min(kFewKeys, book.contacts), book.contacts);
    std::string const path = book.path;
    return comparedQuery(
        "GetContactInfos, " + std::to_string(keys->texts.size()) + " keys",
        [=] { return libraryContactInfos(*keys, path); },
        [=] { return literal::contactInfos(keys->pointers, path.c_str()); }, keys->texts.size(),
        kFewKeysGoal);
}

// The literal scan compares every line with every key: ten thousand keys
// would keep it busy for minutes, so the generator's ids are the reference.
QueryCase manyKeysQuery(GeneratedBook const& book) {
    auto const keys = spreadKeys(std::min(kManyKeys, book.contacts), book.contacts);
    std::string const path = book.path;
    QueryCase query;
    query.figure = "GetContactInfos, " + std::to_string(keys->texts.size()) + " keys";
    query.library = lookupOf([=] { return libraryContactInfos(*keys, path); });
    query.reference = [=] { return keys->texts; };
    query.expectedMatches = keys->texts.size();
    query.goal = kManyKeysGoal;
    return query;
}

QueryCase allIdsQuery(GeneratedBook const& book) {
    std::string const path = book.path;
    return comparedQuery(
        "GetContacts, " + std::to_string(book.contacts) + " ids",
        [=] { return LibraryIdList(GetContacts(path.c_str(), nullptr)); },
        [=] { return literal::contacts(path.c_str()); }, book.contacts, kAllIdsGoal);
}

}  // namespace

std::vector<QueryCase> largeBookQueries(GeneratedBook const& book) {
    std::string const early = "early (#" + std::to_string(kEarlyContact) + ")";
    std::string const earlyEmail = lowerCased(emailOf(kEarlyContact, book.seed));
    std::size_t const sharing = sharedEmailCount(book.contacts);
    std::string const shared = "shared e-mail (" + std::to_string(sharing) + " contacts)";

    std::vector<QueryCase> queries;
    queries.push_back(contactInfoQuery("GetContactInfo, no match", book.path, missingContactId(), 0,
                                       kNoMatchGoal));
    queries.push_back(
        contactInfoQuery("GetContactInfo, " + early, book.path, contactIdOf(kEarlyContact), 1));
    queries.push_back(
        contactIdQuery("GetContactID, no match", book.path, missingEmail(), 0, kNoMatchGoal));
    queries.push_back(contactIdQuery("GetContactID, " + early, book.path, earlyEmail, 1));
    queries.push_back(contactIdQuery("GetContactID, " + shared, book.path, sharedEmail(),
                                     std::min<std::size_t>(sharing, 1)));
    queries.push_back(fromEmailQuery("GetContactInfosFromEmail, no match", book.path,
                                     missingEmail(), 0, kNoMatchGoal));
    queries.push_back(
        fromEmailQuery("GetContactInfosFromEmail, " + early, book.path, earlyEmail, 1));
    queries.push_back(
        fromEmailQuery("GetContactInfosFromEmail, " + shared, book.path, sharedEmail(), sharing));
    queries.push_back(fewKeysQuery(book));
    queries.push_back(manyKeysQuery(book));
    queries.push_back(allIdsQuery(book));
    return queries;
}

QueryCase smallBookQuery(GeneratedBook const& book) {
    std::size_t const middle = book.contacts / 2;
    return contactInfoQuery(
        "GetContactInfo, #" + std::to_string(middle) + " of " + std::to_string(book.contacts),
        book.path, contactIdOf(middle), 1, kSmallBookGoal);
}

}  // namespace vesnik::bench
