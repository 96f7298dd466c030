// multi.mul files of 16-byte records beside the classic 12-byte ones: telling them apart,
// reading them and patching them without ever mixing the two widths.
#include "MultiBytes.h"
#include "TestLibrary.h"

#include "common/RunError.h"
#include "patcher/PatchGameFiles.h"
#include "patcher/RecordSize.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::Entry;
using test::Record;
using test::WideMarker;
using test::WideRecord;

// Three multis of three records each: 48 bytes, a whole number of records at either width.
std::string WideMultis() {
    std::string bytes;
    for (int m = 0; m < 3; ++m)
        bytes += WideMarker + WideRecord(1168 + m, 2, -3, 5, 1) + WideRecord(1169, -4, 1, 0, 1);
    return bytes;
}

// Three multis of four 12-byte records: again 48 bytes each.
std::string NarrowMultis() {
    std::string bytes;
    for (int m = 0; m < 3; ++m)
        bytes += test::Marker + Record(1168 + m, 2, -3, 5, 1) + Record(1169, -4, 1, 0, 1) +
                 Record(1170, 0, 0, 7, 0);
    return bytes;
}

std::string ThreeEntriesOf48() {
    return Entry(0, 48) + Entry(48, 48) + Entry(96, 48) + Entry(-1, -1);
}

class RecordSizeTest : public ::testing::Test {
protected:
    void Files(const std::string& idx, const std::string& mul) {
        idxBytes = idx, mulBytes = mul;
        folder.Write("multi.idx", idx);
        folder.Write("multi.mul", mul);
    }
    RecordWidthVerdict Detect() {
        RecordFile idx(idxPath, RecordFile::Mode::Read), mul(mulPath, RecordFile::Mode::Read);
        return DetectRecordWidth(idx, mul);
    }
    // The patch fails with the number given and leaves both files as they were.
    std::string Refused(RecordSizeChoice choice, long number) {
        try {
            PatchMulFiles(one, idxPath, mulPath, choice);
            ADD_FAILURE() << "the patch was not refused";
        } catch (const RunError& failure) {
            EXPECT_EQ(failure.Number, number) << failure.Description;
            EXPECT_EQ(test::ReadFile(idxPath), idxBytes);
            EXPECT_EQ(test::ReadFile(mulPath), mulBytes);
            return failure.Description;
        }
        return {};
    }

    test::TempFolder folder;
    std::string idxPath = folder.File("multi.idx"), mulPath = folder.File("multi.mul");
    std::string idxBytes, mulBytes;
    ComponentBuffer one = test::BufferOf({{"1187", "3", "-2", "10", "1"}});
};

TEST_F(RecordSizeTest, WideRecordsCarryAnEightByteFlag) {
    unsigned char bytes[16];
    MulRecord record{0x04A3, -3, 2, 7, 0x123456789A};
    EncodeMulRecord(record, bytes, RecordWidth::Sixteen);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 16),
              WideRecord(0x04A3, -3, 2, 7, 0x123456789A));
    EXPECT_EQ(DecodeMulRecord(bytes, RecordWidth::Sixteen), record);
    EXPECT_EQ(DecodeMulRecord(bytes, RecordWidth::Twelve).Flag, 0x3456789A);
}

TEST_F(RecordSizeTest, LengthsThatFitOneWidthOnlyDecide) {
    Files(Entry(0, 32) + Entry(32, 48) + Entry(-1, -1), test::OldWideRecords(5));
    EXPECT_EQ(Detect().Width, RecordWidth::Sixteen);
    Files(Entry(0, 36) + Entry(-1, 0) + Entry(36, 48) + Entry(-1, -1), test::OldRecords(7));
    EXPECT_EQ(Detect().Width, RecordWidth::Twelve);
}

TEST_F(RecordSizeTest, DisagreeingOrOddLengthsLeaveItOpen) {
    Files(Entry(0, 36) + Entry(36, 32), test::OldRecords(6));
    EXPECT_FALSE(Detect().Width);
    EXPECT_NE(Detect().Reason.find("disagree"), std::string::npos) << Detect().Reason;
    Files(Entry(0, 36) + Entry(36, 20), test::OldRecords(6));
    EXPECT_NE(Detect().Reason.find("entry 2 (Length 20)"), std::string::npos) << Detect().Reason;
    Files(Entry(0, 36) + Entry(36, -2), test::OldRecords(6));
    EXPECT_FALSE(Detect().Width);
    Files(Entry(-1, -1), "");
    EXPECT_FALSE(Detect().Width);
    EXPECT_NE(Refused(RecordSizeChoice::Auto, err::RecordSizeUnknown).find("Choose"),
              std::string::npos);
}

TEST_F(RecordSizeTest, MultiplesOf48AreJudgedByTheirRecords) {
    Files(ThreeEntriesOf48(), WideMultis());
    EXPECT_EQ(Detect().Width, RecordWidth::Sixteen);
    Files(ThreeEntriesOf48(), NarrowMultis());
    EXPECT_EQ(Detect().Width, RecordWidth::Twelve);
    Files(ThreeEntriesOf48(), std::string(144, '\0')); // zeros read alike both ways
    EXPECT_FALSE(Detect().Width);
    Refused(RecordSizeChoice::Auto, err::RecordSizeUnknown);
    Files(ThreeEntriesOf48(), WideMultis().substr(0, 100)); // the last multi is cut off
    EXPECT_FALSE(Detect().Width);
}

