// What the command needs from the operating system, behind one small
// interface with one implementation file per platform: standard output, files
// and folders to import, character-set conversion, a book replaced whole, and
// interrupts.
#ifndef VESNIK_TOOLS_PLATFORM_PLATFORM_H
#define VESNIK_TOOLS_PLATFORM_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vesnik::tool::platform {

// A call to the system failed; what() is the system's reason. A reader of
// standard output that went away (a closed pipe) is worth no message.
class SystemError : public std::runtime_error {
  public:
    explicit SystemError(std::string const& reason, bool readerGone = false)
        : std::runtime_error(reason), readerGone_(readerGone) {}
    bool readerGone() const { return readerGone_; }

  private:
    bool readerGone_;
};

// An interrupt (Ctrl-C, a termination request) arrived while it was watched.
class Interrupted : public std::runtime_error {
  public:
    Interrupted() : std::runtime_error("interrupted") {}
};

// The system's words for the failure just reported by a call that sets errno
// or, on Windows, the thread's last error. Call it before anything else can
// change either.
std::string lastErrorText();

// Writes every byte to standard output, unchanged; throws SystemError.
void writeStandardOutput(std::string_view bytes);

// A file or standard input, read as bytes.
class InputFile {
  public:
    // Throws SystemError with the reason it cannot be opened; a folder does
    // not open as a file.
    static InputFile open(std::string const& path);
    static InputFile standardInput();

    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&&) = delete;
    ~InputFile();

    // Up to size bytes; 0 at the end. Throws SystemError, or Interrupted
    // while interrupts are watched.
    std::size_t read(char* into, std::size_t size);

  private:
    InputFile(std::intptr_t handle, bool owned) : handle_(handle), owned_(owned) {}
    std::intptr_t handle_;
    bool owned_;
};

bool isDirectory(std::string const& path);

struct DirectoryEntry {
    std::string name;
    bool isDirectory;
};

// The files and folders in a folder, in no particular order, without "." and
// "..". Links to folders are left out, so that a walk never loops. Throws
// SystemError.
std::vector<DirectoryEntry> listDirectory(std::string const& path);

// folder and name joined by the platform's separator.
std::string joinPath(std::string const& folder, std::string const& name);

// What separates the paths of a list such as PATH: ':', or ';' on Windows.
char pathListSeparator();

// Converts text in a named character set to UTF-8, piece by piece: a
// sequence split between two pieces is completed by the next.
class Converter {
  public:
    // Null when the platform does not know the name.
    static std::unique_ptr<Converter> open(std::string const& charset);
    ~Converter();

    // Appends input's UTF-8 to out. A sequence cut short at the end of input
    // waits for the next call, unless last. Each sequence that is not valid
    // becomes U+FFFD; gives how many did.
    std::size_t convert(std::string_view input, std::string& out, bool last);

  private:
    struct State;
    explicit Converter(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// A book written whole or not at all: a temporary file in the book's folder,
// flushed to disk and renamed over the book (through a symbolic link, to
// what it points at). The book keeps its permission bits; a new one is
// readable by its owner only. Until commit, destroying it removes the
// temporary file and leaves the book as it was.
class BookFile {
  public:
    // Throws SystemError; refuses an existing book unless replace.
    BookFile(std::string const& path, bool replace);
    BookFile(BookFile const&) = delete;
    BookFile& operator=(BookFile const&) = delete;
    ~BookFile();

    // Throws SystemError, or Interrupted.
    void write(std::string_view bytes);
    // Flushes and renames; throws SystemError. On Windows a lookup holding
    // the book open is waited for, up to a second.
    void commit();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// While one lives, interrupts and termination requests do not end the
// process: they make reads and writes throw Interrupted, so that what is half
// done can be undone. At most one at a time.
class InterruptWatch {
  public:
    InterruptWatch();
    InterruptWatch(InterruptWatch const&) = delete;
    InterruptWatch& operator=(InterruptWatch const&) = delete;
    ~InterruptWatch();

    // Throws Interrupted when one has arrived.
    static void check();
};

}  // namespace vesnik::tool::platform

#endif
