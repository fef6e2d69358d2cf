// However long a file, the line reader's buffer grows only for a line longer
// than a block, and not for a run of NULs, which has no text to hold: what
// the lines hold is checked against the plain reading by the differential
// test.
#include <gtest/gtest.h>

#include <string>

#include "LineReader.h"
#include "MemorySource.h"

namespace vesnik {
namespace {

TEST(LineReader, BufferGrowsOnlyForLongLinesWithText) {
    std::size_t const block = 4096;
    auto const bufferAfter = [&](std::string const& bytes) {
        MemorySource source(bytes);
        LineReader reader(source, block);
        for (std::string_view run; reader.nextLines(run);) {
        }
        return reader.bufferSize();
    };
    std::string shortLines;
    for (std::size_t i = 0; i < 5 * block; ++i) {
        shortLines += "a\n";
    }
    EXPECT_EQ(bufferAfter(shortLines), block);
    EXPECT_EQ(bufferAfter("a,b" + std::string(50 * block, '\0')), block);
    EXPECT_GE(bufferAfter(std::string(5 * block, 'x') + "\n"), 5 * block);
}

}  // namespace
}  // namespace vesnik
