#include "GameFilesTest.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace mw {
namespace {

using test::SecondPatch;

// A second patch of files in the same folder is refused while the first runs (the reliability
// script shows the wait and the giving up); the lock holds while the package is replaced by a
// rename, and a lock file left behind by a process that ended locks nothing.
TEST(GameFilesLock, OnePatchOfAFolderAtATime) {
    test::TempFolder folder;
    const std::string mul = folder.Write("multi.mul", ""), uop = folder.Write("m.uop", "old");
    {
        GameFilesLock first({mul, uop});
        EXPECT_EQ(SecondPatch({folder.File("multi.idx")}), err::GameFilesBusy);
        std::rename(folder.Write("m.uop.new", "new").c_str(), uop.c_str());
        EXPECT_EQ(SecondPatch({folder.File("multi.idx")}), err::GameFilesBusy);
    }
    EXPECT_EQ(SecondPatch({folder.File("multi.idx")}), 0);
}

// The files themselves are locked, whatever folder names them: a folder of hard links to the
// same files waits, one with files of its own does not.
TEST(GameFilesLock, TheSameFilesThroughAnotherFolderWaitAndOtherFilesDoNot) {
    test::TempFolder first, linked, other;
    const std::string idx = first.Write("multi.idx", "i"), mul = first.Write("multi.mul", "m");
    for (const std::string& file : {idx, mul})
        std::filesystem::create_hard_link(
            file, linked.File(std::filesystem::path(file).filename().string()));
    other.Write("multi.idx", "i");
    GameFilesLock holder({idx, mul});
    EXPECT_EQ(SecondPatch({linked.File("multi.idx"), linked.File("multi.mul")}),
              err::GameFilesBusy);
    EXPECT_EQ(SecondPatch({linked.File("multi.mul")}), err::GameFilesBusy);
    EXPECT_EQ(SecondPatch({other.File("multi.idx"), other.File("multi.mul")}), 0);
}

} // namespace
} // namespace mw
