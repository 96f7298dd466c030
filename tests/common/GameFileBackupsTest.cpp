#include "TestLibrary.h"

#include "common/GameFileBackups.h"
#include "common/PendingFile.h"
#include "common/RunError.h"

#include <gtest/gtest.h>

#include <regex>
#include <sys/stat.h>

namespace mw {
namespace {

// That a dropped one leaves the file as it was is checked by every refused package patch.
TEST(PendingFile, TakesThePlaceOfTheFileWithItsPermissionsWhenCommitted) {
    test::TempFolder folder;
    std::string path = folder.Write("m.uop", "old");
    ::chmod(path.c_str(), 0640);
    PendingFile kept(path);
    kept.Write("new");
    EXPECT_EQ(test::ReadFile(path), "old");
    kept.Commit();
    EXPECT_EQ(test::ReadFile(path), "new");
    EXPECT_EQ(test::FileNames(folder.Path()), (std::vector<std::string>{"m.uop"}));
    struct stat info {};
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(GameFileBackups, EachFileIsCopiedOnceARunNextToItself) {
    test::TempFolder folder;
    std::string mul = folder.Write("multi.mul", "first");
    GameFileBackups backups;
    backups.Now = [] { return std::time_t{1796589665}; };
    std::string copy = backups.BeforeChange(mul);
    EXPECT_TRUE(std::regex_match(
        copy, std::regex(".*/multi\\.mul\\.\\d{4}-\\d\\d-\\d\\dT\\d\\d-\\d\\d-\\d\\d\\.bak")))
        << copy;

    // Copies of the files a patch changes are compared in the patch tests.
    folder.Write("multi.mul", "second");
    EXPECT_EQ(backups.BeforeChange(folder.Path() + "/./multi.mul"), ""); // the same file

    // Another run in the same second does not overwrite the first run's copy.
    GameFileBackups nextRun;
    nextRun.Now = backups.Now;
    EXPECT_EQ(nextRun.BeforeChange(mul), copy.substr(0, copy.size() - 4) + "-2.bak");
    EXPECT_EQ(test::ReadFile(copy), "first");

    EXPECT_EQ(GameFileBackups(false).BeforeChange(mul), "");
    EXPECT_EQ(test::FileNames(folder.Path()).size(), 3u);
    EXPECT_THROW(nextRun.BeforeChange(folder.File("missing.mul")), RunError);
}

} // namespace
} // namespace mw
