#include "LiteralScan.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

namespace vesnik::bench::literal {

namespace {

using ContactInfo = AddressBook::ContactInfo;
using RecordPtr = std::unique_ptr<ContactInfo>;
// The owners' deleters over lists that are still being filled.
using IdListBuilder = std::unique_ptr<std::vector<char*>, tool::DeleteIdList>;
using RecordListBuilder = std::unique_ptr<std::vector<ContactInfo*>, tool::DeleteRecordList>;

constexpr int kLineBufferSize = 600;
constexpr char kSeparators[] = ",\t\n";

bool isBlankRead(char const* line) {
    return line[0] == '\0' || std::strcmp(line, "\n") == 0;
}

RecordPtr splitIntoRecord(char* line) {
    auto record = std::make_unique<ContactInfo>();
    char** const fields[] = {&record->field1, &record->field2, &record->email, &record->contactId,
                             &record->field5};
    char* position = nullptr;
    char* token = strtok_r(line, kSeparators, &position);
    for (char** field : fields) {
        if (token == nullptr) {
            break;
        }
        *field = strdup(token);
        token = strtok_r(nullptr, kSeparators, &position);
    }
    return record;
}

void upperCaseAscii(char* text) {
    for (; *text != '\0'; ++text) {
        if (*text >= 'a' && *text <= 'z') {
            *text = static_cast<char>(*text - 'a' + 'A');
        }
    }
}

std::string upperCased(char const* text) {
    std::string copy(text);
    upperCaseAscii(copy.data());
    return copy;
}

bool hasId(ContactInfo const& record, char const* contactId) {
    return record.contactId != nullptr && std::strcmp(record.contactId, contactId) == 0;
}

// Upper-cases the record's e-mail in place, as the answer carries it.
bool hasUpperCasedEmail(ContactInfo& record, std::string const& upperKey) {
    if (record.email == nullptr) {
        return false;
    }
    upperCaseAscii(record.email);
    return upperKey == record.email;
}

void keep(std::vector<ContactInfo*>& list, RecordPtr& record) {
    list.push_back(record.get());
    record.release();
}

// Hands every record of the file to visit, which keeps it by moving it out
// and returns false to stop. False when the file cannot be opened.
template <typename Visit>
bool scanRecords(char const* path, Visit visit) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        return false;
    }
    char line[kLineBufferSize];
    while (std::fgets(line, kLineBufferSize, file) != nullptr) {
        if (isBlankRead(line)) {
            continue;
        }
        RecordPtr record = splitIntoRecord(line);
        if (!visit(record)) {
            break;
        }
    }
    std::fclose(file);
    return true;
}

}  // namespace

tool::LibraryIdList contacts(char const* path) {
    IdListBuilder ids(new std::vector<char*>);
    bool const opened = scanRecords(path, [&](RecordPtr& record) {
        ids->push_back(record->contactId);
        record->contactId = nullptr;
        return true;
    });
    if (!opened) {
        return nullptr;
    }
    return ids;
}

tool::LibraryRecord contactInfo(char const* contactId, char const* path) {
    RecordPtr found;
    scanRecords(path, [&](RecordPtr& record) {
        if (hasId(*record, contactId)) {
            found = std::move(record);
        }
        return !found;
    });
    return found;
}

tool::LibraryRecordList contactInfos(std::vector<char*> const& contactIds, char const* path) {
    RecordListBuilder records(new std::vector<ContactInfo*>);
    bool const opened = scanRecords(path, [&](RecordPtr& record) {
        for (char const* key : contactIds) {
            if (hasId(*record, key)) {
                keep(*records, record);
                break;
            }
        }
        return true;
    });
    if (!opened) {
        return nullptr;
    }
    return records;
}

tool::LibraryRecordList contactInfosFromEmail(char const* email, char const* path) {
    std::string const upperKey = upperCased(email);
    RecordListBuilder records(new std::vector<ContactInfo*>);
    bool const opened = scanRecords(path, [&](RecordPtr& record) {
        if (hasUpperCasedEmail(*record, upperKey)) {
            keep(*records, record);
        }
        return true;
    });
    if (!opened) {
        return nullptr;
    }
    return records;
}

tool::LibraryString contactId(char const* email, char const* path) {
    std::string const upperKey = upperCased(email);
    tool::LibraryString id;
    scanRecords(path, [&](RecordPtr& record) {
        if (!hasUpperCasedEmail(*record, upperKey)) {
            return true;
        }
        id.reset(std::exchange(record->contactId, nullptr));
        return false;
    });
    return id;
}

}  // namespace vesnik::bench::literal
