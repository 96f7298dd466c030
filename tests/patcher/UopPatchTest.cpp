// Patching MultiCollection.uop alone and together with multi.idx/multi.mul.
#include "MultiBytes.h"
#include "TestLibrary.h"
#include "formats/SamplePackage.h"

#include "common/LittleEndian.h"
#include "common/RunError.h"
#include "common/TextFile.h"
#include "patcher/PatchGameFiles.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::Entry;

class UopPatchTest : public ::testing::Test {
protected:
    void Package(const std::string& bytes) { uopBytes = bytes, folder.Write("m.uop", bytes); }
    void MulFiles(const std::string& idx, const std::string& mul) {
        idxBytes = idx, mulBytes = mul;
        folder.Write("multi.idx", idx);
        folder.Write("multi.mul", mul);
        targets.MultiIdxPath = folder.File("multi.idx");
        targets.MultiMulPath = folder.File("multi.mul");
    }
    PatchResult Patch(const Progress& progress = {}) {
        return PatchGameFiles(buffer, targets, progress);
    }
    // Refused with the number given; every file as it was and no file left behind.
    std::string Refused(long number, const Progress& progress = {}) {
        std::vector<std::string> before = test::FileNames(folder.Path());
        try {
            Patch(progress);
            ADD_FAILURE() << "the patch was not refused";
        } catch (const RunError& failure) {
            EXPECT_EQ(failure.Number, number) << failure.Description;
            EXPECT_EQ(test::ReadFile(targets.MultiUopPath), uopBytes);
            if (targets.HasMulFiles()) {
                EXPECT_EQ(test::ReadFile(targets.MultiIdxPath), idxBytes);
                EXPECT_EQ(test::ReadFile(targets.MultiMulPath), mulBytes);
            }
            EXPECT_EQ(test::FileNames(folder.Path()), before);
            return failure.Description;
        }
        return {};
    }
    UopPackage Patched() const { return UopPackage::Read(targets.MultiUopPath); }

    test::TempFolder folder;
    std::map<std::uint32_t, std::vector<MulRecord>> multis = test::SampleMultis({0, 1, 2, 4, 5});
    std::string uopBytes, idxBytes, mulBytes;
    PatchTargets targets{{}, {}, folder.File("m.uop")};
    ComponentBuffer buffer = test::BufferOf({{"1187", "0", "0", "0", "1"},
                                             {"1188", "-1", "2", "5", "0"},
                                             {"65535", "-32768", "32767", "-128", "1"}});
    std::vector<MulRecord> records{
        {1187, 0, 0, 0, 1}, {1188, -1, 2, 5, 0}, {65535, -32768, 32767, -128, 1}};
};

TEST_F(UopPatchTest, TheNewMultiTakesTheFirstFreeIdAndEveryOtherFileStaysByteForByte) {
    Package(test::PackageBytes(multis));
    PatchResult place = Patch();
    EXPECT_EQ(place.PatchSlot, 4); // multi 3, entry number = id + 1
    EXPECT_EQ(place.MulAppendRecord, 0);

    UopPackage old(uopBytes, "old"), now = Patched();
    ASSERT_EQ(now.Entries().size(), old.Entries().size() + 1);
    for (const UopEntry& entry : old.Entries()) {
        const UopEntry* kept = now.Find(entry.NameHash);
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(now.Stored(*kept), old.Stored(entry));
        EXPECT_EQ(kept->Checksum, entry.Checksum);
        EXPECT_EQ(kept->Compression, entry.Compression);
    }
    const UopEntry* housing = now.Find(UopNameHash(HousingFileName));
    EXPECT_EQ(now.Stored(*housing), test::HousingBytes);
    EXPECT_EQ(ReadPackageMulti(now, 3), records);
    EXPECT_EQ(Get32(BytesAt(test::ReadFile(targets.MultiUopPath), 20)), UopEntriesPerBlock);
    EXPECT_EQ(test::FileNames(folder.Path()), (std::vector<std::string>{"m.uop"}));

    EXPECT_EQ(Patch().PatchSlot, 7); // then 6, past 4 and 5
    EXPECT_EQ(ReadPackageMulti(Patched(), 3), records);
}

TEST_F(UopPatchTest, InterruptedBeforeTheRenameTheOriginalStaysUntouched) {
    Package(test::PackageBytes(multis));
    bool prepared = false;
    Refused(err::Cancelled, [&](std::int64_t done, std::int64_t total) {
        if (done < total) return true;
        // The new package is complete and checked beside the old one, which is not yet touched.
        prepared = test::FileNames(folder.Path()).size() == 2 &&
                   test::ReadFile(targets.MultiUopPath) == uopBytes;
        return false;
    });
    EXPECT_TRUE(prepared);
}

TEST_F(UopPatchTest, DamagedPackagesAreRefusedAndLeftAsTheyWere) {
    std::string good = test::PackageBytes(multis);
    std::string damaged = good;
    damaged[0] = 'X';
    Package(damaged);
    EXPECT_NE(Refused(err::PackageInvalid).find("magic"), std::string::npos);
    Package(good.substr(0, test::EntryAt(2)));
    EXPECT_NE(Refused(err::PackageInvalid).find("truncated"), std::string::npos);
    damaged = good;
    Put64(reinterpret_cast<unsigned char*>(&damaged[test::EntryAt(2)]), good.size());
    Package(damaged);
    EXPECT_NE(Refused(err::PackageInvalid).find("points past the end"), std::string::npos);

    targets.MultiUopPath = folder.File("missing.uop");
    try {
        Patch();
        FAIL();
    } catch (const RunError& failure) {
        EXPECT_EQ(failure.Number, err::FileNotFound);
    }
    EXPECT_FALSE(FileExists(targets.MultiUopPath));
}

