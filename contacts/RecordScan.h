// The record scan that every query runs: one pass over the file, in order.
#ifndef VESNIK_CONTACTS_RECORDSCAN_H
#define VESNIK_CONTACTS_RECORDSCAN_H

#include <string_view>

#include "LineReader.h"

namespace vesnik {

// Hands the text of every non-blank line of the file at path to onLine, in
// file order, until onLine returns false. Returns false, having read nothing,
// when the file cannot be opened. The file is closed before this returns,
// however it returns.
template <class OnLine>
bool scanLines(char const* path, OnLine&& onLine) {
    InputFile const file(path);
    if (!file.isOpen()) {
        return false;
    }
    LineReader reader(file);
    std::string_view text;
    while (reader.next(text)) {
        if (!text.empty() && !onLine(text)) {
            break;
        }
    }
    return true;
}

}  // namespace vesnik

#endif
