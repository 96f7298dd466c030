#pragma once

#include <string>

namespace mw {

// Where the library, components.txt and the temporary files of the imports live. A program run
// from a folder of its own (the build folder, an unpacked copy) keeps them beside itself; an
// installed one (<prefix>/bin beside <prefix>/share/multiwardstone/schema.sql) keeps them in the
// user's data folder, where the installed schema and components.txt start a new library.
struct LibraryLocation {
    std::string Folder;
    std::string DefaultsFolder; // <prefix>/share/multiwardstone when installed, else empty

    bool Installed() const { return !DefaultsFolder.empty(); }
};

// Decided by the install layout alone, never by write access: root may write anywhere.
LibraryLocation LocateLibrary(const std::string& executableFolder, const std::string& dataFolder);

// Qt's generic data location and MultiWardstone: ~/.local/share/MultiWardstone.
std::string UserDataFolder();

// The location of the running program.
LibraryLocation LocateLibrary();

constexpr const char* InstalledSchemaName = "schema.sql";

} // namespace mw
