#include "ScratchDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace vesnik::bench {

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vesnik-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::filesystem::filesystem_error("cannot make a scratch directory", pattern,
                                                std::error_code(errno, std::generic_category()));
    }
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace vesnik::bench
