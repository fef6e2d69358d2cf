// Windows: Win32 files, console control events, and the code-page functions.
// Paths are in the ANSI code page, as the program's arguments and the C
// interface's book paths are.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "Platform.h"

namespace vesnik::tool::platform {

namespace {

std::string reasonFor(DWORD code) {
    char text[512] = {};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, code, 0, text, sizeof text, nullptr);
    // Windows ends its sentences with a full stop and CR LF.
    while (length > 0 && std::strchr(" .\r\n", text[length - 1]) != nullptr) {
        --length;
    }
    if (length == 0) {
        return "Windows error " + std::to_string(code);
    }
    return std::string(text, length);
}

[[noreturn]] void throwLastError() {
    throw SystemError(lastErrorText());
}

HANDLE toHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::atomic<bool> interruptArrived{false};

BOOL WINAPI noteInterrupt(DWORD) {
    interruptArrived = true;
    return TRUE;
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string folderOf(std::string const& path) {
    std::size_t const slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

std::string baseNameOf(std::string const& path) {
    std::size_t const slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a link or junction finally names.
std::string finalPath(std::string const& path) {
    HANDLE const file =
        ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throwLastError();
    }
    std::string resolved(MAX_PATH * 4, '\0');
    DWORD const length = ::GetFinalPathNameByHandleA(
        file, resolved.data(), static_cast<DWORD>(resolved.size()), FILE_NAME_NORMALIZED);
    DWORD const failure = ::GetLastError();
    ::CloseHandle(file);
    if (length == 0 || length >= resolved.size()) {
        throw SystemError(reasonFor(failure));
    }
    resolved.resize(length);
    if (resolved.rfind("\\\\?\\UNC\\", 0) == 0) {
        return "\\\\" + resolved.substr(8);
    }
    return resolved.rfind("\\\\?\\", 0) == 0 ? resolved.substr(4) : resolved;
}

// The code pages for the names people give, in lower case; "cpNNN",
// "windows-NNN", "ibmNNN" and "iso-8859-N" are read as numbers.
struct NamedCodePage {
    char const* name;
    UINT codePage;
};
constexpr NamedCodePage kCodePages[] = {
    {"utf-8", CP_UTF8},   {"utf8", CP_UTF8},  {"utf-16le", 1200},     {"utf-16be", 1201},
    {"us-ascii", 20127},  {"ascii", 20127},   {"latin1", 28591},      {"shift_jis", 932},
    {"sjis", 932},        {"gbk", 936},       {"gb2312", 936},        {"big5", 950},
    {"euc-kr", 949},      {"euc-jp", 20932},  {"koi8-r", 20866},      {"koi8-u", 21866},
    {"macintosh", 10000}, {"gb18030", 54936}, {"iso-2022-jp", 50220},
};
constexpr UINT kUtf16Le = 1200;
constexpr UINT kUtf16Be = 1201;

UINT codePageNamed(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (NamedCodePage const& known : kCodePages) {
        if (name == known.name) {
            return known.codePage;
        }
    }
    auto const numberAfter = [&name](char const* prefix) -> UINT {
        std::size_t const length = std::strlen(prefix);
        if (name.rfind(prefix, 0) != 0 || name.size() == length || name.size() > length + 5 ||
            name.find_first_not_of("0123456789", length) != std::string::npos) {
            return 0;
        }
        return static_cast<UINT>(std::strtoul(name.c_str() + length, nullptr, 10));
    };
    if (UINT const part = numberAfter("iso-8859-"); part != 0) {
        return 28590 + part;
    }
    for (char const* prefix : {"windows-", "cp", "ibm"}) {
        if (UINT const number = numberAfter(prefix); number != 0) {
            return number;
        }
    }
    return 0;
}

std::size_t countReplacements(std::wstring const& wide) {
    return static_cast<std::size_t>(std::count(wide.begin(), wide.end(), L'\xFFFD'));
}

void appendUtf8(std::wstring const& wide, std::string& out) {
    if (wide.empty()) {
        return;
    }
    int const wideLength = static_cast<int>(wide.size());
    int const size =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::size_t const start = out.size();
    out.resize(start + static_cast<std::size_t>(size));
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, out.data() + start, size, nullptr,
                          nullptr);
}

}  // namespace

std::string lastErrorText() {
    return reasonFor(::GetLastError());
}

void writeStandardOutput(std::string_view pending) {
    while (!pending.empty()) {
        // WriteFile passes the bytes unchanged, and tells a reader that went
        // away from a failure, which the C runtime's write does not.
        DWORD const wanted =
            pending.size() > INT_MAX ? DWORD{INT_MAX} : static_cast<DWORD>(pending.size());
        DWORD written = 0;
        if (!::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), pending.data(), wanted, &written,
                         nullptr)) {
            DWORD const code = ::GetLastError();
            throw SystemError(reasonFor(code), code == ERROR_BROKEN_PIPE || code == ERROR_NO_DATA ||
                                                   code == ERROR_PIPE_NOT_CONNECTED);
        }
        pending.remove_prefix(written);
    }
}

