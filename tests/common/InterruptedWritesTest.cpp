#include "DiskFaults.h"
#include "TestLibrary.h"

#include "common/GameFileBackups.h"
#include "common/OutputFile.h"
#include "common/RunError.h"

#include <algorithm>
#include <gtest/gtest.h>

// Writes that stop half way (a disk that fills up during the write) and what the writes of a
// killed process leave behind.

namespace mw {
namespace {

using Fault = test::FailingWrites::Fault;

// An export and a backup copy that fail after half their bytes leave no part of a file: the old
// file is whole, no copy or temporary file is left, and the next try goes through.
TEST(InterruptedWrites, HalfWrittenFilesAreNeverLeft) {
    test::TempFolder folder;
    const std::string out = folder.Write("house.KivT", "old"), mul = folder.Write("multi.mul", "m");
    const std::string contents(100000, 'x');
    {
        test::FailingWrites failing(out, 0, 1, Fault::HalfWay);
        EXPECT_THROW(WriteFileAtomically(out, contents), RunError);
    }
    EXPECT_EQ(test::ReadFile(out), "old");
    GameFileBackups backups;
    {
        test::FailingWrites failing(mul, 0, 1, Fault::HalfWay);
        EXPECT_THROW(backups.BeforeChange(mul), RunError);
    }
    EXPECT_EQ(test::FileNames(folder.Path()),
              (std::vector<std::string>{"house.KivT", "multi.mul"}));
    WriteFileAtomically(out, contents);
    EXPECT_EQ(test::ReadFile(backups.BeforeChange(mul)), "m");
    EXPECT_EQ(test::ReadFile(out), contents);
}

// Beside the game files, only the temporary files of our own naming are taken away: today's and
// those of earlier versions, never a user's copy or a finished backup.
TEST(InterruptedWrites, OnlyOurLeftoversBesideTheGameFilesAreRemoved) {
    test::TempFolder folder;
    const std::string mul = folder.Write("multi.mul", "m"),
                      uop = folder.Write("MultiCollection.uop", "u");
    const std::vector<std::string> ours = {
        "multi.mul.multiwardstone-Ab12Cd", // a rewrite, today's name
        "MultiCollection.uop.x7Yz9Q",      // a rewrite, an earlier version's name
        "multi.mul.2026-12-06T20-41-05.bak.multiwardstone-Q1w2E3", // a backup copy
        "multi.mul.2026-12-06T20-41-05-2.bak.Ab3dEf", // a backup copy, an earlier version's
    };
    const std::vector<std::string> theirs = {
        "multi.mul.backup", "multi.mul.2026-12-06T20-41-05.bak", "MultiCollection.uop.123456",
        "notes.txt.multiwardstone-Ab12Cd", "multi.mul.multiwardstone-Ab12Cd.txt"};
    for (const auto& name : ours)
        folder.Write(name, "left");
    for (const auto& name : theirs)
        folder.Write(name, "mine");
    std::vector<std::string> removed = RemoveInterruptedCopies({mul, "", uop});
    std::vector<std::string> expected;
    for (const auto& name : ours)
        expected.push_back(folder.File(name));
    std::ranges::sort(removed);
    std::ranges::sort(expected);
    EXPECT_EQ(removed, expected);
    std::vector<std::string> left = theirs;
    left.insert(left.end(), {"MultiCollection.uop", "multi.mul"});
    std::ranges::sort(left);
    EXPECT_EQ(test::FileNames(folder.Path()), left);
}

} // namespace
} // namespace mw
