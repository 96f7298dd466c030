#include "settings/PathChecks.h"

#include "common/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>

namespace mw {

namespace fs = std::filesystem;

namespace {

bool IsNormalFile(const fs::path& path, const fs::file_status& status) {
    std::string name = platform::PathText(path.filename());
    return fs::is_regular_file(status) && !name.empty() && name[0] != '.';
}

bool FolderHoldsNormalFile(const std::string& folder) {
    std::error_code failure;
    fs::directory_iterator entries(platform::FsPath(folder), failure);
    for (; !failure && entries != fs::directory_iterator(); entries.increment(failure)) {
        std::error_code ignored; // a broken link is no file
        if (IsNormalFile(entries->path(), entries->status(ignored))) return true;
    }
    return false;
}

// The name after the last separator taken as a file pattern ("*.exe", "sphere?.exe") in the
// folder before it; QDir's file filter leaves out folders, hidden files and broken links.
bool PatternMatchesNormalFile(const std::string& text) {
    const QFileInfo named(QString::fromStdString(text));
    const QString pattern = named.fileName();
    if (!pattern.contains('*') && !pattern.contains('?') && !pattern.contains('[')) return false;
    return !named.dir().entryList({pattern}, QDir::Files).isEmpty();
}

} // namespace

bool FindsNormalFile(const std::string& text) {
    if (text.empty()) return false;
    if (platform::IsSeparator(text.back())) return FolderHoldsNormalFile(text);
    std::error_code ignored;
    const fs::path path = platform::FsPath(text);
    return IsNormalFile(path, fs::status(path, ignored)) || PatternMatchesNormalFile(text);
}

bool NamesFolder(const std::string& text) {
    std::error_code ignored;
    return !text.empty() && fs::is_directory(platform::FsPath(text), ignored);
}

} // namespace mw
