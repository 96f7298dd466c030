#include "DiskFaults.h"
#include "GameFilesTest.h"
#include "MultiBytes.h"
#include "Refusals.h"
#include "formats/SamplePackage.h"

#include "common/RunError.h"

#include <sys/stat.h>
#include <unistd.h>

namespace mw {
namespace {

using test::Entry;
using test::Marker;
using test::Record;

class MultiPatchTest : public test::GameFilesTest {
protected:
    MultiPatchTest() { targets.RecordSize = RecordSizeChoice::Twelve; } // free entries tell none

    // Item ids 4000, 7FFF, 8000 and FFFF hexadecimal, and a stored negative id written as its
    // unsigned 16-bit value A2AC.
    ComponentBuffer five = test::BufferWith({{"16384", "0", "0", "0", "1"},
                                             {"32767", "-1", "2", "5", "0"},
                                             {"32768", "4", "-3", "0", "1"},
                                             {"65535", "-32768", "32767", "-128", "1"},
                                             {"-23892", "0", "-3", "0", "0"}});
    std::string fiveRecords = Marker + Record(0x4000, 0, 0, 0, 1) + Record(0x7FFF, -1, 2, 5, 0) +
                              Record(0x8000, 4, -3, 0, 1) + Record(0xFFFF, -32768, 32767, -128, 1) +
                              Record(0xA2AC, 0, -3, 0, 0);
};

// The worked example first, then the edges of the free entry and of the append record, each
// compared as whole files.
TEST_F(MultiPatchTest, FirstFreeEntryAndRecordsAfterTheLastWholeRecord) {
    std::string used = Entry(0, 24, 0) + Entry(24, 600, 7) + Entry(624, 576, 0);
    std::string after = Entry(-1, -1, 0) + Entry(-1, -1, 0), old = test::OldRecords(100);
    // Lookup -1 with other lengths is in use, and so is a Length of 0 alone (an all-zero entry
    // ends the scan: see the missing files).
    std::string skipped = Entry(-1, 0) + Entry(-1, 24) + Entry(7, 0) + Entry(5, -2);
    // The files, the entry and record the patch takes, and the files after it; the last multi.mul
    // ends in a partial record.
    const std::tuple<std::string, std::string, std::int32_t, std::int32_t, std::string, std::string>
        cases[] = {
            {used + Entry(-1, -1) + after, old, 4, 101, used + Entry(1200, 72, -1) + after,
             old + fiveRecords},
            {skipped + Entry(36, -1, 9) + "12345", "", 5, 1, skipped + Entry(0, 72, -1) + "12345",
             fiveRecords},
            {Entry(-1, -1), old + "abcde", 1, 101, Entry(1200, 72, -1), old + fiveRecords},
        };
    for (const auto& [idx, mul, slot, append, idxAfter, mulAfter] : cases) {
        Files(idx, mul);
        PatchResult place = Patch(five);
        EXPECT_EQ(std::pair(place.PatchSlot, place.MulAppendRecord), std::pair(slot, append));
        ExpectFiles(idxAfter, mulAfter);
    }
}

TEST_F(MultiPatchTest, MissingFilesOrNoFreeEntryAreRefusedAndNothingIsCreated) {
    Files(Entry(0, 24) + Entry(24, 12), test::OldRecords(3));
    Refused(five, err::NoFreeMultiId, "holds 2 entries, none of them free");
    Files(Entry(0, 24) + Entry(0, 0) + Entry(-1, -1), test::OldRecords(3));
    Refused(five, err::MultiFilesNotFound, "entry 2");

    Files(Entry(-1, -1), test::OldRecords(2));
    const std::string idx = targets.MultiIdxPath, mul = targets.MultiMulPath;
    const std::string missing = folder.File("missing");
    const std::tuple<std::string, std::string, long> cases[] = {
        {missing, mul, err::MultiFilesNotFound},
        {folder.File("missing/multi.idx"), mul, err::MultiFilesNotFound},
        {idx, missing, err::FileNotFound},
        {idx, idx, err::BadFileNameOrNumber}}; // both paths naming one file
    for (const auto& [idxPath, mulPath, number] : cases) {
        targets.MultiIdxPath = idxPath, targets.MultiMulPath = mulPath;
        EXPECT_EQ(test::FailureNumber([&] { Patch(five); }), number) << idxPath << " " << mulPath;
    }
    EXPECT_EQ(test::FileNames(folder.Path()), (std::vector<std::string>{"multi.idx", "multi.mul"}));
    targets.MultiIdxPath = idx, targets.MultiMulPath = mul;
    ExpectFiles(idxBytes, mulBytes);
}

// A game file that is not a game file of its own is refused before anything is written: the
// library or a link to it, another game file under another name, a FIFO, a device, and a file
// marked read-only, which root could write but its owner has marked as not to be changed.
TEST_F(MultiPatchTest, GameFilesThatAreMoreOrLessThanGameFilesAreRefused) {
    Files(Entry(-1, -1), test::OldRecords(2));
    Package(test::PackageBytes(test::SampleMultis({1})));
    const std::string library = targets.LibraryPath = folder.Write("Wardstone.dat", "library");
    const std::string link = folder.File("library-link"), fifo = folder.File("fifo");
    ASSERT_EQ(::symlink(library.c_str(), link.c_str()), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    auto readOnly = [&](const std::string& name, const std::string& bytes) {
        std::string path = folder.Write(name, bytes);
        ::chmod(path.c_str(), 0444);
        return path;
    };
    std::string* idx = &targets.MultiIdxPath;
    std::string* mul = &targets.MultiMulPath;
    std::string* uop = &targets.MultiUopPath;
    // The path that stands in for a game file, and what the refusal says.
    const std::tuple<std::string*, std::string, long, const char*> cases[] = {
        {mul, library, err::BadFileNameOrNumber, "multi.mul \""},
        {mul, link, err::BadFileNameOrNumber, "is the library"},
        {uop, link, err::BadFileNameOrNumber, "is the library"},
        {uop, *idx, err::BadFileNameOrNumber, "is the same file as multi.idx"},
        {mul, fifo, err::BadFileNameOrNumber, "is not a regular file"},
        {mul, "/dev/null", err::BadFileNameOrNumber, "is not a regular file"},
        {idx, readOnly("ro.idx", idxBytes), err::PermissionDenied, "is read-only"},
        {mul, readOnly("ro.mul", mulBytes), err::PermissionDenied, "is read-only"},
        {uop, readOnly("ro.uop", uopBytes), err::PermissionDenied, "is read-only"},
    };
    const std::vector<std::string> before = test::FileNames(folder.Path());
    for (const auto& [file, path, number, says] : cases) {
        const std::string given = *file;
        *file = path;
        test::ExpectRefused([&] { Patch(five); }, number, {path, says});
        *file = given;
        ExpectFiles(idxBytes, mulBytes);
        EXPECT_EQ(test::ReadFile(*uop), uopBytes);
        EXPECT_EQ(test::ReadFile(library), "library");
        EXPECT_EQ(test::FileNames(folder.Path()), before);
    }
    EXPECT_EQ(test::ReadFile(folder.File("ro.idx")) + test::ReadFile(folder.File("ro.mul")) +
                  test::ReadFile(folder.File("ro.uop")),
              idxBytes + mulBytes + uopBytes);
}

TEST_F(MultiPatchTest, RefusedTemplatesLeaveBothFilesAsTheyWere) {
    Files(Entry(0, 24) + Entry(-1, -1), test::OldRecords(2) + "xyz");
    Refused(ComponentBuffer(), err::SubscriptOutOfRange); // a stored template without blocks
    const std::tuple<std::array<std::string, 5>, long, const char*> cases[] = {
        {{"65536", "0", "0", "0", "1"}, err::Overflow, "Component 3, item id"},
        {{"-32769", "0", "0", "0", "1"}, err::Overflow, "Component 3, item id"},
        {{"1", "0", "-32769", "0", "1"}, err::Overflow, "Component 3, y"},
        {{"1", "0", "0", "0", ""}, err::TypeMismatch, "Component 3, flag"},
    };
    for (const auto& [component, number, named] : cases) {
        auto buffer =
            test::BufferWith({{"1", "0", "0", "0", "1"}, {"2", "0", "0", "0", "1"}, component});
        EXPECT_EQ(Refused(buffer, number).Description.rfind(named, 0), 0u) << named;
    }
}

// A failure after the records are written and before the entry is written: no entry points at
// them, and multi.mul is put back as it was.
TEST_F(MultiPatchTest, FailureBetweenRecordsAndEntryLeavesNoEntryPointingAtMissingData) {
    Files(Entry(0, 24) + Entry(-1, -1), test::OldRecords(2) + "xyz");
    bool recordsWereWritten = false;
    Refused(five, err::Cancelled, "", [&](std::int64_t done, std::int64_t total) {
        if (done < total) return true;
        recordsWereWritten =
            test::ReadFile(targets.MultiMulPath) == test::OldRecords(2) + fiveRecords;
        EXPECT_EQ(test::ReadFile(targets.MultiIdxPath), idxBytes); // the entry comes last
        return false;
    });
    EXPECT_TRUE(recordsWereWritten);
}

// An entry in use that does not lie inside multi.mul as whole records would take in the records
// appended after it; the patch is refused, naming the entry (the reliability script tries
// entries past the end and cut short). Free entries beyond multi BFFF cannot be used: the item
// id of such a multi would not fit 16 bits. Nor can an entry point at records past 2 GiB.
TEST_F(MultiPatchTest, DamagedIndexesAndEntriesBeyondTheHighestMultiIdAreRefused) {
    Files(Entry(6, 12) + Entry(-1, -1), test::OldRecords(4)); // a record begun half way
    Refused(five, err::BadRecordLength, "entry 1 (multi 0)");
    std::string full;
    for (std::uint32_t id = 0; id <= HighestMultiId; ++id)
        full += Entry(-1, 0);
    Files(full + Entry(-1, -1), "");
    Refused(five, err::NoFreeMultiId);

    // A multi.mul past 2 GiB (sparse: never read back whole), left as it was.
    Files(Entry(-1, -1), "");
    const std::int64_t size = (std::int64_t{1} << 31) + 12;
    ASSERT_EQ(::truncate(targets.MultiMulPath.c_str(), size), 0); // sparse
    EXPECT_EQ(test::FailureNumber([&] { Patch(five); }), err::Overflow);
    EXPECT_EQ(test::ReadFile(targets.MultiIdxPath), idxBytes);
    struct stat info {};
    ::stat(targets.MultiMulPath.c_str(), &info);
    EXPECT_EQ(info.st_size, size);
}

// A failing index write is undone with the records before it, and a failure that cannot be
// undone says so instead of passing for a clean refusal.
TEST_F(MultiPatchTest, AFailingIndexWriteIsUndoneOrReportedAsNotUndone) {
    // Index writes that go through, then fail; the failure the patch gives.
    const std::tuple<int, int, long> cases[] = {
        {0, 1, err::PathFileAccessError},    // the entry is not written
        {1, 1, err::PathFileAccessError},    // written, but not flushed to the disk
        {0, 100, err::GameFilesNotRestored}, // nor can the old entry be written back
    };
    for (const auto& [succeeding, failing, number] : cases) {
        Files(Entry(0, 24) + Entry(-1, -1), test::OldRecords(2) + "xyz");
        test::FailingWrites writes(targets.MultiIdxPath, succeeding, failing);
        Refused(five, number);
    }
}

} // namespace
} // namespace mw
