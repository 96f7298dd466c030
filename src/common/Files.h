#pragma once

#include <string>

namespace mw {

class RunError;

// The RunError for a failed file operation, from the errno value it left.
RunError FileError(int errnoValue, const std::string& path, const char* action);
[[noreturn]] void ThrowFileError(int errnoValue, const std::string& path, const char* action);

// A file without its owner's write permission, which is left alone by every user, root too.
RunError ReadOnlyError(const std::string& path);
// Whether two paths name one file, under any names (links, hard links); false when either names
// none.
bool IsSameFile(const std::string& first, const std::string& second);

std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
void RemoveFile(const std::string& path);

} // namespace mw
