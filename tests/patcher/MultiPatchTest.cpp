#include "GameFilesTest.h"
#include "formats/SamplePackage.h"

#include "common/RunError.h"
#include "formats/ComponentsList.h"
#include "patcher/PatchTemplate.h"
#include "store/SaveNewTemplate.h"
#include "store/TemplateBlocks.h"

#include <filesystem>

namespace mw {
namespace {

using test::Entry;
using test::Marker;
using test::Record;

using test::MultiPatchTest;

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
// library, another game file under another name, and a file marked read-only, which root could
// write but its owner has marked as not to be changed.
TEST_F(MultiPatchTest, GameFilesThatAreTheLibraryAnotherGameFileOrReadOnlyAreRefused) {
    Files(Entry(-1, -1), test::OldRecords(2));
    Package(test::PackageBytes(test::SampleMultis({1})));
    const std::string library = targets.LibraryPath = folder.Write("Wardstone.dat", "library");
    auto readOnly = [&](const std::string& name, const std::string& bytes) {
        std::string path = folder.Write(name, bytes);
        std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
        return path;
    };
    std::string* idx = &targets.MultiIdxPath;
    std::string* mul = &targets.MultiMulPath;
    std::string* uop = &targets.MultiUopPath;
    ExpectEachRefused({
        {mul, library, err::BadFileNameOrNumber, "multi.mul \""},
        {uop, *idx, err::BadFileNameOrNumber, "is the same file as multi.idx"},
        {idx, readOnly("ro.idx", idxBytes), err::PermissionDenied, "is read-only"},
        {mul, readOnly("ro.mul", mulBytes), err::PermissionDenied, "is read-only"},
        {uop, readOnly("ro.uop", uopBytes), err::PermissionDenied, "is read-only"},
    });
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
    std::filesystem::resize_file(targets.MultiMulPath, size); // sparse
    EXPECT_EQ(test::FailureNumber([&] { Patch(five); }), err::Overflow);
    EXPECT_EQ(test::ReadFile(targets.MultiIdxPath), idxBytes);
    EXPECT_EQ(std::filesystem::file_size(targets.MultiMulPath), static_cast<std::uintmax_t>(size));
}

// A template of the library patched as it is stored.
class PatchTemplateTest : public ::testing::Test {
protected:
    std::int32_t Store(const ComponentBuffer& components) {
        return SaveNewTemplate(cn, components, {"1", "1", "Tower"});
    }
    PatchResult Patch(std::int32_t templateId) {
        return PatchTemplate(cn, buffer, list, templateId, {idxPath, mulPath});
    }

    test::TestLibrary library;
    Connection& cn = *library.cnTemplates;
    ComponentBuffer buffer;
    ComponentsList list;
    std::string idxPath = library.Folder.Write("multi.idx", Entry(0, 12) + Entry(-1, -1));
    std::string mulPath = library.Folder.Write("multi.mul", test::OldRecords(1));
};

// The stored flags are not read: every flag is 1 but for the listed ids, a stored negative one
// found by its 16-bit key too; the marker is always 1, 0, 0, 0, 0. An unfit item id is refused
// while loading, naming the component the list would refuse without a name, and no half
// template is left in the buffer.
TEST_F(PatchTemplateTest, StoredOrderBoundsAndFlagsFromTheListAndUnfitItemIds) {
    std::int32_t id =
        Store(test::BufferWith({{"1189", "4", "-3", "0", "0"}, {"-23892", "-1", "2", "5", "1"}}));
    LoadTemplateBlocks(cn, buffer, list, id);
    EXPECT_EQ(buffer.Flag, (std::vector<std::string>{"1", "1"}));
    EXPECT_EQ(std::vector<int>({buffer.MinX, buffer.MinY, buffer.MaxX, buffer.MaxY}),
              std::vector<int>({-1, -3, 4, 2}));
    list.Add("0A2AC");
    Patch(id);
    EXPECT_EQ(test::ReadFile(mulPath), test::OldRecords(1) + Marker + Record(1189, 4, -3, 0, 1) +
                                           Record(0xA2AC, -1, 2, 5, 0));

    std::int32_t unfit =
        Store(test::BufferWith({{"1189", "0", "0", "0", "1"}, {"70000", "0", "0", "0", "1"}}));
    auto failure = test::FailureOf([&] { Patch(unfit); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number, err::Overflow);
    EXPECT_EQ(failure->Description.rfind("Component 2, item id", 0), 0u) << failure->Description;
    EXPECT_EQ(buffer.ComponentCount, 0);
}

} // namespace
} // namespace mw
