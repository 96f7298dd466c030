#include "MultiBytes.h"
#include "TestLibrary.h"

#include "common/RunError.h"
#include "patcher/MultiFiles.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

// The whole-file comparisons of the patch tests check encoding; this checks that decoding gives
// back what was encoded, the 8-byte flag of 16-byte records included.
TEST(MultiFiles, RecordsAreLittleEndianWhateverTheHost) {
    unsigned char bytes[16];
    for (RecordWidth width : {RecordWidth::Twelve, RecordWidth::Sixteen}) {
        const bool wide = width == RecordWidth::Sixteen;
        MulRecord record{0xA2AC, -3, 2, 7, wide ? 0x123456789A : 0x3456789A};
        EncodeMulRecord(record, bytes, width);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), RecordBytes(width)),
                  test::Record(0xA2AC, -3, 2, 7, record.Flag, wide));
        EXPECT_EQ(DecodeMulRecord(bytes, width), record);
    }
    EXPECT_EQ(DecodeMulRecord(bytes, RecordWidth::Twelve).Flag, 0x3456789A); // the low half
}

TEST(MultiFiles, RecordAccessCountsWholeRecordsAndNeverReadsPastTheEnd) {
    test::TempFolder folder;
    RecordFile file(folder.Write("multi.idx", test::Entry(0, 12) + "12345"),
                    RecordFile::Mode::Read);
    EXPECT_EQ(file.RecordCount(IdxEntrySize), 1);
    EXPECT_EQ(file.ReadIdxEntry(1), (IdxEntry{0, 12, 0}));
    EXPECT_THROW(file.ReadIdxEntry(2), RunError); // only 5 bytes of it exist
    EXPECT_THROW(file.ReadIdxEntry(0), RunError);
    unsigned char bytes[12];
    EXPECT_THROW(file.ReadAt(8, 12, bytes), RunError);
    EXPECT_THROW(file.ReadAt(-1, 1, bytes), RunError);
}

} // namespace
} // namespace mw
