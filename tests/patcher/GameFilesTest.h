#pragma once

// A folder of game files written by a test, patches into them, and the check that a refused
// patch leaves every file as it was.

#include "TestLibrary.h"

#include "patcher/PatchGameFiles.h"

#include <gtest/gtest.h>

namespace mw::test {

class GameFilesTest : public ::testing::Test {
protected:
    void Files(const std::string& idx, const std::string& mul) {
        idxBytes = idx, mulBytes = mul;
        targets.MultiIdxPath = folder.Write("multi.idx", idx);
        targets.MultiMulPath = folder.Write("multi.mul", mul);
    }
    void Package(const std::string& bytes) {
        uopBytes = bytes;
        targets.MultiUopPath = folder.Write("m.uop", bytes);
    }
    PatchResult Patch(const ComponentBuffer& buffer, const Progress& progress = {}) {
        return PatchGameFiles(buffer, targets, progress);
    }
    void ExpectFiles(const std::string& idx, const std::string& mul) {
        EXPECT_EQ(ReadFile(targets.MultiIdxPath), idx);
        EXPECT_EQ(ReadFile(targets.MultiMulPath), mul);
    }
    // The patch fails with the number given, saying `says`; every file as it was and no file
    // left behind.
    RunError Refused(const ComponentBuffer& buffer, long number, const std::string& says = "",
                     const Progress& progress = {}) {
        std::vector<std::string> before = FileNames(folder.Path());
        RunError failure = FailureOf([&] { Patch(buffer, progress); }).value_or(RunError(0, ""));
        EXPECT_EQ(failure.Number, number) << failure.Description;
        EXPECT_NE(failure.Description.find(says), std::string::npos) << failure.Description;
        if (targets.HasMulFiles()) ExpectFiles(idxBytes, mulBytes);
        if (targets.HasPackage()) {
            EXPECT_EQ(ReadFile(targets.MultiUopPath), uopBytes);
        }
        EXPECT_EQ(FileNames(folder.Path()), before);
        return failure;
    }

    TempFolder folder;
    PatchTargets targets;
    std::string idxBytes, mulBytes, uopBytes;
};

} // namespace mw::test
