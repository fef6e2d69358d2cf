#include "PeakMemory.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string_view>

#include "BookGenerator.h"
#include "LibraryResults.h"

extern char** environ;

namespace vesnik::bench {

namespace {

std::optional<long> peakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    constexpr std::string_view kPeakField = "VmHWM:";
    while (std::getline(status, line)) {
        if (line.compare(0, kPeakField.size(), kPeakField) == 0) {
            return std::stol(line.substr(kPeakField.size()));
        }
    }
    return std::nullopt;
}

// Lowers the recorded peak to what is resident now, so that start-up does not
// hide a smaller growth. Kernels without it leave the peak as it was.
void resetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void runScansMatchingNothing(char const* book) {
    std::string const id = missingContactId();
    std::string const email = missingEmail();
    tool::LibraryRecord const record(GetContactInfo(id.c_str(), book, nullptr));
    tool::LibraryString const foundId(GetContactID(email.c_str(), book, nullptr));
    tool::LibraryRecordList const records(GetContactInfosFromEmail(email.c_str(), book, nullptr));
}

std::string readAll(int descriptor) {
    std::string text;
    char block[256];
    ssize_t got = 0;
    while ((got = ::read(descriptor, block, sizeof block)) > 0) {
        text.append(block, static_cast<std::size_t>(got));
    }
    return text;
}

// This program again, as the child, its standard output on output.
std::optional<pid_t> spawnMeasuringChild(std::string const& book, int output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    char program[] = "/proc/self/exe";
    std::string option = kMeasureMemoryOption;
    std::string path = book;
    char* arguments[] = {program, option.data(), path.data(), nullptr};
    pid_t child = 0;
    int const failed = posix_spawn(&child, program, &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        return std::nullopt;
    }
    return child;
}

bool exitedCleanly(pid_t child) {
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int printScanPeakGrowth(std::string const& book) {
    resetPeakResident();
    std::optional<long> const before = peakResidentKiB();
    runScansMatchingNothing(book.c_str());
    std::optional<long> const after = peakResidentKiB();
    if (!before || !after) {
        std::fprintf(stderr, "vesnik-bench: no VmHWM in /proc/self/status\n");
        return 1;
    }
    std::printf("%ld\n", *after - *before);
    return 0;
}

std::optional<long> scanPeakGrowthKiB(std::string const& book) {
    int output[2];
    // Close-on-exec: the child keeps only its standard output, so EOF comes when it ends.
    if (::pipe2(output, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    std::optional<pid_t> const child = spawnMeasuringChild(book, output[1]);
    ::close(output[1]);
    std::string const printed = child ? readAll(output[0]) : "";
    ::close(output[0]);
    if (!child || !exitedCleanly(*child) || printed.empty()) {
        return std::nullopt;
    }
    return std::stol(printed);
}

}  // namespace vesnik::bench
