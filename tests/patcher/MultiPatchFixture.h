#pragma once

#include "GameFilesTest.h"
#include "MultiBytes.h"
#include "Refusals.h"

#include <string>
#include <vector>

namespace mw::test {

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

} // namespace mw::test
