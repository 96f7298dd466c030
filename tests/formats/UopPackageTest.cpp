#include "Refusals.h"
#include "SamplePackage.h"
#include "patcher/MultiBytes.h"

#include "common/LittleEndian.h"
#include "common/RunError.h"
#include "formats/MultiCollection.h"
#include "formats/Zlib.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::EntryAt;

// Everything a reader takes out of a package: housing.bin and every multi.
void ReadEverything(const UopPackage& package) {
    if (const UopEntry* housing = package.Find(UopNameHash(HousingFileName)))
        package.Contents(*housing, HousingFileName);
    for (std::uint32_t id = 0; id < 20; ++id) // the samples' ids, without a search of them all
        if (PackageHasMulti(package, id)) ReadPackageMulti(package, id);
}

// The game's own values; the reliability test's packages, hashed by its own code, check the rest.
TEST(UopHash, PublishedValueAndTheGamesNames) {
    EXPECT_EQ(UopNameHash("build/multicollection/housing.bin"), 0x126D1E99DDEDEE0Au);
    EXPECT_EQ(MultiFileName(0x1F4), "build/multicollection/000500.bin");
}

class UopPackageTest : public ::testing::Test {
protected:
    // The action fails as a damaged package would, naming the package and saying why.
    static void ExpectRefused(const std::function<void()>& action, const std::string& why) {
        test::ExpectRefused(action, err::PackageInvalid, {why, "\"p.uop\" is not a valid"});
    }
    // The sample with `width` bytes at `at` set to value, little-endian.
    std::string With(std::uint64_t at, int width, std::uint64_t value) const {
        return std::string(bytes).replace(at, width,
                                          test::Le(static_cast<std::int64_t>(value), width));
    }

    std::map<std::uint32_t, std::vector<MulRecord>> multis = test::SampleMultis({0, 3, 4, 9, 17});
    std::string bytes = test::PackageBytes(multis); // six files in blocks of three
    UopPackage package{bytes, "p.uop"};
};

TEST_F(UopPackageTest, EveryFileReadsBackFromSeveralBlocks) {
    EXPECT_NE(Get64(BytesAt(bytes, UopFirstTable + 4)), 0u); // a second block follows
    ASSERT_EQ(package.Entries().size(), 6u);
    EXPECT_EQ(package.Contents(*package.Find(UopNameHash(HousingFileName)), HousingFileName),
              test::HousingBytes);
    for (const auto& [id, records] : multis)
        EXPECT_EQ(ReadPackageMulti(package, id), records) << id;
    EXPECT_EQ(test::FailureNumber([&] { ReadPackageMulti(package, 1); }), err::MultiNotInPackage);

    std::string slots = bytes; // a slot of zeros is no file
    UopPackage unused(slots.replace(EntryAt(1), UopEntrySize, UopEntrySize, '\0'), "p.uop");
    EXPECT_EQ(unused.Entries().size(), 5u);
    EXPECT_FALSE(PackageHasMulti(unused, 0));
}

TEST_F(UopPackageTest, MultiDataSwapsTheTwoFlagsAndSkipsExtraValues) {
    std::vector<MulRecord> components{{0x4A3, -3, 2, 7, 1}, {0x675, 0, 1, 0, 0}, {9, 0, 0, 0, 5}};
    std::string data = EncodeMultiData(7, components);
    const std::string expected("\x07\0\0\0\x03\0\0\0"
                               "\xA3\x04\xFD\xFF\x02\0\x07\0\0\0\0\0\0\0"
                               "\x75\x06\0\0\x01\0\0\0\x01\0\0\0\0\0"
                               "\x09\0\0\0\0\0\0\0\x05\0\0\0\0\0",
                               50);
    EXPECT_EQ(data, expected); // decoded back below, with extra values in a tile

    // A tile with two extra values: they are read past and left out.
    std::string withExtras = data;
    withExtras.replace(8 + 10, 4, test::Le(2, 4)).insert(8 + 14, std::string(8, '\x7F'));
    EXPECT_EQ(DecodeMultiData(package, withExtras, 7), components);
}

TEST_F(UopPackageTest, DamagedPackagesAndMultiDataAreRefusedWithTheReason) {
    const std::uint64_t nine = package.Find(UopNameHash(MultiFileName(9)))->DataOffset;
    const std::pair<std::string, const char*> cases[] = {
        {With(1, 1, 'X'), "magic"},
        {bytes.substr(0, 20), "too few for a header"},
        {With(4, 4, 9), "version is 9"},
        {bytes.substr(0, EntryAt(2)), "truncated"},
        {With(12, 8, bytes.size() - 4), "lies past the end"},      // the first table
        {With(UopFirstTable + 4, 8, UopFirstTable), "links back"}, // to itself
        {With(UopFirstTable + 4, 8, EntryAt(1)), "links back"},    // into its own entries
        {With(24, 4, 0xFFFFFFFF), "announces 4294967295 files"},
        {With(EntryAt(1), 8, bytes.size() - 3), "points past the end"}, // its data
        {With(EntryAt(1), 8, 0xFFFFFFFFFFFFFFF0u), "points past the end"},
        {With(EntryAt(1) + 32, 2, 3), "unknown compression 3"},
        {With(EntryAt(1) + 16, 4, 0xF0000000), "absurd size"},
        {With(EntryAt(0) + 16, 4, 4), "two sizes differ"}, // housing.bin is stored as it is
        {With(EntryAt(1) + 20, 8, UopNameHash(HousingFileName)), "repeats the name hash"},
        {With(nine + 2, 4, 0x5A5A5A5A), "000009.bin does not inflate"}, // a garbled stream
        {With(EntryAt(1) + 16, 4, package.Entries()[1].UncompressedSize - 1), "does not inflate"},
    };
    for (const auto& [damaged, why] : cases)
        ExpectRefused([&] { ReadEverything(UopPackage(damaged, "p.uop")); }, why);

    // The data of a multi, once inflated.
    std::string data = EncodeMultiData(7, test::SampleMulti(2));
    const std::tuple<std::string, std::uint32_t, const char*> dataCases[] = {
        {data, 8, "holds the multi 7"},
        {data.substr(0, 5), 7, "cut short"},
        {data.substr(0, data.size() - 1), 7, "more than it holds"},
        {data + "x", 7, "runs on past its last tile"},
        {std::string(data).replace(8 + 10, 4, test::Le(0x40000000, 4)), 7,
         "cut short"}}; // extra values far past the end
    for (const auto& [damaged, id, why] : dataCases)
        ExpectRefused([&] { DecodeMultiData(package, damaged, id); }, why);
}

// Cut at every length and with every byte of the header and first table flipped: refused or
// read, never a crash or a read past the end (the sanitizers' job when they are on).
TEST_F(UopPackageTest, NoCutOrFlipReadsPastTheEnd) {
    auto refusedOrRead = [](const std::string& damaged) {
        long number = test::FailureNumber([&] { ReadEverything(UopPackage(damaged, "d.uop")); });
        return number == 0 || number == err::PackageInvalid;
    };
    for (size_t length = 0; length < bytes.size(); ++length)
        ASSERT_TRUE(refusedOrRead(bytes.substr(0, length))) << length;
    for (size_t at = 0; at < EntryAt(4); ++at)
        ASSERT_TRUE(refusedOrRead(With(at, 1, static_cast<unsigned char>(bytes[at]) ^ 0xFF))) << at;
}

} // namespace
} // namespace mw