InputFile InputFile::open(std::string const& path) {
    // Without backup semantics a folder does not open.
    HANDLE const file = ::CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throwLastError();
    }
    return InputFile(reinterpret_cast<std::intptr_t>(file), true);
}

InputFile InputFile::standardInput() {
    return InputFile(reinterpret_cast<std::intptr_t>(::GetStdHandle(STD_INPUT_HANDLE)), false);
}

InputFile::InputFile(InputFile&& other) noexcept : handle_(other.handle_), owned_(other.owned_) {
    other.owned_ = false;
}

InputFile::~InputFile() {
    if (owned_) {
        ::CloseHandle(toHandle(handle_));
    }
}

std::size_t InputFile::read(char* into, std::size_t size) {
    InterruptWatch::check();
    DWORD const wanted = size > INT_MAX ? DWORD{INT_MAX} : static_cast<DWORD>(size);
    DWORD count = 0;
    if (!::ReadFile(toHandle(handle_), into, wanted, &count, nullptr)) {
        // A pipe whose writer has gone reports its end as this error.
        if (::GetLastError() == ERROR_BROKEN_PIPE) {
            return 0;
        }
        throwLastError();
    }
    return count;
}

bool isDirectory(std::string const& path) {
    DWORD const attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<DirectoryEntry> listDirectory(std::string const& path) {
    WIN32_FIND_DATAA found{};
    HANDLE const search = ::FindFirstFileA(joinPath(path, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        throwLastError();
    }
    std::vector<DirectoryEntry> entries;
    do {
        std::string name = found.cFileName;
        bool const directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        bool const link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (name == "." || name == ".." || (directory && link)) {
            continue;
        }
        entries.push_back({std::move(name), directory});
    } while (::FindNextFileA(search, &found));
    DWORD const failure = ::GetLastError();
    ::FindClose(search);
    if (failure != ERROR_NO_MORE_FILES) {
        throw SystemError(reasonFor(failure));
    }
    return entries;
}

std::string joinPath(std::string const& folder, std::string const& name) {
    return folder.empty() || isSeparator(folder.back()) ? folder + name : folder + '\\' + name;
}

char pathListSeparator() {
    return ';';
}

struct Converter::State {
    UINT codePage;
    UINT longestCharacter;
    // The start of a sequence that the last piece ended in.
    std::string pending;

    // How much of text forms whole characters, so that none is split.
    std::size_t wholeCharacters(std::string_view text) const {
        if (codePage == kUtf16Le || codePage == kUtf16Be) {
            std::size_t whole = text.size() & ~std::size_t{1};
            if (whole >= 2) {
                unsigned char const high =
                    static_cast<unsigned char>(text[whole - (codePage == kUtf16Le ? 1 : 2)]);
                // A first half of a surrogate pair waits for its second.
                if (high >= 0xD8 && high <= 0xDB) {
                    whole -= 2;
                }
            }
            return whole;
        }
        if (longestCharacter == 1) {
            return text.size();
        }
        if (longestCharacter == 2) {
            std::size_t i = 0;
            while (i < text.size()) {
                std::size_t const step =
                    ::IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[i])) ? 2 : 1;
                if (i + step > text.size()) {
                    break;
                }
                i += step;
            }
            return i;
        }
        // Other encodings may carry state from byte to byte: they are cut at
        // a line end, unless a line grows too long to wait for.
        std::size_t const lineEnd = text.rfind('\n');
        if (lineEnd != std::string_view::npos) {
            return lineEnd + 1;
        }
        return text.size() < 65536 ? 0 : text.size();
    }
};

std::unique_ptr<Converter> Converter::open(std::string const& charset) {
    UINT const codePage = codePageNamed(charset);
    UINT longest = 2;
    if (codePage != kUtf16Le && codePage != kUtf16Be) {
        CPINFO info{};
        if (codePage == 0 || !::IsValidCodePage(codePage) || !::GetCPInfo(codePage, &info)) {
            return nullptr;
        }
        longest = info.MaxCharSize;
    }
    return std::unique_ptr<Converter>(
        new Converter(std::make_unique<State>(State{codePage, longest, {}})));
}

