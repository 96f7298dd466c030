#include "ArtFilesBuilder.h"
#include "Refusals.h"

#include "common/LittleEndian.h"
#include "common/RunError.h"
#include "formats/ArtCache.h"
#include "formats/ArtFolder.h"
#include "formats/ArtReader.h"
#include "formats/StaticArt.h"
#include "formats/UopHash.h"
#include "formats/UopPackage.h"
#include "formats/Zlib.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace mw {
namespace {

using test::EncodeStaticArt;
using test::SolidImage;

void Set32(std::string& bytes, std::uint64_t at, std::uint32_t value) {
    Put32(reinterpret_cast<unsigned char*>(bytes.data()) + at, value);
}

void ExpectRefused(const std::function<void()>& action, std::initializer_list<std::string> says) {
    test::ExpectRefused(action, err::ArtInvalid, says);
}

class ArtFilesTest : public ::testing::Test {
protected:
    ArtFilesTest() {
        for (std::uint16_t i = 0; i < 40; ++i)
            records[i * 97] = EncodeStaticArt(SolidImage(1 + i % 5, 2 + i % 3, 0xFF000000 + i));
        records[1] = "any bytes: the reader does not decode";
        records[5] = ""; // an entry of length 0
        records[0x3FFF] = EncodeStaticArt(SolidImage(3, 3, 0xFFFFFFFF));
        records[0x4000] = EncodeStaticArt(SolidImage(2, 2, 0xFF000000));
    }
    std::string Idx() const { return folder.File("artidx.mul"); }
    std::string Mul() const { return folder.File("art.mul"); }
    std::string Uop() const { return folder.File("artLegacyMUL.uop"); }

