#pragma once

// A folder of game files written by a test, patches into them, and the check that a refused
// patch leaves every file as it was.

#include "MultiBytes.h"
#include "Refusals.h"

#include "patcher/GameFilesLock.h"
#include "patcher/PatchGameFiles.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

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

// Patches that add a multi of these five components, in 12-byte records.
class MultiPatchTest : public GameFilesTest {
protected:
    MultiPatchTest() { targets.RecordSize = RecordSizeChoice::Twelve; } // free entries tell none

    // Item ids 4000, 7FFF, 8000 and FFFF hexadecimal, and a stored negative id written as its
    // unsigned 16-bit value A2AC.
    ComponentBuffer five = BufferWith({{"16384", "0", "0", "0", "1"},
                                       {"32767", "-1", "2", "5", "0"},
                                       {"32768", "4", "-3", "0", "1"},
                                       {"65535", "-32768", "32767", "-128", "1"},
                                       {"-23892", "0", "-3", "0", "0"}});
    std::string fiveRecords = Marker + Record(0x4000, 0, 0, 0, 1) + Record(0x7FFF, -1, 2, 5, 0) +
                              Record(0x8000, 4, -3, 0, 1) + Record(0xFFFF, -32768, 32767, -128, 1) +
                              Record(0xA2AC, 0, -3, 0, 0);

    // Each case puts a path in the place of one game file; the patch is refused as the case says
    // and leaves every file, the library included, as it was.
    struct Refusal {
        std::string* File;
        std::string Path;
        long Number;
        const char* Says;
    };
    void ExpectEachRefused(const std::vector<Refusal>& cases) {
        const std::vector<std::string> before = FileNames(folder.Path());
        const std::string library = ReadFile(targets.LibraryPath);
        for (const Refusal& refusal : cases) {
            const std::string given = *refusal.File;
            *refusal.File = refusal.Path;
            ExpectRefused([&] { Patch(five); }, refusal.Number, {refusal.Path, refusal.Says});
            *refusal.File = given;
            ExpectFiles(idxBytes, mulBytes);
            EXPECT_EQ(ReadFile(targets.MultiUopPath), uopBytes);
            EXPECT_EQ(ReadFile(targets.LibraryPath), library);
            EXPECT_EQ(FileNames(folder.Path()), before);
        }
    }
};

// A second patch of these files, which waits 100 ms for the first: its failure number, 0 when
// it gets the lock.
inline long SecondPatch(const std::vector<std::string>& files) {
    return FailureNumber([&] { GameFilesLock second(files, std::chrono::milliseconds(100)); });
}

} // namespace mw::test
