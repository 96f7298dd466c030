#include "TestLibrary.h"

#include "common/GameFileBackups.h"

#include <gtest/gtest.h>

// PendingFile, which writes the copies, is checked through its callers: the command line's export
// keeps a replaced file's mode, and the package patches replace or keep the package whole.

namespace mw {
namespace {

TEST(GameFileBackups, EachFileIsCopiedOnceARunNextToItself) {
    test::TempFolder folder;
    std::string mul = folder.Write("multi.mul", "first");
    GameFileBackups backups;
    backups.Now = [] { return std::time_t{1796589665}; };
    std::string copy = backups.BeforeChange(mul); // its name is checked by the reliability test

    // Copies of the files a patch changes are compared in the patch tests, which patch twice.
    folder.Write("multi.mul", "second");

    // Another run in the same second does not overwrite the first run's copy.
    GameFileBackups nextRun;
    nextRun.Now = backups.Now;
    EXPECT_EQ(nextRun.BeforeChange(mul), copy.substr(0, copy.size() - 4) + "-2.bak");
    EXPECT_EQ(test::ReadFile(copy), "first");

    EXPECT_EQ(GameFileBackups(false).BeforeChange(mul), "");
    EXPECT_EQ(test::FileNames(folder.Path()).size(), 3u);
}

} // namespace
} // namespace mw
