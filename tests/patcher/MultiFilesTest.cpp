#include "TestLibrary.h"

#include "common/RunError.h"
#include "common/TextFile.h"
#include "patcher/MultiFiles.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

TEST(MultiFiles, RecordsAreLittleEndianWhateverTheHost) {
    unsigned char bytes[12];
    EncodeMulRecord({0x04A3, -3, 2, 0, 1}, bytes);
    const unsigned char expected[12] = {0xA3, 0x04, 0xFD, 0xFF, 0x02, 0x00, 0x00, 0x00, 1, 0, 0, 0};
    EXPECT_TRUE(std::equal(bytes, bytes + 12, expected));
    EXPECT_EQ(DecodeMulRecord(bytes), (MulRecord{0x04A3, -3, 2, 0, 1}));
    EncodeMulRecord({0xA2AC, 0, 0, 0, 0}, bytes);
    EXPECT_EQ(DecodeMulRecord(bytes).ItemID, 0xA2AC);

    EncodeIdxEntry({1200, 72, -1}, bytes);
    const unsigned char entry[12] = {0xB0, 0x04, 0, 0, 72, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(std::equal(bytes, bytes + 12, entry));
    EXPECT_EQ(DecodeIdxEntry(bytes), (IdxEntry{1200, 72, -1}));
}

TEST(MultiFiles, RecordAccessIsByOneBasedNumberAndNeverCreatesAFile) {
    test::TempFolder folder;
    EXPECT_THROW(RecordFile(folder.File("multi.idx"), RecordFile::Mode::Read), RunError);
    EXPECT_THROW(RecordFile(folder.File("multi.idx"), RecordFile::Mode::ReadWrite), RunError);
    EXPECT_THROW(RecordFile("", RecordFile::Mode::Read), RunError);
    EXPECT_THROW(RecordFile(folder.Path(), RecordFile::Mode::Read), RunError);
    EXPECT_FALSE(FileExists(folder.File("multi.idx")));

    std::string path = folder.Write("multi.idx", std::string(24, '\0') + "12345");
    RecordFile file(path, RecordFile::Mode::ReadWrite);
    EXPECT_EQ(file.RecordCount(IdxEntrySize), 2);
    file.WriteIdxEntry(2, {12, 24, -1});
    EXPECT_EQ(file.ReadIdxEntry(2), (IdxEntry{12, 24, -1}));
    EXPECT_EQ(file.ReadIdxEntry(1), IdxEntry{});
    EXPECT_THROW(file.ReadIdxEntry(3), RunError); // only 5 bytes of it exist
    EXPECT_THROW(file.ReadIdxEntry(0), RunError);
    unsigned char bytes[12];
    EXPECT_THROW(file.ReadAt(20, 12, bytes), RunError);
    EXPECT_THROW(file.ReadAt(-1, 1, bytes), RunError);
}

} // namespace
} // namespace mw
