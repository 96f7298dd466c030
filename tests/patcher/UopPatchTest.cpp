// Patching MultiCollection.uop alone and together with multi.idx/multi.mul.
#include "GameFilesTest.h"
#include "formats/SamplePackage.h"

#include "common/Files.h"
#include "common/RunError.h"
#include "formats/MultiExtraction.h"

namespace mw {
namespace {

using test::Entry;

class UopPatchTest : public test::GameFilesTest {
protected:
    UopPackage Patched() const { return UopPackage::Read(targets.MultiUopPath); }

    std::string good = test::PackageBytes(test::SampleMultis({0, 1, 2, 4, 5}));
    ComponentBuffer three = test::BufferWith({{"1187", "0", "0", "0", "1"},
                                              {"1188", "-1", "2", "5", "0"},
                                              {"65535", "-32768", "32767", "-128", "1"}});
    std::vector<MulRecord> records{
        {1187, 0, 0, 0, 1}, {1188, -1, 2, 5, 0}, {65535, -32768, 32767, -128, 1}};
};

// Every other file is copied, never interpreted: even a stream that does not inflate stays
// exactly as it was.
TEST_F(UopPatchTest, TheNewMultiTakesTheFirstFreeIdAndEveryOtherFileStaysByteForByte) {
    std::string damaged = good;
    const UopEntry five = *UopPackage(good, "p").Find(UopNameHash(MultiFileName(5)));
    damaged[five.DataOffset + five.StoredSize / 2] ^= 0x33;
    damaged[five.DataOffset + five.StoredSize / 2 + 1] ^= 0x55;
    Package(damaged);
    EXPECT_EQ(Patch(three).PatchSlot, 4); // multi 3, entry number = id + 1

    UopPackage old(uopBytes, "old"), now = Patched();
    ASSERT_EQ(now.Entries().size(), old.Entries().size() + 1);
    for (const UopEntry& entry : old.Entries()) {
        const UopEntry* kept = now.Find(entry.NameHash);
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(now.Stored(*kept), old.Stored(entry));
        UopEntry moved = *kept; // the same entry but for where its data now lies
        moved.DataOffset = entry.DataOffset;
        EXPECT_EQ(moved, entry);
    }
    EXPECT_EQ(ReadPackageMulti(now, 3), records);
}

// Both file sets take the first id free in both, and the multi extracts alike from each, a flag
// that is neither of the two usual ones kept as it is by both. Each file is copied before it
// changes, "<name>.<time>.bak".
TEST_F(UopPatchTest, BothFileSetsTakeTheFirstIdFreeInBothAndReadBackAlike) {
    Package(good); // multis 0, 1, 2, 4, 5
    // Entries 1 (multi 0), 3 (multi 2), 5 (multi 4) and 7 (multi 6) are free in multi.idx.
    std::string idx = Entry(-1, -1) + Entry(0, 24) + Entry(-1, -1) + Entry(24, 12) + Entry(-1, -1) +
                      Entry(36, 12) + Entry(-1, -1);
    Files(idx, test::OldRecords(4));
    three.Flag[2] = "7";
    GameFileBackups backups;
    targets.Backups = &backups;
    PatchResult place = Patch(three);
    std::vector<std::string> names = test::FileNames(folder.Path());
    ASSERT_EQ(names.size(), 6u);
    const std::string before[] = {uopBytes, idxBytes, mulBytes};
    for (size_t i = 0; i < 3; ++i) // each file, then its copy
        EXPECT_EQ(test::ReadFile(folder.File(names[2 * i + 1])), before[i]) << names[2 * i + 1];
    EXPECT_EQ(place.PatchSlot, 7);
    EXPECT_EQ(place.MulAppendRecord, 5);
    EXPECT_EQ(test::ReadFile(targets.MultiIdxPath), idx.substr(0, 72) + Entry(48, 48, -1));
    std::string text =
        test::TemplateFile({"1187 0 0 0 1", "1188 -1 2 5 0", "65535 -32768 32767 -128 7"});
    EXPECT_EQ(MultiAsText(ReadMultiEntry(targets.MultiIdxPath, 7), targets.MultiMulPath), text);
    EXPECT_EQ(PackageMultiAsText(targets.MultiUopPath, 6), text);

    // Nothing left that both have free: refused before either is touched.
    Package(test::ReadFile(targets.MultiUopPath));
    Files(test::ReadFile(targets.MultiIdxPath), test::ReadFile(targets.MultiMulPath));
    Refused(three, err::NoFreeMultiId);
}

// A failure of either file set leaves both as they were: the package checked before multi.mul
// is written, and multi.idx/multi.mul put back when the package cannot take its place.
TEST_F(UopPatchTest, AFailureOfEitherLeavesBothUntouched) {
    std::string fourFree = Entry(-1, -1) + Entry(-1, -1) + Entry(-1, -1) + Entry(-1, -1);
    Files(Entry(0, 24) + fourFree, test::OldRecords(2) + "xy"); // multi 3 is free in both
    Package(good.substr(0, good.size() - 1)); // the package readers' tests try every damage
    Refused(three, err::PackageInvalid);
    targets.MultiUopPath = folder.File("missing.uop");
    EXPECT_EQ(test::FailureNumber([&] { Patch(three); }), err::FileNotFound);
    EXPECT_FALSE(FileExists(targets.MultiUopPath));
    ExpectFiles(idxBytes, mulBytes);

    Package(good);
    bool allWritten = false;
    int calls = 0;
    Refused(three, err::Cancelled, "", [&](std::int64_t done, std::int64_t total) {
        if (done < total || ++calls < 2) return true;
        // The last moment, just before the rename: multi.idx and multi.mul are written, the new
        // package lies complete beside the old one, which is not yet touched.
        allWritten = test::ReadFile(targets.MultiIdxPath) != idxBytes &&
                     test::ReadFile(targets.MultiMulPath) != mulBytes &&
                     test::FileNames(folder.Path()).size() == 4 &&
                     test::ReadFile(targets.MultiUopPath) == uopBytes;
        return false;
    });
    EXPECT_TRUE(allWritten);

    three.Flag[1] = "70000"; // fits multi.mul's 32 bits, not the package's 16
    Refused(three, err::Overflow);
    three.Flag[1] = "0";

    Files(Entry(-1, -1), good);                    // the package named as multi.mul too
    targets.RecordSize = RecordSizeChoice::Twelve; // an index without multis tells none
    targets.MultiUopPath = targets.MultiMulPath, uopBytes = good;
    Refused(three, err::BadFileNameOrNumber, "is the same file as multi.mul");
}

} // namespace
} // namespace mw
