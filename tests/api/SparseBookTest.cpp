// A 5 GiB book of zeros and then one contact: read through in blocks, past
// 4 GiB in the 32-bit build too, with the zeros never held in memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Vesnik_API.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace fs = std::filesystem;

namespace vesnik::test {
namespace {

// The process's peak resident memory in KiB, as Linux counts it; -1 where
// there is no such count.
long peakKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

TEST(SparseBook, FiveGiBOfZerosAreReadInLittleMemory) {
    TempDir const dir;
    std::string const path = dir.write("sparse.cdir", "");
    try {
        // The zeros take no disk: a hole in a sparse file.
        fs::resize_file(path, std::uintmax_t{5} << 30);
    } catch (fs::filesystem_error const& error) {
        GTEST_SKIP() << "no sparse file of 5 GiB here: " << error.what();
    }
    std::ofstream(path, std::ios::binary | std::ios::app) << "\nAnn,Lee,ann@x,K1,far\n";
    // The peak starts again from what the process holds now.
    std::ofstream("/proc/self/clear_refs") << "5";
    long const before = peakKiB();

    IdList const ids(GetContacts(path.c_str(), nullptr));
    ASSERT_TRUE(ids);
    EXPECT_EQ(idsOf(*ids), std::vector<Field>{"K1"}) << "the zeros are one blank line";
    if (before > 0) {
        EXPECT_LT(peakKiB() - before, 16 * 1024) << "KiB more at the peak";
    }
}

}  // namespace
}  // namespace vesnik::test
