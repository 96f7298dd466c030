// multi.mul files of 16-byte records beside the classic 12-byte ones: telling them apart,
// reading them and patching them without ever mixing the two widths.
#include "patcher/GameFilesTest.h"
#include "patcher/MultiBytes.h"

#include "common/RunError.h"
#include "formats/MultiExtraction.h"
#include "formats/RecordSize.h"

namespace mw {
namespace {

using test::Entry;
using test::OldRecords;
using test::Record;

// Three multis of 48 bytes each, a whole number of records at either width: three 16-byte
// records or four 12-byte ones.
std::string MultisOf48Bytes(bool wide) {
    std::string bytes;
    for (int m = 0; m < 3; ++m) {
        bytes += Record(1, 0, 0, 0, 0, wide) + Record(1168 + m, 2, -3, 5, 1, wide) +
                 Record(1169, -4, 1, 0, 1, wide);
        if (!wide) bytes += Record(1170, 0, 0, 7, 0);
    }
    return bytes;
}

const std::string ThreeEntriesOf48 = Entry(0, 48) + Entry(48, 48) + Entry(96, 48) + Entry(-1, -1);

class RecordSizeTest : public test::GameFilesTest {
protected:
    void ExpectRefused(RecordSizeChoice choice, long number, const char* says) {
        targets.RecordSize = choice;
        Refused(one, number, says);
    }

    ComponentBuffer one = test::BufferWith({{"1187", "3", "-2", "10", "1"}});
};

// The patch and extraction tests compare whole files with flags 0 and 1; this adds the 8-byte
// flag of 16-byte records, of which a 12-byte read keeps the low half.
TEST(MulRecords, SixteenByteRecordsKeepTheWholeFlagLittleEndian) {
    unsigned char bytes[16];
    MulRecord record{0xA2AC, -3, 2, 7, 0x123456789A};
    EncodeMulRecord(record, bytes, RecordWidth::Sixteen);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 16),
              test::Record(0xA2AC, -3, 2, 7, record.Flag, true));
    EXPECT_EQ(DecodeMulRecord(bytes, RecordWidth::Sixteen), record);
    EXPECT_EQ(DecodeMulRecord(bytes, RecordWidth::Twelve).Flag, 0x3456789A);
}

// Lengths that fit one width only decide; multiples of 48 are judged by their records; anything
// else leaves it open, and Auto then refuses to patch. A width chosen against what the files
// show is refused too.
TEST_F(RecordSizeTest, DetectionAndTheChosenWidth) {
    const std::optional<RecordWidth> open, twelve = RecordWidth::Twelve,
                                           sixteen = RecordWidth::Sixteen;
    const std::tuple<std::string, std::string, std::optional<RecordWidth>, const char*> cases[] = {
        {Entry(0, 32) + Entry(32, 48) + Entry(-1, -1), OldRecords(5, true), sixteen, ""},
        {Entry(0, 36) + Entry(-1, 0) + Entry(36, 48) + Entry(-1, -1), OldRecords(7), twelve, ""},
        {ThreeEntriesOf48, MultisOf48Bytes(true), sixteen, ""},
        {ThreeEntriesOf48, MultisOf48Bytes(false), twelve, ""},
        {Entry(0, 36) + Entry(36, 32), OldRecords(6), open, "disagree"},
        {Entry(0, 36) + Entry(36, 20), OldRecords(6), open, "entry 2 (Length 20)"},
        {Entry(-1, -1), "", open, "no multi"},
        {ThreeEntriesOf48, std::string(144, '\0'), open, "read alike"}, // zeros: both ways
        {ThreeEntriesOf48, MultisOf48Bytes(true).substr(0, 100), open, "past the end"},
    };
    for (const auto& [idxBytes, mulBytes, width, reason] : cases) {
        Files(idxBytes, mulBytes);
        RecordFile idx(targets.MultiIdxPath, RecordFile::Mode::Read);
        RecordFile mul(targets.MultiMulPath, RecordFile::Mode::Read);
        RecordWidthVerdict verdict = DetectRecordWidth(idx, mul);
        EXPECT_EQ(verdict.Width, width) << reason;
        EXPECT_NE(verdict.Reason.find(reason), std::string::npos) << verdict.Reason;
        if (!width)
            ExpectRefused(RecordSizeChoice::Auto, err::RecordSizeUnknown, "Choose");
        else if (width == sixteen)
            ExpectRefused(RecordSizeChoice::Twelve, err::RecordSizeMismatch, "16-byte");
    }
    // Files that cannot tell take the user's choice.
    Files(Entry(-1, -1), "");
    targets.RecordSize = RecordSizeChoice::Sixteen;
    EXPECT_EQ(Patch(one).Width, RecordWidth::Sixteen);
    ExpectFiles(Entry(0, 32, -1), test::WideMarker + Record(1187, 3, -2, 10, 1, true));
}

// Detected, patched in 16-byte records behind a partial record, and extracted as written.
TEST_F(RecordSizeTest, PatchIntoAWideFileAndExtractItAgain) {
    std::string old = OldRecords(5, true);
    Files(Entry(0, 32) + Entry(-1, -1) + Entry(32, 48), old + "tail");
    PatchResult place = Patch(test::BufferWith({{"1187", "0", "0", "0", "1"},
                                                {"1188", "-1", "2", "5", "0"},
                                                {"65535", "-32768", "32767", "-128", "1"}}));
    EXPECT_EQ(std::tuple(place.PatchSlot, place.MulAppendRecord, place.Width),
              std::tuple(2, 6, RecordWidth::Sixteen));
    ExpectFiles(Entry(0, 32) + Entry(80, 64, -1) + Entry(32, 48),
                old + test::WideMarker + Record(1187, 0, 0, 0, 1, true) +
                    Record(1188, -1, 2, 5, 0, true) + Record(65535, -32768, 32767, -128, 1, true));
    EXPECT_EQ(MultiAsText(ReadMultiEntry(targets.MultiIdxPath, 2), targets.MultiMulPath),
              test::TemplateFile({"1187 0 0 0 1", "1188 -1 2 5 0", "65535 -32768 32767 -128 1"}));
}

} // namespace
} // namespace mw
