#include "app/UserLibrary.h"

#include "common/Files.h"
#include "common/OutputFile.h"
#include "common/Paths.h"
#include "common/Platform.h"
#include "store/CreateLibrary.h"

#include <filesystem>

namespace mw {

bool ProvideUserLibrary(const std::string& folder, const std::string& defaultsFolder) {
    std::error_code error;
    std::filesystem::create_directories(platform::FsPath(folder), error);
    if (error) ThrowFileError(platform::ErrnoFrom(error), folder, "create");
    const std::string components = JoinPath(folder, ComponentsFileName);
    const std::string defaultComponents = JoinPath(defaultsFolder, ComponentsFileName);
    if (!FileExists(components) && FileExists(defaultComponents))
        WriteFileAtomically(components, ReadWholeFile(defaultComponents));
    const std::string library = JoinPath(folder, LibraryFileName);
    return !FileExists(library) &&
           CreateEmptyLibrary(library, ReadWholeFile(JoinPath(defaultsFolder, "schema.sql")));
}

} // namespace mw
