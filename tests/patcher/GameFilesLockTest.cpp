#include "TestLibrary.h"

#include "common/RunError.h"
#include "patcher/GameFilesLock.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>

namespace mw {
namespace {

using namespace std::chrono_literals;

// A second patch of files in the same folder waits for the first, then gives up; the lock holds
// while the package is replaced by a rename, and a lock file left behind by a process that
// ended locks nothing.
TEST(GameFilesLock, OnePatchOfAFolderAtATime) {
    test::TempFolder folder;
    const std::string mul = folder.Write("multi.mul", ""), uop = folder.Write("m.uop", "old");
    auto secondPatch = [&] { GameFilesLock second({folder.File("multi.idx")}, 100ms); };
    {
        GameFilesLock first({mul, uop});
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(test::FailureNumber(secondPatch), err::GameFilesBusy);
        EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
        std::rename(folder.Write("m.uop.new", "new").c_str(), uop.c_str());
        EXPECT_EQ(test::FailureNumber(secondPatch), err::GameFilesBusy);
    }
    EXPECT_EQ(test::FailureNumber(secondPatch), 0);
    EXPECT_EQ(test::FailureNumber([&] { GameFilesLock none({folder.File("missing/multi.idx")}); }),
              0); // a missing folder is left to the patch to report
}

} // namespace
} // namespace mw
