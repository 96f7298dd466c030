#pragma once

#include <string>

namespace mw {

class RunError;

// The RunError for a failed file operation, from the errno value it left.
RunError FileError(int errnoValue, const std::string& path, const char* action);
[[noreturn]] void ThrowFileError(int errnoValue, const std::string& path, const char* action);

std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
void RemoveFile(const std::string& path);

} // namespace mw
