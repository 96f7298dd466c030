// Replacing a multi of the game files: the records are appended, then the entry rewritten;
// both file sets take the template or neither does.
#include "GameFilesTest.h"
#include "formats/SamplePackage.h"

#include "common/RunError.h"
#include "formats/MultiExtraction.h"

namespace mw {
namespace {

using test::Entry;
using test::Marker;
using test::Record;

class ReplaceMultiTest : public test::GameFilesTest {
protected:
    ReplaceMultiTest() { targets.RecordSize = RecordSizeChoice::Twelve; }
    PatchResult Replace(std::uint32_t multiId, const Progress& progress = {}) {
        targets.Replace = multiId;
        return Patch(two, progress);
    }

    ComponentBuffer two =
        test::BufferWith({{"32768", "-1", "2", "5", "1"}, {"1187", "0", "0", "0", "0"}});
    std::string twoRecords = Marker + Record(0x8000, -1, 2, 5, 1) + Record(1187, 0, 0, 0, 0);
    std::vector<MulRecord> records{{0x8000, -1, 2, 5, 1}, {1187, 0, 0, 0, 0}};
};

// Entry 2 in use, entry 3 free, entry 1 damaged (half a record in: only its own replacement
// may go ahead): each is replaced by records appended after the old ones, which stay as they
// were; an entry in use keeps its Extra, and the count is what extraction gave for the old multi
// (a damaged one is reported as such, not as 0 components).
TEST_F(ReplaceMultiTest, TheEntryPointsAtAppendedRecordsAndEverythingElseStays) {
    const std::string old = test::OldRecords(100), rest = Entry(24, 600, 9) + Entry(-1, -1, 3);
    // The first entry, the multi replaced, multi.idx after it and what the old multi was.
    const std::tuple<std::string, std::uint32_t, std::string, ReplacedContents> cases[] = {
        {Entry(0, 12, 7), 1, Entry(0, 12, 7) + Entry(1200, 36, 9) + Entry(-1, -1, 3), {49}},
        {Entry(0, 12, 7), 2, Entry(0, 12, 7) + Entry(24, 600, 9) + Entry(1200, 36, -1), {0}},
        {Entry(6, 12, 7), 0, Entry(1200, 36, 7) + rest, {0, true}},
    };
    for (const auto& [first, multi, idxAfter, replaced] : cases) {
        Files(first + rest, old);
        PatchResult result = Replace(multi);
        EXPECT_EQ(result.PatchSlot, static_cast<std::int32_t>(multi) + 1);
        EXPECT_EQ(result.ReplacedMul, replaced) << multi;
        EXPECT_FALSE(result.ReplacedPackage);
        ExpectFiles(idxAfter, old + twoRecords);
        EXPECT_EQ(MultiAsText(ReadMultiEntry(targets.MultiIdxPath, result.PatchSlot),
                              targets.MultiMulPath),
                  ComponentsAsText(records, 0)); // extracted back exactly
    }
}

// Refusals leave both files byte for byte: an entry beyond the end (the index never grows), an
// id above BFFF; and a failure between the records and the entry leaves the old multi readable.
TEST_F(ReplaceMultiTest, RefusalsAndFailuresLeaveTheOldMulti) {
    Files(Entry(0, 24, 7) + Entry(-1, -1), test::OldRecords(2));
    targets.Replace = 2;
    Refused(two, err::BadRecordNumber, "never adds entries");
    targets.Replace = HighestMultiId + 1;
    Refused(two, err::Overflow);
    targets.Replace = 0;
    Refused(two, err::Cancelled, "", [&](std::int64_t done, std::int64_t total) {
        if (done < total) return true;
        EXPECT_EQ(test::ReadFile(targets.MultiMulPath), test::OldRecords(2) + twoRecords);
        EXPECT_EQ(test::ReadFile(targets.MultiIdxPath), idxBytes); // the entry comes last
        return false;
    });
}

// With both file sets, both take the template under the same id, the package's file replaced in
// its place or added; a refusal by either writes neither.
TEST_F(ReplaceMultiTest, BothFileSetsTakeItOrNeither) {
    const std::string good = test::PackageBytes(test::SampleMultis({0, 1, 2}));
    for (std::uint32_t multi : {1u, 3u}) {
        Files(Entry(0, 24) + Entry(24, 36) + Entry(-1, -1) + Entry(-1, -1), test::OldRecords(5));
        Package(good);
        PatchResult result = Replace(multi);
        EXPECT_EQ(result.ReplacedMul, ReplacedContents{multi == 1 ? 2 : 0});
        // SampleMulti(1): three tiles
        EXPECT_EQ(result.ReplacedPackage, ReplacedContents{multi == 1 ? 3 : 0});
        UopPackage now = UopPackage::Read(targets.MultiUopPath);
        EXPECT_EQ(now.Entries().size(), multi == 1 ? 4u : 5u);
        EXPECT_EQ(ReadPackageMulti(now, multi), records);
        EXPECT_EQ(ReadPackageMulti(now, 2), test::SampleMulti(2));
        EXPECT_EQ(
            MultiAsText(ReadMultiEntry(targets.MultiIdxPath, multi + 1), targets.MultiMulPath),
            ComponentsAsText(records, 0));
    }
    Files(Entry(0, 24) + Entry(24, 36), test::OldRecords(5)); // no entry 3: the mul pair refuses
    Package(good);
    targets.Replace = 2;
    Refused(two, err::BadRecordNumber);
    Files(Entry(0, 24) + Entry(24, 36), test::OldRecords(5));
    Package(good.substr(0, good.size() - 1)); // the package refuses
    targets.Replace = 1;
    Refused(two, err::PackageInvalid);
}

} // namespace
} // namespace mw
