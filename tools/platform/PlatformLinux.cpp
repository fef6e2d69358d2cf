// Linux: POSIX files and signals, and the C library's iconv.
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "Platform.h"

namespace vesnik::tool::platform {

namespace {

std::string reasonFor(int code) {
    return std::generic_category().message(code);
}

[[noreturn]] void throwLastError() {
    throw SystemError(lastErrorText());
}

volatile std::sig_atomic_t interruptArrived = 0;
constexpr int kWatchedSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previousActions[std::size(kWatchedSignals)];

extern "C" void noteInterrupt(int) {
    interruptArrived = 1;
}

std::string folderOf(std::string const& path) {
    std::size_t const slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(std::string const& path) {
    std::size_t const slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string lastErrorText() {
    return reasonFor(errno);
}

void writeStandardOutput(std::string_view pending) {
    while (!pending.empty()) {
        ssize_t const written = ::write(STDOUT_FILENO, pending.data(), pending.size());
        if (written < 0 && errno == EINTR) {
            InterruptWatch::check();
            continue;
        }
        if (written <= 0) {
            // A reader that went away only gets here with SIGPIPE ignored;
            // then the reason is said, as grep says it.
            throw SystemError(reasonFor(written < 0 ? errno : EIO));
        }
        pending.remove_prefix(static_cast<std::size_t>(written));
    }
}

InputFile InputFile::open(std::string const& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        throwLastError();
    }
    struct stat info {};
    int const problem = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (problem != 0) {
        ::close(fd);
        throw SystemError(reasonFor(problem));
    }
    return InputFile(fd, true);
}

InputFile InputFile::standardInput() {
    return InputFile(STDIN_FILENO, false);
}

InputFile::InputFile(InputFile&& other) noexcept : handle_(other.handle_), owned_(other.owned_) {
    other.owned_ = false;
}

InputFile::~InputFile() {
    if (owned_) {
        ::close(static_cast<int>(handle_));
    }
}

std::size_t InputFile::read(char* into, std::size_t size) {
    for (;;) {
        InterruptWatch::check();
        ssize_t const count = ::read(static_cast<int>(handle_), into, size);
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        if (errno != EINTR) {
            throwLastError();
        }
    }
}

bool isDirectory(std::string const& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<DirectoryEntry> listDirectory(std::string const& path) {
    DIR* const folder = ::opendir(path.c_str());
    if (folder == nullptr) {
        throwLastError();
    }
    std::vector<DirectoryEntry> entries;
    errno = 0;
    while (dirent const* const entry = ::readdir(folder)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        bool directory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            // A link to a file counts as the file; a link to a folder is left
            // out.
            struct stat info {};
            std::string const full = joinPath(path, name);
            if (::lstat(full.c_str(), &info) != 0) {
                continue;
            }
            bool const link = S_ISLNK(info.st_mode);
            if (link && ::stat(full.c_str(), &info) != 0) {
                continue;
            }
            directory = S_ISDIR(info.st_mode);
            if (directory && link) {
                continue;
            }
        }
        entries.push_back({std::move(name), directory});
    }
    int const failure = errno;
    ::closedir(folder);
    if (failure != 0) {
        throw SystemError(reasonFor(failure));
    }
    return entries;
}

std::string joinPath(std::string const& folder, std::string const& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + '/' + name;
}

char pathListSeparator() {
    return ':';
}

struct Converter::State {
    iconv_t descriptor;
    // The start of a sequence that the last piece ended in.
    std::string pending;
};

std::unique_ptr<Converter> Converter::open(std::string const& charset) {
    iconv_t const descriptor = ::iconv_open("UTF-8", charset.c_str());
    if (descriptor == reinterpret_cast<iconv_t>(-1)) {
        return nullptr;
    }
    return std::unique_ptr<Converter>(
        new Converter(std::make_unique<State>(State{descriptor, {}})));
}

Converter::Converter(std::unique_ptr<State> state) : state_(std::move(state)) {}

Converter::~Converter() {
    ::iconv_close(state_->descriptor);
}

std::size_t Converter::convert(std::string_view input, std::string& out, bool last) {
    std::string joined;
    if (!state_->pending.empty()) {
        joined = state_->pending + std::string(input);
        state_->pending.clear();
        input = joined;
    }
    static constexpr char kReplacement[] = "\xEF\xBF\xBD";
    std::size_t replaced = 0;
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        std::size_t const start = out.size();
        std::size_t room = inLeft * 4 + 16;
        out.resize(start + room);
        char* to = out.data() + start;
        std::size_t const result = ::iconv(state_->descriptor, &in, &inLeft, &to, &room);
        int const failure = errno;
        out.resize(static_cast<std::size_t>(to - out.data()));
        if (result != static_cast<std::size_t>(-1) || failure == E2BIG) {
            continue;
        }
        if (failure == EINVAL && !last) {
            state_->pending.assign(in, inLeft);
            break;
        }
        // Not valid here, or cut short at the very end.
        out += kReplacement;
        ++replaced;
        if (failure == EINVAL) {
            break;
        }
        ++in;
        --inLeft;
    }
    if (last) {
        ::iconv(state_->descriptor, nullptr, nullptr, nullptr, nullptr);
    }
    return replaced;
}

struct BookFile::State {
    std::string target;
    std::string temporary;
    int fd = -1;
    bool replace = false;
    bool committed = false;
    bool fileSizeSignalIgnored = false;
    struct sigaction previousFileSizeAction {};

