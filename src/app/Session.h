#pragma once

#include "common/GameFileBackups.h"
#include "common/Paths.h"
#include "formats/ComponentBuffer.h"
#include "formats/ComponentsList.h"
#include "formats/RecordSize.h"
#include "patcher/PatchGameFiles.h"
#include "store/Connection.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mw {

// The state the whole program shares: the library connection, the component buffer that every
// import, patch and script passes through, the components list, the paths of the settings and
// what the last patch left for the scripts. The program makes one; every test makes its own.
struct Session {
    explicit Session(std::string appFolder)
        : AppFolder(std::move(appFolder)), cnTemplates(JoinPath(AppFolder, LibraryFileName)) {}
    // A library elsewhere than in the folder, as the command-line tool may name one.
    Session(std::string appFolder, const std::string& databasePath, std::string defaultsFolder = {})
        : AppFolder(std::move(appFolder)), DefaultsFolder(std::move(defaultsFolder)),
          cnTemplates(databasePath) {}

    std::string DatabasePath() const { return cnTemplates.DatabasePath(); }
    std::string ComponentsPath() const { return JoinPath(AppFolder, ComponentsFileName); }
    // The files that no export or extraction may replace.
    std::vector<std::string> ProtectedFiles() const {
        return {DatabasePath(), MultiIdxPath, MultiMulPath, MultiUopPath};
    }
    // The game files a patch writes into, as the settings name them, none of which may be the
    // library.
    PatchTargets Targets() {
        return {MultiIdxPath, MultiMulPath, MultiUopPath, RecordSize, &Backups, {}, DatabasePath()};
    }

    // Where the library, components.txt and the temporary files of the imports live: beside the
    // program, or the user's data folder when it is installed (settings/LibraryLocation).
    std::string AppFolder;
    // The installed schema and components.txt that start a library missing from AppFolder;
    // empty where nothing may be made (beside the program, or a library named on the command
    // line).
    std::string DefaultsFolder;
    Connection cnTemplates;
    ComponentBuffer Buffer;
    ComponentsList Components;
    std::string MultiIdxPath, MultiMulPath, SphereFolderPath;
    std::string MultiUopPath;  // MultiCollection.uop, for clients that read their multis there
    std::string ArtFolderPath; // where the preview reads art; empty: beside the multi files
    RecordSizeChoice RecordSize = RecordSizeChoice::Auto;
    GameFileBackups Backups;    // its Enabled is the setting "Back up game files before patching"
    bool PatchExisting = false; // Patch Muls replaces a multi the user names ("Patch Existing")
    std::int32_t PatchSlot = 0;
};

} // namespace mw
