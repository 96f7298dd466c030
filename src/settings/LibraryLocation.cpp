#include "settings/LibraryLocation.h"

#include "common/Paths.h"
#include "common/Platform.h"

#include <QStandardPaths>
#include <filesystem>

namespace mw {

LibraryLocation LocateLibrary(const std::string& executableFolder, const std::string& dataFolder) {
    std::filesystem::path bin = platform::FsPath(executableFolder);
    while (bin.has_relative_path() && bin.filename().empty())
        bin = bin.parent_path(); // "/usr/bin/" is "/usr/bin"
    const std::filesystem::path defaults = bin.parent_path() / "share" / "multiwardstone";
    std::error_code ignored;
    if (bin.filename() == "bin" &&
        std::filesystem::is_regular_file(defaults / InstalledSchemaName, ignored))
        return {dataFolder, platform::PathText(defaults)};
    return {executableFolder, {}};
}

std::string UserDataFolder() {
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (data + "/MultiWardstone").toStdString(); // our paths are UTF-8 everywhere
}

LibraryLocation LocateLibrary() {
    return LocateLibrary(ExecutableFolder(), UserDataFolder());
}

} // namespace mw
