#pragma once

// What the operating system does differently, behind one set of calls: file handles, positioned
// reads and writes, flushing, replacing a file, locks, file identity, paths and the process's
// standard streams. One implementation per system is compiled (PlatformPosix.cpp,
// PlatformWindows.cpp); nothing else of ours asks which system it runs on.
//
// Paths are UTF-8 text everywhere in the program; the Windows implementation turns them into
// UTF-16 at its calls. Calls that can fail return -1 (or false) and leave an errno value in
// errno, so that FileError reports them the same way on every system.

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace mw::platform {

// Separators a path may use on this system ('/' everywhere, also '\\' on Windows).
bool IsSeparator(char c);
// Whether a path starts at a root (/x, C:/x, \\server\x) rather than at the working folder.
bool IsAbsolute(const std::string& path);

enum class Access { Read, ReadWrite, Write };

// Opens an existing file; never creates one. The handle is a small number as close() takes.
int OpenFile(const std::string& path, Access access);
// The same for a file that must be a regular file: a FIFO or a device is opened without waiting
// for its other end, so that the caller can look at it and refuse it.
int OpenRegularFile(const std::string& path, Access access);
// Opens a file, creating it empty when it is missing (our lock files).
int OpenOrCreateFile(const std::string& path);
// A handle that holds a folder, to lock it where no lock file can be made there.
int OpenFolder(const std::string& path);
// Creates a new file of a unique name: `pattern` ends in XXXXXX, which is replaced.
int CreateUniqueFile(std::string& pattern);
int CloseFile(int fd);

// Reads or writes at an offset, leaving the file position alone; the number of bytes done.
long long ReadAt(int fd, void* buffer, std::size_t length, std::uint64_t offset);
long long WriteAt(int fd, const void* bytes, std::size_t length, std::uint64_t offset);
// Writes at the file position (also pipes and devices).
long long WriteSome(int fd, const void* bytes, std::size_t length);
// Makes what was written reach the disk.
int FlushFile(int fd);
int TruncateFile(int fd, std::uint64_t size);

enum class FileKind { Missing, Regular, Directory, SymbolicLink, Other };

struct FileInfo {
    FileKind Kind = FileKind::Missing;
    std::uint64_t Size = 0;
    // Which file it is, whatever name reached it: equal for hard links, never for two files.
    std::uint64_t Device = 0, Identity = 0;
    // Whether the file is marked writable (the owner's write bit, or no read-only attribute).
    bool Writable = true;
    unsigned Mode = 0, Owner = 0, Group = 0; // POSIX only: permission bits, user and group ids
};

// The file a path names (links followed), or a missing one: -1 with errno then.
int StatPath(const std::string& path, FileInfo& info);
// The same, but a symbolic link is described itself.
int StatLink(const std::string& path, FileInfo& info);
int StatOpenFile(int fd, FileInfo& info);
int StatStream(std::FILE* stream, FileInfo& info);
bool SameFile(const FileInfo& a, const FileInfo& b);
// Whether this user may write the file (also where permissions say more than the mode).
bool MayWrite(const std::string& path);
// Gives a new file the mode of the file it replaces (its owner and group where the system lets
// us), or the mode new files get when it replaces none.
int KeepModeOf(int fd, const FileInfo* replaced);

// Puts `from` in the place of `to` at once: readers see the old file or the new one, never
// a part. Both lie in one folder.
int MoveIntoPlace(const std::string& from, const std::string& to);
// Makes a replacement in a folder durable, where the system needs that said.
void SyncFolder(const std::string& folder);
int RemoveFile(const std::string& path);
// A symbolic link's target, as written in it; false for anything else.
bool ReadLink(const std::string& path, std::string& target);
// The path without links, dots or doubled separators; false for a missing file.
bool RealPath(const std::string& path, std::string& resolved);

// Locks a whole file (a lock file of ours) or a folder handle against other processes and other
// handles; false with errno EWOULDBLOCK when someone else holds it. Released by CloseFile, and
// by the system when the process ends.
bool TryLockFile(int fd);
// Locks a game file by what it is, through any link to it, without keeping the game from
// reading or writing any of its bytes nor the file from being replaced by a rename. On Windows
// the number then no longer reads the file: learn what it is before.
bool TryLockIdentity(int fd);

// A stdio stream for a path: reading of text and binary files alike.
std::FILE* OpenStream(const std::string& path, const char* mode);
// std::filesystem's path for one of our paths, and back.
std::filesystem::path FsPath(const std::string& path);
std::string PathText(const std::filesystem::path& path);
// The errno value for a failure std::filesystem reported.
int ErrnoFrom(const std::error_code& failure);

std::string ExecutableFolder();
// A new, empty folder for temporary files of this process, in the system's temporary folder;
// throws RunError when it cannot be made.
std::string MakeTemporaryFolder(const std::string& prefix);
std::tm LocalTime(std::time_t when);

// Write failures (a closed pipe, a file-size limit) reported as errors instead of ending the
// process half done, where the system would end it.
void IgnoreWriteSignals();
// For the command line: the arguments as UTF-8 bytes (argv on POSIX, the wide command line on
// Windows) and standard streams that pass bytes as they are (no line-end translation).
std::vector<std::string> Arguments(int argc, char** argv);
void UseBinaryStandardStreams();
// The name under which standard input opens as a file; empty where it has none (Windows).
std::string StandardInputName();

// The roots a user may pick a folder from: mount points of user file systems, or drive letters.
std::vector<std::string> Drives();

} // namespace mw::platform