    test::TempFolder folder;
    test::ArtRecords records;
};

TEST_F(ArtFilesTest, MulPairAndPackageGiveTheSameRecords) {
    test::WriteMulArt(folder.Path(), records);
    test::WriteUopArt(Uop(), records); // 43 files: three table blocks
    std::vector<std::unique_ptr<ArtReader>> readers;
    readers.push_back(OpenMulArt(Idx(), Mul()));
    readers.push_back(OpenUopArt(Uop()));
    for (auto& reader : readers) {
        std::uint64_t bytes = 0;
        for (const auto& [itemId, record] : records) {
            auto read = reader->StaticArtRecord(itemId);
            EXPECT_EQ(read.value_or("(none)"), record.empty() ? "(none)" : record) << itemId;
            bytes += record.size();
        }
        for (std::uint16_t without : {2, 96, 0x4001, 0xFFFF}) // between entries and beyond them
            EXPECT_FALSE(reader->StaticArtRecord(without)) << without;
        EXPECT_EQ(reader->BytesRead(), bytes);
    }
}

// Index entries outside the file or an index not of whole entries are refused when the files are
// opened; records cut short or too long when they are read.
TEST_F(ArtFilesTest, DamagedMulFilesAreRefused) {
    test::WriteMulArt(folder.Path(), records);
    const std::string idx = test::ReadFile(Idx());
    const auto mulSize = static_cast<std::uint32_t>(std::filesystem::file_size(Mul()));
    const std::uint64_t at = 12 * (StaticArtFirstEntry + 97);
    // The entry of item 97 as given; without a refusal it is read as empty, the index accepted.
    const std::tuple<std::uint32_t, std::uint32_t, std::string> cases[] = {
        {mulSize - 1, 2, "entry 16481 lies outside"},
        {0xFFFFFFF0, 0x20, "entry 16481 lies outside"}, // wraps in 32 bits
        {0xFFFFFFFF, 100, ""},
        {4, 0xFFFFFFFB, ""}, // length -5
    };
    for (const auto& [offset, length, says] : cases) {
        std::string damaged = idx;
        Set32(damaged, at, offset);
        Set32(damaged, at + 4, length);
        folder.Write("artidx.mul", damaged);
        if (says.empty())
            EXPECT_FALSE(OpenMulArt(Idx(), Mul())->StaticArtRecord(97));
        else
            ExpectRefused([&] { OpenMulArt(Idx(), Mul()); }, {says, Idx(), Mul()});
    }
    folder.Write("artidx.mul", idx + "x");
    ExpectRefused([&] { OpenMulArt(Idx(), Mul()); }, {"not a whole number of 12-byte", Idx()});
    test::ExpectRefused([&] { OpenMulArt(Idx(), folder.File("no.mul")); }, err::FileNotFound);

    // Records cut short after the files were opened, or far larger than any art: refused when
    // read, the large one before it is read (the file is sparse).
    test::WriteMulArt(folder.Path(), records);
    auto reader = OpenMulArt(Idx(), Mul());
    std::filesystem::resize_file(Mul(), 10);
    ExpectRefused([&] { reader->StaticArtRecord(97); }, {Mul()});
    std::string large = idx;
    Set32(large, at, 0);
    Set32(large, at + 4, 9 << 20);
    folder.Write("artidx.mul", large);
    std::filesystem::resize_file(Mul(), 9 << 20);
    reader = OpenMulArt(Idx(), Mul());
    ExpectRefused([&] { reader->StaticArtRecord(97); }, {"larger than any item's art", "0x0061"});
    EXPECT_EQ(reader->BytesRead(), 0u);
}

// The tables are checked as every package's are; the refusal names the art package.
TEST_F(ArtFilesTest, DamagedPackagesAreRefused) {
    test::WriteUopArt(Uop(), records);
    const std::string good = test::ReadFile(Uop());
    folder.Write("artLegacyMUL.uop", "X" + good.substr(1));
    ExpectRefused([&] { OpenUopArt(Uop()); }, {"not a valid art package", "magic", Uop()});
    for (size_t cut = 0; cut < good.size(); cut += 37) {
        folder.Write("artLegacyMUL.uop", good.substr(0, cut));
        ExpectRefused([&] { OpenUopArt(Uop()); }, {Uop()});
    }
}

// The game's packages may hold compressed records; they are inflated, and a stream that does
// not inflate to its announced size is refused for that item alone.
TEST_F(ArtFilesTest, PackageRecordsStoredCompressedAreInflated) {
    std::string storage, record = records[97];
    const std::string garbage = "not a zlib stream";
    std::vector<UopFile> files{
        CompressedFile(UopNameHash("build/artlegacymul/00016481.tga"), record, storage),
        {UopNameHash("build/artlegacymul/00016386.tga"), UopZlib, 100, 0, {}, garbage}};
    folder.Write("artLegacyMUL.uop", WriteUopPackage({}, files));
    auto reader = OpenUopArt(Uop());
    EXPECT_EQ(reader->StaticArtRecord(97).value_or(""), record);
    ExpectRefused([&] { reader->StaticArtRecord(2); }, {"does not inflate", Uop(), "0x0002"});
}

TEST_F(ArtFilesTest, CacheReadsEachRecordOnceAndKeepsToItsLimit) {
    for (std::uint16_t i = 100; i < 110; ++i) // 4096 bytes each, decoded
        records[i] = EncodeStaticArt(SolidImage(32, 32, 0xFF000000 + 0x10101 * i));
    records[11] = "damaged";
    test::WriteMulArt(folder.Path(), records);
    ArtCache again(OpenMulArt(Idx(), Mul()));
    const std::vector<std::uint16_t> drawn{0, 97, 2, 5, 0xFFFF, 97}; // art, none, empty, beyond
    std::vector<std::shared_ptr<const ArgbImage>> first;
    for (std::uint16_t itemId : drawn)
        first.push_back(again.StaticArt(itemId));
    const std::uint64_t read = again.BytesRead();
    EXPECT_EQ(read, records[0].size() + records[97].size());
    EXPECT_EQ(again.CachedBytes(), first[0]->Bytes() + first[1]->Bytes());
    for (size_t i = 0; i < drawn.size(); ++i)
        EXPECT_EQ(again.StaticArt(drawn[i]), first[i]);
    EXPECT_EQ(again.BytesRead(), read);
    for (int time = 0; time < 2; ++time) // a damaged record is not remembered: read each time
        ExpectRefused([&] { again.StaticArt(11); }, {Mul() + ", item 0x000B"});
    EXPECT_EQ(again.BytesRead(), read + 2 * records[11].size());

    ArtCache small(OpenMulArt(Idx(), Mul()), 3 * 4096 + 100);
    for (std::uint16_t itemId = 100; itemId < 110; ++itemId)
        small.StaticArt(itemId);
    EXPECT_EQ(small.CachedBytes(), 3u * 4096);
    const std::uint64_t all = small.BytesRead();
    small.StaticArt(109); // still kept
    EXPECT_EQ(small.BytesRead(), all);
    small.StaticArt(100); // let go
    EXPECT_EQ(small.BytesRead(), all + records[100].size());
}

TEST(ArtFolder, FindsTheFilesWhateverTheirCase) {
    test::TempFolder folder;
    for (const char* name :
         {"Art.mul", "ARTIDX.MUL", "artLegacyMUL.uop", "art.mul.bak", "artidx", "TileData.Mul"})
        folder.Write(name, "x");
    std::filesystem::create_directory(folder.File("tiledata.mul.d")); // a folder is no file
    ArtFolderFiles files = FindArtFiles(folder.Path());
    EXPECT_EQ(files.ArtIdx, folder.File("ARTIDX.MUL"));
    EXPECT_EQ(files.ArtMul, folder.File("Art.mul"));
    EXPECT_EQ(files.ArtUop, folder.File("artLegacyMUL.uop"));
    EXPECT_EQ(files.TileData, folder.File("TileData.Mul"));
    EXPECT_TRUE(files.HasMulPair());

    std::filesystem::remove(folder.File("ARTIDX.MUL"));
    EXPECT_FALSE(FindArtFiles(folder.Path()).HasMulPair());
    for (const std::string& none : {folder.File("missing"), folder.File("Art.mul")})
        EXPECT_TRUE(FindArtFiles(none).ArtMul.empty() && FindArtFiles(none).TileData.empty());
}

} // namespace
} // namespace mw