    // Also when the constructor throws part-way.
    ~State() {
        if (fd >= 0) {
            ::close(fd);
        }
        if (!committed && !temporary.empty()) {
            ::unlink(temporary.c_str());
        }
        if (fileSizeSignalIgnored) {
            ::sigaction(SIGXFSZ, &previousFileSizeAction, nullptr);
        }
    }
};

BookFile::BookFile(std::string const& path, bool replace) : state_(std::make_unique<State>()) {
    state_->replace = replace;
    // Through links to what they point at, so that a link stays one.
    std::string target = path;
    bool exists = false;
    for (int links = 0;; ++links) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0) {
            if (errno != ENOENT) {
                throwLastError();
            }
            break;
        }
        exists = true;
        if (S_ISDIR(info.st_mode)) {
            throw SystemError(reasonFor(EISDIR));
        }
        if (!S_ISLNK(info.st_mode)) {
            break;
        }
        if (links == 40) {
            throw SystemError(reasonFor(ELOOP));
        }
        std::string link(PATH_MAX, '\0');
        ssize_t const length = ::readlink(target.c_str(), link.data(), link.size());
        if (length < 0) {
            throwLastError();
        }
        link.resize(static_cast<std::size_t>(length));
        target = link.front() == '/' ? link : joinPath(folderOf(target), link);
    }
    if (exists && !replace) {
        throw SystemError("it exists; --replace replaces it");
    }
    struct stat info {};
    ::mode_t const mode = ::stat(target.c_str(), &info) == 0 ? info.st_mode & 07777 : 0600;
    state_->target = target;
    std::string temporary =
        joinPath(folderOf(target), "." + baseNameOf(target) + ".vesnik-import-XXXXXX");
    state_->fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (state_->fd < 0) {
        throwLastError();
    }
    state_->temporary = temporary;
    if (::fchmod(state_->fd, mode) != 0) {
        throwLastError();
    }
    // Past a file-size limit a write then fails, instead of the process
    // ending with the temporary file left.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    state_->fileSizeSignalIgnored =
        ::sigaction(SIGXFSZ, &ignore, &state_->previousFileSizeAction) == 0;
}

BookFile::~BookFile() = default;

void BookFile::write(std::string_view pending) {
    while (!pending.empty()) {
        InterruptWatch::check();
        ssize_t const written = ::write(state_->fd, pending.data(), pending.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw SystemError(reasonFor(written < 0 ? errno : EIO));
        }
        pending.remove_prefix(static_cast<std::size_t>(written));
    }
}

void BookFile::commit() {
    InterruptWatch::check();
    if (::fsync(state_->fd) != 0) {
        throwLastError();
    }
    int const fd = state_->fd;
    state_->fd = -1;
    if (::close(fd) != 0) {
        throwLastError();
    }
    char const* const from = state_->temporary.c_str();
    char const* const to = state_->target.c_str();
    int renamed = state_->replace ? ::rename(from, to)
                                  : ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
    if (renamed != 0 && !state_->replace && (errno == EINVAL || errno == ENOSYS)) {
        // A file system that cannot refuse to replace: look first.
        struct stat info {};
        if (::lstat(to, &info) == 0) {
            errno = EEXIST;
        } else {
            renamed = ::rename(from, to);
        }
    }
    if (renamed != 0) {
        throwLastError();
    }
    state_->committed = true;
    // The new name lasts once the folder is on disk too. Some file systems
    // cannot flush a folder; the book is written all the same.
    int const folder = ::open(folderOf(state_->target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

InterruptWatch::InterruptWatch() {
    interruptArrived = 0;
    struct sigaction note {};
    note.sa_handler = noteInterrupt;
    // Without SA_RESTART a read that waits for input returns at once.
    note.sa_flags = 0;
    sigemptyset(&note.sa_mask);
    for (std::size_t i = 0; i < std::size(kWatchedSignals); ++i) {
        ::sigaction(kWatchedSignals[i], &note, &previousActions[i]);
    }
}

InterruptWatch::~InterruptWatch() {
    for (std::size_t i = 0; i < std::size(kWatchedSignals); ++i) {
        ::sigaction(kWatchedSignals[i], &previousActions[i], nullptr);
    }
    interruptArrived = 0;
}

void InterruptWatch::check() {
    if (interruptArrived != 0) {
        throw Interrupted();
    }
}

}  // namespace vesnik::tool::platform