// The other files are copied, never interpreted: a stream that was damaged before stays exactly
// as it was, and is refused when someone reads that multi.
TEST_F(UopPatchTest, AStreamThatDoesNotInflateIsCarriedOverAsItIs) {
    std::string damaged = test::PackageBytes(multis);
    UopPackage package(damaged, "p");
    const UopEntry* five = package.Find(UopNameHash(MultiFileName(5)));
    damaged[five->DataOffset + five->StoredSize / 2] ^= 0x33;
    damaged[five->DataOffset + five->StoredSize / 2 + 1] ^= 0x55;
    Package(damaged);
    EXPECT_EQ(Patch().PatchSlot, 4);
    UopPackage patched = Patched();
    EXPECT_EQ(patched.Stored(*patched.Find(five->NameHash)),
              std::string_view(damaged).substr(five->DataOffset, five->StoredSize));
    try {
        ReadPackageMulti(patched, 5);
        FAIL();
    } catch (const RunError& failure) {
        EXPECT_EQ(failure.Number, err::PackageInvalid);
        EXPECT_NE(failure.Description.find("000005.bin does not inflate"), std::string::npos);
    }
}

TEST_F(UopPatchTest, BothFileSetsTakeTheFirstIdFreeInBoth) {
    Package(test::PackageBytes(multis)); // multis 0, 1, 2, 4, 5
    // Entries 1 (multi 0), 3 (multi 2), 5 (multi 4) and 7 (multi 6) are free in multi.idx.
    std::string idx = Entry(-1, -1) + Entry(0, 24) + Entry(-1, -1) + Entry(24, 12) + Entry(-1, -1) +
                      Entry(36, 12) + Entry(-1, -1);
    MulFiles(idx, test::OldRecords(4));
    PatchResult place = Patch();
    EXPECT_EQ(place.PatchSlot, 7);
    EXPECT_EQ(place.MulAppendRecord, 5);
    EXPECT_EQ(test::ReadFile(targets.MultiIdxPath), idx.substr(0, 72) + Entry(48, 48, -1));
    EXPECT_EQ(ReadPackageMulti(Patched(), 6), records);

    // Nothing left that both have free: refused before either is touched.
    Package(test::ReadFile(targets.MultiUopPath));
    MulFiles(test::ReadFile(targets.MultiIdxPath), test::ReadFile(targets.MultiMulPath));
    Refused(err::NoFreeMultiId);
}

// A failure of either file set leaves both as they were: the package checked before multi.mul
// is written, and multi.idx/multi.mul put back when the package cannot take its place.
TEST_F(UopPatchTest, AFailureOfEitherLeavesBothUntouched) {
    std::string fourFree = Entry(-1, -1) + Entry(-1, -1) + Entry(-1, -1) + Entry(-1, -1);
    MulFiles(Entry(0, 24) + fourFree, test::OldRecords(2) + "xy"); // multi 3 is free in both
    std::string good = test::PackageBytes(multis);
    Package(good.substr(0, good.size() - 1));
    Refused(err::PackageInvalid);

    Package(good);
    bool mulFilesWritten = false;
    Refused(err::Cancelled, [&, calls = 0](std::int64_t done, std::int64_t total) mutable {
        if (done < total || ++calls < 2) return true;
        // The second last moment, just before the rename: multi.mul and multi.idx are written.
        mulFilesWritten = test::ReadFile(targets.MultiIdxPath) != idxBytes &&
                          test::ReadFile(targets.MultiMulPath) != mulBytes;
        return false;
    });
    EXPECT_TRUE(mulFilesWritten);

    buffer.Flag[1] = "70000"; // fits multi.mul's 32 bits, not the package's 16
    Refused(err::Overflow);
    buffer.Flag[1] = "0";

    MulFiles(Entry(0, 32) + Entry(-1, -1), test::OldWideRecords(2));
    targets.RecordSize = RecordSizeChoice::Twelve;
    Refused(err::RecordSizeMismatch);
}

TEST_F(UopPatchTest, ThePackageCannotBeOneOfTheMulFiles) {
    std::string package = test::PackageBytes(multis);
    MulFiles(Entry(-1, -1), package);
    targets.MultiUopPath = targets.MultiMulPath, uopBytes = package;
    targets.RecordSize = RecordSizeChoice::Twelve;
    EXPECT_NE(Refused(err::BadFileNameOrNumber).find("one of the multi files"), std::string::npos);
}

// The same template through both formats reads back the same from each: multi.mul after its
// marker, the package as it is.
TEST_F(UopPatchTest, RoundTripThroughBothFormats) {
    Package(test::PackageBytes(test::SampleMultis({0, 1})));
    MulFiles(Entry(0, 36) + Entry(36, 24) + Entry(-1, -1), test::OldRecords(5));
    buffer.Flag[2] = "7"; // neither of the two usual flags: kept as it is by both
    EXPECT_EQ(Patch().PatchSlot, 3);

    UopPackage package = Patched();
    RecordFile idx(targets.MultiIdxPath, RecordFile::Mode::Read);
    RecordFile mul(targets.MultiMulPath, RecordFile::Mode::Read);
    std::vector<MulRecord> fromMul =
        ReadMultiRecords(mul, idx.ReadIdxEntry(3), RecordWidth::Twelve);
    ASSERT_EQ(fromMul.front(), MarkerRecord);
    fromMul.erase(fromMul.begin());
    records[2].Flag = 7;
    EXPECT_EQ(fromMul, records);
    EXPECT_EQ(ReadPackageMulti(package, 2), records);
    EXPECT_EQ(PackageMultiIds(package), (std::vector<std::uint32_t>{0, 1, 2}));
}

} // namespace
} // namespace mw
