#include "common/Platform.h"

#include "common/Files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <limits>
#include <map>
#include <mutex>
#include <random>

#include <windows.h>

#include <shellapi.h>

namespace mw::platform {

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                  0, nullptr, nullptr);
    std::string text(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                          nullptr, nullptr);
    return text;
}

std::string ForwardSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

int ErrnoFor(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_CURRENT_DIRECTORY:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
        return EBUSY;
    case ERROR_LOCK_VIOLATION:
        return EWOULDBLOCK;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
        return EPIPE;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    default:
        return EIO;
    }
}

// Every failing call ends here: errno says what went wrong, as on POSIX.
int Failed(DWORD error = ::GetLastError()) {
    errno = ErrnoFor(error);
    return -1;
}

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle of ours becomes a small number, as the rest of the program expects.
int Adopt(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE) return Failed();
    int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

HANDLE Open(const std::string& path, DWORD access, DWORD disposition, DWORD flags = 0) {
    return ::CreateFileW(Wide(path).c_str(), access, ShareAll, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL | flags, nullptr);
}

bool IsFolderPath(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

// One call moves at most this much, so that the count fits a DWORD.
constexpr std::size_t LargestTransfer = 1u << 30;

long long Transferred(BOOL done, DWORD count) {
    if (done) return count;
    DWORD error = ::GetLastError();
    if (error == ERROR_HANDLE_EOF) return 0;
    return Failed(error);
}

int Describe(HANDLE handle, bool linksToo, FileInfo& info) {
    info = FileInfo{};
    DWORD type = ::GetFileType(handle);
    if (type != FILE_TYPE_DISK) {
        info.Kind = FileKind::Other;
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION about{};
    if (!::GetFileInformationByHandle(handle, &about)) return Failed();
    const DWORD attributes = about.dwFileAttributes;
    info.Kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Directory : FileKind::Regular;
    if (linksToo && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) &&
            tag.ReparseTag == IO_REPARSE_TAG_SYMLINK)
            info.Kind = FileKind::SymbolicLink;
    }
    info.Size = (static_cast<std::uint64_t>(about.nFileSizeHigh) << 32) | about.nFileSizeLow;
    info.Device = about.dwVolumeSerialNumber;
    info.Identity = (static_cast<std::uint64_t>(about.nFileIndexHigh) << 32) | about.nFileIndexLow;
    info.Writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
    info.Mode = info.Writable ? 0666 : 0444;
    return 0;
}

int StatWith(const std::string& path, DWORD flags, FileInfo& info) {
    HANDLE handle =
        Open(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags);
    if (handle == INVALID_HANDLE_VALUE) {
        info = FileInfo{};
        return Failed();
    }
    int result = Describe(handle, (flags & FILE_FLAG_OPEN_REPARSE_POINT) != 0, info);
    ::CloseHandle(handle);
    return result;
}

std::string RandomName(size_t length) {
    static constexpr char letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static thread_local std::mt19937 pick{std::random_device{}()};
    std::uniform_int_distribution<size_t> index(0, sizeof letters - 2);
    std::string name(length, 'x');
    for (char& c : name)
        c = letters[index(pick)];
    return name;
}

bool Lock(int fd, std::uint64_t offset, DWORD length) {
    OVERLAPPED at = At(offset);
    if (::LockFileEx(HandleOf(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, length,
                     0, &at))
        return true;
    Failed();
    return false;
}

// Windows cannot replace a file that any handle holds open, and a package is replaced by a
// rename: so a game file is locked by a semaphore named after its volume and file index, which
// every link to the file shares, and its handle is let go. The semaphore ends with the last
// handle to it, which a process that ends closes.
std::mutex identityLocksGuard;
std::map<int, HANDLE> identityLocks;

void ReleaseIdentityLock(int fd) {
    std::lock_guard guard(identityLocksGuard);
    auto held = identityLocks.find(fd);
    if (held == identityLocks.end()) return;
    ::ReleaseSemaphore(held->second, 1, nullptr);
    ::CloseHandle(held->second);
    identityLocks.erase(held);
}

void IgnoreInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned, uintptr_t) {}

} // namespace

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

bool IsAbsolute(const std::string& path) {
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return true;
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
           path[1] == ':' && IsSeparator(path[2]);
}

