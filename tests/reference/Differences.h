// Every exported lookup asked of the library and of the plain reading, and
// the first place where their answers differ.
#ifndef VESNIK_TESTS_REFERENCE_DIFFERENCES_H
#define VESNIK_TESTS_REFERENCE_DIFFERENCES_H

#include <optional>
#include <string>
#include <vector>

namespace vesnik::reference {

// Asks both about the file at path: every contact; each key, and a null one,
// as an identifier and an e-mail; all keys at once as a list, each twice; a null and an empty list.
// Gives the first difference, told so that it stays readable with lines longer than a block and
// lists of thousands, or nothing when every answer is the same.
std::optional<std::string> firstDifference(std::string const& path,
                                           std::vector<std::string> const& keys);

}  // namespace vesnik::reference

#endif
