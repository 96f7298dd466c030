#include "MultiFilesBuilder.h"
#include "Refusals.h"

#include "common/LittleEndian.h"
#include "common/RunError.h"
#include "formats/MultiExtraction.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::FailureNumber;
using test::TemplateFile;

class MultiExtractionTest : public ::testing::Test {
protected:
    std::string Extract(std::int32_t recordNumber) {
        return MultiAsText(ReadMultiEntry(paths.MultiIdxPath, recordNumber), paths.MultiMulPath);
    }

    test::TempFolder folder;
    test::SampleMultiFiles sample{folder};
    test::MultiFilePaths paths = sample.Paths;
};

// The records after the marker, byte for byte (the read-back is in the patch round trip). Entries
// that name no readable multi are refused, naming the entry, and a missing game file is never
// created.
TEST_F(MultiExtractionTest, ExtractsTheRecordsAfterTheMarkerOrRefusesNamingTheEntry) {
    EXPECT_EQ(Extract(1), TemplateFile({"1187 -3 2 0 1", "32768 0 -1 5 1",
                                        "65535 -32768 32767 -128 0", "7 1 1 1 1"}));
    auto failure = test::FailureOf([&] { Extract(2); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Description, "There is no multi here: entry 2 (multi 0x1) of \"" +
                                        paths.MultiIdxPath + "\" is free (Length -1)");
    EXPECT_EQ(FailureNumber([&] { Extract(3); }), err::BadRecordLength); // the marker alone
    EXPECT_EQ(FailureNumber([&] { Extract(5); }), err::BadRecordNumber); // past multi.idx
    EXPECT_EQ(FailureNumber([&] { Extract(0); }), err::BadRecordNumber);
    const std::int32_t size = 120;
    const std::pair<IdxEntry, long> cases[] = {
        {{0, 0, 0}, err::BadRecordLength},             // an index that has ended
        {{0, 30, 0}, err::BadRecordLength},            // not whole records
        {{0, -24, 0}, err::BadRecordLength},           // negative
        {{6, 24, 0}, err::BadRecordNumber},            // not at a record boundary
        {{-12, 24, 0}, err::BadRecordNumber},          // before the file
        {{96, 36, 0}, err::InputPastEndOfFile},        // runs past the end
        {{0, 2147483640, 0}, err::InputPastEndOfFile}, // absurd
    };
    for (const auto& [entry, number] : cases)
        test::ExpectRefused([&] { CheckMultiEntry(entry, size, "entry 9 (multi 8)"); }, number,
                            {"entry 9 (multi 8)"});
    EXPECT_NO_THROW(CheckMultiEntry({96, 24, 0}, size, "whole file end"));
    test::TempFolder empty;
    test::ExpectRefused([&] { ReadMultiEntry(empty.File("multi.idx"), 1); }, err::FileNotFound);
    test::ExpectRefused(
        [&] { MultiAsText(ReadMultiEntry(paths.MultiIdxPath, 1), empty.File("multi.mul")); },
        err::FileNotFound);
    EXPECT_TRUE(test::FileNames(empty.Path()).empty()); // neither missing file is created
}

// A cut-off or damaged game file must give a RunError or the text of exactly the records that
// its first entry covers inside multi.mul, read at the width the files show.
TEST_F(MultiExtractionTest, TruncatedOrDamagedFilesNeverReadOutside) {
    std::string idx = test::ReadFile(paths.MultiIdxPath), mul = test::ReadFile(paths.MultiMulPath);
    auto tryExtract = [&](const std::string& idxBytes, const std::string& mulBytes) {
        test::MultiFilePaths damaged{folder.Write("d.idx", idxBytes),
                                     folder.Write("d.mul", mulBytes)};
        std::string text;
        auto refused = test::FailureOf([&] {
            text = MultiAsText(ReadMultiEntry(damaged.MultiIdxPath, 1), damaged.MultiMulPath);
        });
        if (refused) {
            EXPECT_FALSE(refused->Description.empty());
            return;
        }
        IdxEntry entry = DecodeIdxEntry(BytesAt(idxBytes, 0));
        RecordFile idxFile(damaged.MultiIdxPath, RecordFile::Mode::Read);
        RecordFile mulFile(damaged.MultiMulPath, RecordFile::Mode::Read);
        RecordWidth width = DetectRecordWidth(idxFile, mulFile).Width.value();
        ASSERT_TRUE(entry.Lookup >= 0 && entry.Lookup + entry.Length <= std::ssize(mulBytes));
        std::vector<MulRecord> records;
        for (std::int64_t at = 0; at < entry.Length; at += RecordBytes(width))
            records.push_back(DecodeMulRecord(
                BytesAt(mulBytes, static_cast<std::uint64_t>(entry.Lookup + at)), width));
        EXPECT_EQ(text, ComponentsAsText(records, 1));
    };
    for (size_t length = 0; length <= mul.size(); ++length)
        tryExtract(idx, mul.substr(0, length));
    for (size_t at = 0; at < IdxEntrySize; ++at)
        for (int bit = 0; bit < 8; ++bit) {
            std::string flipped = idx;
            flipped[at] = static_cast<char>(flipped[at] ^ (1 << bit));
            tryExtract(flipped, mul);
        }
}

TEST(ParseMultiId, ReadsTheHexadecimalMultiId) {
    for (const char* typed : {" 1F4 ", "1f4", "0x1F4"})
        EXPECT_EQ(ParseMultiId(typed), 0x1F4u) << typed;
    EXPECT_EQ(ParseMultiId("BFFF"), 0xBFFFu); // item id FFFF, as a patch may write it
    for (const char* refused : {"", "  ", "G12", "1F4h", "-1", "1 F4", "0x-1", "0x"})
        EXPECT_EQ(FailureNumber([&] { ParseMultiId(refused); }), err::TypeMismatch) << refused;
    for (const char* refused : {"C000", "FFFF", "123456789ABCDEF"})
        EXPECT_EQ(FailureNumber([&] { ParseMultiId(refused); }), err::Overflow) << refused;
}

} // namespace
} // namespace mw
