#include "TestLibrary.h"

#include "formats/ArtFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

// A folder that tells names apart by case can hold two files that both name one art file, and a
// folder of that name beside the file.

namespace mw {
namespace {

TEST(ArtFolder, OfTwoNamesInDifferentCaseTheSameIsTakenEveryTime) {
    test::TempFolder folder;
    for (const char* name : {"Art.mul", "ART.MUL", "artidx.mul", "TileData.Mul"})
        folder.Write(name, "x");
    std::filesystem::create_directory(folder.File("tiledata.mul")); // a folder is no file
    ArtFolderFiles files = FindArtFiles(folder.Path());
    EXPECT_EQ(files.ArtMul, folder.File("ART.MUL"));
    EXPECT_EQ(files.TileData, folder.File("TileData.Mul"));
}

} // namespace
} // namespace mw
