// Byte-level helpers for the text the import reads: UTF-8 well-formedness,
// ASCII letter case, spaces at the ends.
#ifndef VESNIK_TOOLS_IMPORT_TEXT_H
#define VESNIK_TOOLS_IMPORT_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace vesnik::tool::import {

// The length of the well-formed UTF-8 sequence at the start of text (no
// overlong forms, surrogates or code points past U+10FFFF); 0 when there is
// none.
std::size_t utf8SequenceLength(std::string_view text);

bool isUtf8(std::string_view text);

bool isAscii(std::string_view text);

// Cuts text to at most size bytes without splitting a UTF-8 sequence; true
// when it was longer.
bool cutToSize(std::string& text, std::size_t size);

// Drops a UTF-8 sequence that text ends part-way through, as a cut leaves it.
void dropCutSequence(std::string& text);

bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);

// Without spaces and TABs at either end.
std::string_view trimmed(std::string_view text);

}  // namespace vesnik::tool::import

#endif
