#include "support/TempFiles.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>

namespace vesnik::test {

namespace {

std::filesystem::path newUniqueDirectory() {
    static std::atomic<unsigned> counter{0};
    auto const base = std::filesystem::temp_directory_path();
    auto const stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("vesnik-test-" + std::to_string(stamp) + "-" +
                                 std::to_string(counter.fetch_add(1)));
        if (std::filesystem::create_directory(candidate)) {
            return candidate;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

}  // namespace

TempDir::TempDir() : path_(newUniqueDirectory()) {}

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
