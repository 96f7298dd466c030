#include "TestLibrary.h"

#include "common/RunError.h"
#include "patcher/GameFilesLock.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>

namespace mw {
namespace {

using namespace std::chrono_literals;

// A second patch of files in the same folder is refused while the first runs (the reliability
// script shows the wait and the giving up); the lock holds while the package is replaced by a
// rename, and a lock file left behind by a process that ended locks nothing.
TEST(GameFilesLock, OnePatchOfAFolderAtATime) {
    test::TempFolder folder;
    const std::string mul = folder.Write("multi.mul", ""), uop = folder.Write("m.uop", "old");
    auto secondPatch = [&] { GameFilesLock second({folder.File("multi.idx")}, 100ms); };
    {
        GameFilesLock first({mul, uop});
        EXPECT_EQ(test::FailureNumber(secondPatch), err::GameFilesBusy);
        std::rename(folder.Write("m.uop.new", "new").c_str(), uop.c_str());
        EXPECT_EQ(test::FailureNumber(secondPatch), err::GameFilesBusy);
    }
    EXPECT_EQ(test::FailureNumber(secondPatch), 0);
}

} // namespace
} // namespace mw
