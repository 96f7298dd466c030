// Where the library lives, as a function of the executable's folder and the data folder, and
// what an installed program's first start makes there.
#include "settings/LibraryLocation.h"
#include "TestLibrary.h"
#include "app/UserLibrary.h"
#include "common/Files.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace mw::test {
namespace {

TEST(LibraryLocation, TheInstallLayoutAloneDecides) {
    InstalledPrefix installed;
    const std::string data = "/home/someone/.local/share/MultiWardstone";
    for (const std::string& bin : {installed.Folder.File("bin"), installed.Folder.File("bin/")}) {
        LibraryLocation location = LocateLibrary(bin, data);
        EXPECT_EQ(location.Folder, data) << bin;
        EXPECT_EQ(location.DefaultsFolder, installed.Defaults()) << bin;
        EXPECT_TRUE(location.Installed());
    }
    // A build folder, a bin folder without the installed schema, the schema beside another folder.
    InstalledPrefix noSchema(false);
    std::filesystem::create_directories(installed.Folder.File("libexec"));
    for (const std::string& folder : {installed.Folder.File("share"), noSchema.Folder.File("bin"),
                                      installed.Folder.File("libexec")}) {
        LibraryLocation location = LocateLibrary(folder, data);
        EXPECT_EQ(location.Folder, folder);
        EXPECT_FALSE(location.Installed()) << folder;
    }
}

// The first start makes the folder, the library and components.txt (that the library is one to
// use: CliLocation); later ones make nothing and keep what the user changed, and a folder that
// cannot be made is refused.
TEST(LibraryLocation, TheFirstStartMakesWhatIsMissingAndNothingElse) {
    InstalledPrefix installed;
    TempFolder home;
    const std::string folder = home.File(".local/share/MultiWardstone");
    EXPECT_TRUE(ProvideUserLibrary(folder, installed.Defaults()));
    EXPECT_EQ(ReadFile(folder + "/components.txt"), "ID Name\r\n0675 door\r\n");

    const std::string library = ReadFile(folder + "/Wardstone.dat");
    home.Write(".local/share/MultiWardstone/components.txt", "ID Name\r\n0676 my door\r\n");
    EXPECT_FALSE(ProvideUserLibrary(folder, installed.Defaults()));
    EXPECT_EQ(ReadFile(folder + "/Wardstone.dat"), library);
    EXPECT_EQ(ReadFile(folder + "/components.txt"), "ID Name\r\n0676 my door\r\n");

    home.Write("file", "");
    EXPECT_NE(
        FailureNumber([&] { ProvideUserLibrary(home.File("file/in"), installed.Defaults()); }), 0);
}

} // namespace
} // namespace mw::test
