#include "support/TempFiles.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>

namespace vesnik::test {

TempDir::TempDir() {
    // Unique across processes by the clock, within one by the counter; an
    // error other than the name being taken throws.
    static std::atomic<unsigned> counter{0};
    auto const stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    do {
        path_ = std::filesystem::temp_directory_path() /
                ("vesnik-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    } while (!std::filesystem::create_directory(path_));
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(std::string const& name, std::string_view bytes) const {
    auto const file = path_ / name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
    return file.string();
}

}  // namespace vesnik::test