TEST_F(RecordSizeTest, AChosenWidthIsTakenUnlessTheFilesSayOtherwise) {
    Files(Entry(0, 32) + Entry(32, 48) + Entry(-1, -1), test::OldWideRecords(5));
    EXPECT_NE(Refused(RecordSizeChoice::Twelve, err::RecordSizeMismatch).find("16-byte"),
              std::string::npos);
    Files(ThreeEntriesOf48(), WideMultis());
    Refused(RecordSizeChoice::Twelve, err::RecordSizeMismatch);
    Files(Entry(0, 36) + Entry(-1, -1), test::OldRecords(3));
    Refused(RecordSizeChoice::Sixteen, err::RecordSizeMismatch);

    // Files that cannot tell take the user's choice.
    Files(Entry(-1, -1), "");
    EXPECT_EQ(PatchMulFiles(one, idxPath, mulPath, RecordSizeChoice::Sixteen).Width,
              RecordWidth::Sixteen);
    EXPECT_EQ(test::ReadFile(mulPath), WideMarker + WideRecord(1187, 3, -2, 10, 1));
    EXPECT_EQ(test::ReadFile(idxPath), Entry(0, 32, -1));
}

// Detected, patched in 16-byte records behind a partial record, and read back as written.
TEST_F(RecordSizeTest, PatchIntoAWideFileAndReadItBack) {
    std::string old = test::OldWideRecords(5);
    Files(Entry(0, 32) + Entry(-1, -1) + Entry(32, 48), old + "tail");
    auto five = test::BufferOf({{"1187", "0", "0", "0", "1"},
                                {"1188", "-1", "2", "5", "0"},
                                {"65535", "-32768", "32767", "-128", "1"}});
    PatchResult place = PatchMulFiles(five, idxPath, mulPath);
    EXPECT_EQ(place.PatchSlot, 2);
    EXPECT_EQ(place.MulAppendRecord, 6);
    EXPECT_EQ(place.Width, RecordWidth::Sixteen);
    EXPECT_EQ(test::ReadFile(idxPath), Entry(0, 32) + Entry(80, 64, -1) + Entry(32, 48));
    EXPECT_EQ(test::ReadFile(mulPath), old + WideMarker + WideRecord(1187, 0, 0, 0, 1) +
                                           WideRecord(1188, -1, 2, 5, 0) +
                                           WideRecord(65535, -32768, 32767, -128, 1));

    RecordFile mul(mulPath, RecordFile::Mode::Read);
    std::vector<MulRecord> records = ReadMultiRecords(mul, {80, 64, -1}, RecordWidth::Sixteen);
    EXPECT_EQ(records, (std::vector<MulRecord>{MarkerRecord,
                                               {1187, 0, 0, 0, 1},
                                               {1188, -1, 2, 5, 0},
                                               {65535, -32768, 32767, -128, 1}}));
}

TEST_F(RecordSizeTest, ReadingAMultiChecksItsEntryAgainstTheFile) {
    Files(Entry(-1, -1), test::OldWideRecords(4));
    RecordFile mul(mulPath, RecordFile::Mode::Read);
    EXPECT_EQ(ReadMultiRecords(mul, {16, 48, 0}, RecordWidth::Sixteen).size(), 3u);
    EXPECT_EQ(ReadMultiRecords(mul, {16, 48, 0}, RecordWidth::Twelve).size(), 4u);
    struct Case {
        IdxEntry Entry;
        RecordWidth Width;
        long Number;
    } cases[] = {
        {{0, -1, 0}, RecordWidth::Sixteen, err::BadRecordNumber},
        {{0, 24, 0}, RecordWidth::Sixteen, err::BadRecordLength},
        {{0, 32, 0}, RecordWidth::Twelve, err::BadRecordLength},
        {{0, -48, 0}, RecordWidth::Twelve, err::BadRecordLength},
        {{32, 48, 0}, RecordWidth::Sixteen, err::InputPastEndOfFile},
        {{-16, 16, 0}, RecordWidth::Sixteen, err::InputPastEndOfFile},
        {{0x7FFFFFF0, 0x7FFFFFF0, 0}, RecordWidth::Sixteen, err::InputPastEndOfFile},
    };
    for (const Case& c : cases) {
        try {
            ReadMultiRecords(mul, c.Entry, c.Width);
            ADD_FAILURE() << c.Entry.Lookup << " " << c.Entry.Length;
        } catch (const RunError& failure) {
            EXPECT_EQ(failure.Number, c.Number) << failure.Description;
        }
    }
}

TEST_F(RecordSizeTest, TheSettingReadsAndWritesItsThreeValues) {
    for (auto choice :
         {RecordSizeChoice::Auto, RecordSizeChoice::Twelve, RecordSizeChoice::Sixteen})
        EXPECT_EQ(RecordSizeChoiceFrom(RecordSizeChoiceText(choice)), choice);
    EXPECT_EQ(RecordSizeChoiceFrom(""), RecordSizeChoice::Auto);
    EXPECT_EQ(RecordSizeChoiceFrom("14"), RecordSizeChoice::Auto);
}

} // namespace
} // namespace mw