int OpenFile(const std::string& path, Access access) {
    DWORD rights = access == Access::Read    ? GENERIC_READ
                   : access == Access::Write ? GENERIC_WRITE
                                             : GENERIC_READ | GENERIC_WRITE;
    HANDLE handle = Open(path, rights, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED &&
        IsFolderPath(path)) {
        errno = EISDIR;
        return -1;
    }
    return Adopt(handle);
}

int OpenRegularFile(const std::string& path, Access access) {
    return OpenFile(path, access); // opening a device or a pipe never waits here
}

int OpenOrCreateFile(const std::string& path) {
    return Adopt(Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS));
}

int OpenFolder(const std::string& path) {
    return Adopt(Open(path, GENERIC_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
}

int CreateUniqueFile(std::string& pattern) {
    const std::string stem = pattern.substr(0, pattern.size() - 6);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = stem + RandomName(6);
        HANDLE handle = Open(candidate, GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
        if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS) continue;
        pattern = candidate;
        return Adopt(handle);
    }
    errno = EEXIST;
    return -1;
}

int CloseFile(int fd) {
    ReleaseIdentityLock(fd);
    return ::_close(fd);
}

long long ReadAt(int fd, void* buffer, std::size_t length, std::uint64_t offset) {
    OVERLAPPED at = At(offset);
    DWORD count = 0;
    BOOL done = ::ReadFile(HandleOf(fd), buffer,
                           static_cast<DWORD>(std::min(length, LargestTransfer)), &count, &at);
    return Transferred(done, count);
}

long long WriteAt(int fd, const void* bytes, std::size_t length, std::uint64_t offset) {
    OVERLAPPED at = At(offset);
    DWORD count = 0;
    BOOL done = ::WriteFile(HandleOf(fd), bytes,
                            static_cast<DWORD>(std::min(length, LargestTransfer)), &count, &at);
    return Transferred(done, count);
}

long long WriteSome(int fd, const void* bytes, std::size_t length) {
    DWORD count = 0;
    BOOL done = ::WriteFile(HandleOf(fd), bytes,
                            static_cast<DWORD>(std::min(length, LargestTransfer)), &count, nullptr);
    return Transferred(done, count);
}

int FlushFile(int fd) {
    return ::FlushFileBuffers(HandleOf(fd)) ? 0 : Failed();
}

int TruncateFile(int fd, std::uint64_t size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    return ::SetFileInformationByHandle(HandleOf(fd), FileEndOfFileInfo, &end, sizeof end)
               ? 0
               : Failed();
}

int StatPath(const std::string& path, FileInfo& info) {
    return StatWith(path, 0, info);
}

int StatLink(const std::string& path, FileInfo& info) {
    return StatWith(path, FILE_FLAG_OPEN_REPARSE_POINT, info);
}

int StatOpenFile(int fd, FileInfo& info) {
    return Describe(HandleOf(fd), false, info);
}

int StatStream(std::FILE* stream, FileInfo& info) {
    return StatOpenFile(::_fileno(stream), info);
}

bool SameFile(const FileInfo& a, const FileInfo& b) {
    return a.Kind != FileKind::Missing && b.Kind != FileKind::Missing &&
           a.Kind != FileKind::Other && a.Device == b.Device && a.Identity == b.Identity;
}

bool MayWrite(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

int KeepModeOf(int, const FileInfo*) {
    return 0; // a new file is writable, as every file we replace is
}

int MoveIntoPlace(const std::string& from, const std::string& to) {
    return ::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : Failed();
}

void SyncFolder(const std::string&) {} // MOVEFILE_WRITE_THROUGH made the replacement durable

int RemoveFile(const std::string& path) {
    return ::DeleteFileW(Wide(path).c_str()) ? 0 : Failed();
}

bool ReadLink(const std::string& path, std::string& target) {
    // The end of the whole chain: Windows resolves it at once, and our callers follow links to
    // their end anyway.
    return RealPath(path, target);
}

bool RealPath(const std::string& path, std::string& resolved) {
    HANDLE handle = Open(path, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    if (handle == INVALID_HANDLE_VALUE) return Failed(), false;
    std::wstring buffer(32768, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                          FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    DWORD error = ::GetLastError();
    ::CloseHandle(handle);
    if (n == 0 || n >= buffer.size()) return Failed(error), false;
    buffer.resize(n);
    if (buffer.rfind(L"\\\\?\\UNC\\", 0) == 0)
        buffer = L"\\\\" + buffer.substr(8);
    else if (buffer.rfind(L"\\\\?\\", 0) == 0)
        buffer = buffer.substr(4);
    resolved = ForwardSlashes(Utf8(buffer));
    return true;
}

bool TryLockFile(int fd) {
    return Lock(fd, 0, MAXDWORD);
}

bool TryLockIdentity(int fd) {
    BY_HANDLE_FILE_INFORMATION about{};
    if (!::GetFileInformationByHandle(HandleOf(fd), &about)) return Failed(), false;
    wchar_t name[64];
    std::swprintf(name, std::size(name), L"Local\\MultiWardstone-%08lx-%08lx%08lx",
                  about.dwVolumeSerialNumber, about.nFileIndexHigh, about.nFileIndexLow);
    HANDLE token = ::CreateSemaphoreW(nullptr, 1, 1, name);
    if (token == nullptr) return Failed(), false;
    if (::WaitForSingleObject(token, 0) != WAIT_OBJECT_0) {
        ::CloseHandle(token); // kept by no waiter, it ends with its holder
        errno = EWOULDBLOCK;
        return false;
    }
    // The number now stands for the lock alone: the file itself is let go.
    int nothing = ::_wopen(L"NUL", _O_RDONLY | _O_BINARY);
    const bool swapped = nothing >= 0 && ::_dup2(nothing, fd) == 0;
    if (nothing >= 0) ::_close(nothing);
    if (!swapped) {
        ::ReleaseSemaphore(token, 1, nullptr);
        ::CloseHandle(token);
        return Failed(), false;
    }
    std::lock_guard guard(identityLocksGuard);
    identityLocks[fd] = token;
    return true;
}

std::FILE* OpenStream(const std::string& path, const char* mode) {
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return ::_wfopen(Wide(path).c_str(), wideMode.c_str());
}

std::filesystem::path FsPath(const std::string& path) {
    return std::filesystem::path(Wide(path));
}

std::string PathText(const std::filesystem::path& path) {
    return Utf8(path.generic_wstring());
}

int ErrnoFrom(const std::error_code& failure) {
    if (failure.category() == std::system_category())
        return ErrnoFor(static_cast<DWORD>(failure.value()));
    return failure.value(); // the generic category holds errno values already
}

std::string ExecutableFolder() {
    std::wstring buffer(32768, L'\0');
    DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size()) return ".";
    buffer.resize(n);
    std::string path = ForwardSlashes(Utf8(buffer));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string MakeTemporaryFolder(const std::string& prefix) {
    std::wstring buffer(MAX_PATH + 1, L'\0');
    DWORD n = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    buffer.resize(n);
    std::string root = ForwardSlashes(Utf8(buffer));
    if (!root.empty() && root.back() == '/') root.pop_back();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string folder = root + "/" + prefix + RandomName(6);
        if (::CreateDirectoryW(Wide(folder).c_str(), nullptr)) return folder;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            Failed();
            ThrowFileError(errno, folder, "create");
        }
    }
    ThrowFileError(EEXIST, root + "/" + prefix + "XXXXXX", "create");
}

std::tm LocalTime(std::time_t when) {
    std::tm local{};
    ::localtime_s(&local, &when);
    return local;
}

void IgnoreWriteSignals() {
    // No signals here; a write to a closed stream must fail with errno, not end the process.
    ::_set_invalid_parameter_handler(IgnoreInvalidParameter);
}

std::vector<std::string> Arguments(int, char**) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Utf8(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void UseBinaryStandardStreams() {
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    ::SetConsoleOutputCP(CP_UTF8); // our texts are UTF-8
}

std::string StandardInputName() {
    return {};
}

std::vector<std::string> Drives() {
    std::vector<std::string> drives;
    DWORD mask = ::GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if ((mask & (1u << letter)) == 0) continue;
        std::string root = std::string(1, static_cast<char>('A' + letter)) + ":/";
        if (::GetDriveTypeW(Wide(root).c_str()) != DRIVE_NO_ROOT_DIR) drives.push_back(root);
    }
    return drives;
}

} // namespace mw::platform
