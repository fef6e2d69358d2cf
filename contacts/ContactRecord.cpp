#include "ContactRecord.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace vesnik {

namespace {

bool isSeparator(char c) {
    return c == ',' || c == '\t' || c == '\n';
}

}  // namespace

Columns splitColumns(std::string_view text) {
    Columns columns{};
    std::size_t position = 0;
    for (auto& column : columns) {
        while (position < text.size() && isSeparator(text[position])) {
            ++position;
        }
        std::size_t const start = position;
        while (position < text.size() && !isSeparator(text[position])) {
            ++position;
        }
        if (start == position) {
            break;
        }
        column = text.substr(start, position - start);
    }
    return columns;
}

char* heapCopy(std::string_view text) {
    if (text.empty()) {
        return nullptr;
    }
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

RecordPtr makeRecord(Columns const& columns) {
    RecordPtr record(new AddressBook::ContactInfo);
    char** const fields[kColumnCount] = {&record->field1, &record->field2, &record->email,
                                         &record->contactId, &record->field5};
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        *fields[i] = heapCopy(columns[i]);
    }
    return record;
}

}  // namespace vesnik
