#include "MultiBytes.h"
#include "TestLibrary.h"

#include "common/RunError.h"
#include "common/TextFile.h"
#include "patcher/MultiFiles.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

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

    EncodeIdxEntry({1200, 72, -1}, bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 12), test::Entry(1200, 72, -1));
    EXPECT_EQ(DecodeIdxEntry(bytes), (IdxEntry{1200, 72, -1}));
}

TEST(MultiFiles, RecordAccessIsByOneBasedNumberAndNeverCreatesAFile) {
    test::TempFolder folder;
    for (auto mode : {RecordFile::Mode::Read, RecordFile::Mode::ReadWrite})
        for (const std::string& path : {folder.File("multi.idx"), std::string(), folder.Path()})
            EXPECT_THROW(RecordFile(path, mode), RunError) << path;
    EXPECT_FALSE(FileExists(folder.File("multi.idx")));

    std::string path = folder.Write("multi.idx", std::string(24, '\0') + "12345");
    RecordFile file(path, RecordFile::Mode::ReadWrite);
    EXPECT_EQ(file.RecordCount(IdxEntrySize), 2);
    file.WriteIdxEntry(2, {12, 24, -1});
    EXPECT_EQ(test::ReadFile(path), std::string(12, '\0') + test::Entry(12, 24, -1) + "12345");
    EXPECT_EQ(file.ReadIdxEntry(2), (IdxEntry{12, 24, -1}));
    EXPECT_THROW(file.ReadIdxEntry(3), RunError); // only 5 bytes of it exist
    EXPECT_THROW(file.ReadIdxEntry(0), RunError);
    unsigned char bytes[12];
    EXPECT_THROW(file.ReadAt(20, 12, bytes), RunError);
    EXPECT_THROW(file.ReadAt(-1, 1, bytes), RunError);
}

} // namespace
} // namespace mw
