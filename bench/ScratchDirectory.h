// A directory of the run's own for generated books, removed with everything
// in it when the run ends.
#ifndef VESNIK_BENCH_SCRATCHDIRECTORY_H
#define VESNIK_BENCH_SCRATCHDIRECTORY_H

#include <filesystem>
#include <string>

namespace vesnik::bench {

class ScratchDirectory {
  public:
    // Throws std::filesystem::filesystem_error when none can be made.
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(ScratchDirectory const&) = delete;
    ScratchDirectory& operator=(ScratchDirectory const&) = delete;

    std::string pathOf(std::string const& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

}  // namespace vesnik::bench

#endif
