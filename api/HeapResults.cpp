#include "HeapResults.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace vesnik::api {

namespace {

constexpr std::size_t kLocationBufferSize = 260;

}  // namespace

NewString heapCopy(std::string_view text) {
    if (text.empty()) {
        return nullptr;
    }
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return NewString(copy);
}

NewRecord newRecord(Columns const& columns) {
    NewRecord record(new ContactInfo);
    char** const fields[kColumnCount] = {&record->field1, &record->field2, &record->email,
                                         &record->contactId, &record->field5};
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        *fields[i] = heapCopy(columns[i]).release();
    }
    return record;
}

char* newLocationBuffer(std::string_view text) {
    std::size_t const size = std::max(kLocationBufferSize, text.size() + 1);
    auto* buffer = static_cast<char*>(std::calloc(size, 1));
    if (buffer == nullptr) {
        throw std::bad_alloc();
    }
    if (!text.empty()) {
        std::memcpy(buffer, text.data(), text.size());
    }
    return buffer;
}

}  // namespace vesnik::api
