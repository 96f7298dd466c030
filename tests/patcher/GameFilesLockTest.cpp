#include "TestLibrary.h"

#include "common/RunError.h"
#include "patcher/GameFilesLock.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace mw {
namespace {

using namespace std::chrono_literals;

long SecondPatch(const std::vector<std::string>& files) {
    return test::FailureNumber([&] { GameFilesLock second(files, 100ms); });
}

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
        std::filesystem::create_hard_link(file,
                                          linked.File(std::filesystem::path(file).filename()));
    other.Write("multi.idx", "i");
    GameFilesLock holder({idx, mul});
    EXPECT_EQ(SecondPatch({linked.File("multi.idx"), linked.File("multi.mul")}),
              err::GameFilesBusy);
    EXPECT_EQ(SecondPatch({linked.File("multi.mul")}), err::GameFilesBusy);
    EXPECT_EQ(SecondPatch({other.File("multi.idx"), other.File("multi.mul")}), 0);
}

// A patch that waited for the package while its holder replaced it locks the package that took
// its place, which a patch through a hard link to the new one then finds locked.
TEST(GameFilesLock, APackageReplacedDuringTheWaitIsLockedAsItIsNow) {
    test::TempFolder folder, linked;
    const std::string uop = folder.Write("m.uop", "old");
    int holder = ::open(uop.c_str(), O_RDONLY); // the package's lock alone, as a patch holds it
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    std::optional<GameFilesLock> waited;
    std::thread waiting([&] { waited.emplace(std::vector<std::string>{uop}); });
    std::this_thread::sleep_for(200ms); // it now waits for the old package
    std::rename(folder.Write("m.uop.new", "new").c_str(), uop.c_str());
    ::close(holder);
    waiting.join();
    ASSERT_TRUE(waited);
    std::filesystem::create_hard_link(uop, linked.File("m.uop"));
    EXPECT_EQ(SecondPatch({linked.File("m.uop")}), err::GameFilesBusy);
    waited.reset();
    EXPECT_EQ(SecondPatch({linked.File("m.uop")}), 0);
}

} // namespace
} // namespace mw