Converter::Converter(std::unique_ptr<State> state) : state_(std::move(state)) {}

Converter::~Converter() = default;

std::size_t Converter::convert(std::string_view input, std::string& out, bool last) {
    std::string text = state_->pending;
    text.append(input);
    std::size_t const whole = last ? text.size() : state_->wholeCharacters(text);
    state_->pending = text.substr(whole);
    text.resize(whole);
    if (text.empty()) {
        return 0;
    }
    std::wstring wide;
    UINT const codePage = state_->codePage;
    if (codePage == kUtf16Le || codePage == kUtf16Be) {
        int const first = codePage == kUtf16Le ? 0 : 1;
        for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
            unsigned const low =
                static_cast<unsigned char>(text[i + static_cast<std::size_t>(first)]);
            unsigned const high =
                static_cast<unsigned char>(text[i + static_cast<std::size_t>(1 - first)]);
            wide += static_cast<wchar_t>(low | high << 8);
        }
        // An odd byte at the very end is half a character.
        if (text.size() % 2 != 0) {
            wide += L'\xFFFD';
        }
    } else {
        int const size = static_cast<int>(text.size());
        int const length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
        wide.resize(static_cast<std::size_t>(length));
        ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    }
    appendUtf8(wide, out);
    return countReplacements(wide);
}

struct BookFile::State {
    std::string target;
    std::string temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    bool replace = false;
    bool committed = false;

    // Also when the constructor throws part-way.
    ~State() {
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
        }
        if (!committed && !temporary.empty()) {
            ::DeleteFileA(temporary.c_str());
        }
    }
};

BookFile::BookFile(std::string const& path, bool replace) : state_(std::make_unique<State>()) {
    state_->replace = replace;
    std::string target = path;
    DWORD const attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD const failure = ::GetLastError();
        if (failure != ERROR_FILE_NOT_FOUND) {
            throw SystemError(reasonFor(failure));
        }
    } else {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            throw SystemError(reasonFor(ERROR_DIRECTORY));
        }
        if (!replace) {
            throw SystemError("it exists; --replace replaces it");
        }
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            target = finalPath(path);
        }
    }
    state_->target = target;
    std::string const stem = joinPath(folderOf(target), baseNameOf(target)) + ".vesnik-import-" +
                             std::to_string(::GetCurrentProcessId()) + "-";
    for (unsigned attempt = 0;; ++attempt) {
        std::string temporary = stem + std::to_string(::GetTickCount() + attempt) + ".tmp";
        HANDLE const file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            state_->file = file;
            state_->temporary = std::move(temporary);
            break;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS || attempt == 100) {
            throwLastError();
        }
    }
}

BookFile::~BookFile() = default;

void BookFile::write(std::string_view pending) {
    while (!pending.empty()) {
        InterruptWatch::check();
        DWORD const wanted =
            pending.size() > INT_MAX ? DWORD{INT_MAX} : static_cast<DWORD>(pending.size());
        DWORD written = 0;
        if (!::WriteFile(state_->file, pending.data(), wanted, &written, nullptr)) {
            throwLastError();
        }
        pending.remove_prefix(written);
    }
}

void BookFile::commit() {
    InterruptWatch::check();
    if (!::FlushFileBuffers(state_->file)) {
        throwLastError();
    }
    HANDLE const file = state_->file;
    state_->file = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(file)) {
        throwLastError();
    }
    DWORD const flags =
        MOVEFILE_WRITE_THROUGH | (state_->replace ? MOVEFILE_REPLACE_EXISTING : DWORD{0});
    // A lookup that has the book open keeps it from being replaced; lookups
    // are short, so they are waited for, up to a second.
    for (int waited = 0;; waited += 20) {
        if (::MoveFileExA(state_->temporary.c_str(), state_->target.c_str(), flags)) {
            break;
        }
        DWORD const failure = ::GetLastError();
        bool const held = failure == ERROR_ACCESS_DENIED || failure == ERROR_SHARING_VIOLATION ||
                          failure == ERROR_LOCK_VIOLATION;
        if (!held || !state_->replace || waited >= 1000) {
            throw SystemError(reasonFor(failure));
        }
        ::Sleep(20);
    }
    state_->committed = true;
}

InterruptWatch::InterruptWatch() {
    interruptArrived = false;
    ::SetConsoleCtrlHandler(noteInterrupt, TRUE);
}

InterruptWatch::~InterruptWatch() {
    ::SetConsoleCtrlHandler(noteInterrupt, FALSE);
    interruptArrived = false;
}

void InterruptWatch::check() {
    if (interruptArrived) {
        throw Interrupted();
    }
}

}  // namespace vesnik::tool::platform
