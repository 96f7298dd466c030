#include "SamplePackage.h"
#include "TestLibrary.h"

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

TEST(UopHash, PublishedValuesAndTheGamesNames) {
    EXPECT_EQ(UopNameHash("build/multicollection/housing.bin"), 0x126D1E99DDEDEE0Au);
    EXPECT_EQ(UopNameHash("build/multicollection/000003.bin"), 0x3847AB700CE57F8Bu);
    EXPECT_EQ(UopNameHash(MultiFileName(3)), 0x3847AB700CE57F8Bu);
    // The values printed by the algorithm's own test driver.
    EXPECT_EQ(UopNameHash(""), 0xDEADBEEFDEADBEEFu);
    EXPECT_EQ(UopNameHash("Four score and seven years ago"), 0xCE7226E617770551u);
    EXPECT_EQ(MultiFileName(0x1F4), "build/multicollection/000500.bin");
}

class UopPackageTest : public ::testing::Test {
protected:
    // The package is refused with a message that names it and says why.
    void ExpectRefused(const std::string& bytes, const std::string& why) {
        try {
            UopPackage package(bytes, "MultiCollection.uop");
            ReadEverything(package);
            ADD_FAILURE() << "not refused: " << why;
        } catch (const RunError& failure) {
            EXPECT_EQ(failure.Number, err::PackageInvalid) << failure.Description;
            EXPECT_NE(failure.Description.find("\"MultiCollection.uop\""), std::string::npos);
            EXPECT_NE(failure.Description.find(why), std::string::npos) << failure.Description;
        }
    }
    void Set32(std::string& bytes, std::uint64_t at, std::uint32_t value) {
        Put32(reinterpret_cast<unsigned char*>(&bytes[at]), value);
    }
    void Set64(std::string& bytes, std::uint64_t at, std::uint64_t value) {
        Put64(reinterpret_cast<unsigned char*>(&bytes[at]), value);
    }

    std::map<std::uint32_t, std::vector<MulRecord>> multis = test::SampleMultis({0, 3, 4, 9, 17});
    std::string bytes = test::PackageBytes(multis); // six files in blocks of three
};

TEST_F(UopPackageTest, EveryFileReadsBackFromSeveralBlocks) {
    UopPackage package(bytes, "p.uop");
    EXPECT_EQ(Get32(BytesAt(bytes, 0)), UopMagic);
    EXPECT_EQ(Get32(BytesAt(bytes, 24)), 6u);
    EXPECT_NE(Get64(BytesAt(bytes, UopFirstTable + 4)), 0u); // a second block follows
    ASSERT_EQ(package.Entries().size(), 6u);
    const UopEntry* housing = package.Find(UopNameHash(HousingFileName));
    ASSERT_NE(housing, nullptr);
    EXPECT_EQ(package.Contents(*housing, HousingFileName), test::HousingBytes);
    for (const auto& [id, records] : multis) {
        EXPECT_EQ(ReadPackageMulti(package, id), records) << id;
        const UopEntry* entry = package.Find(UopNameHash(MultiFileName(id)));
        EXPECT_EQ(entry->Compression, UopZlib);
        EXPECT_EQ(entry->Checksum, Adler32(package.Stored(*entry)));
    }
    EXPECT_EQ(PackageMultiIds(package), (std::vector<std::uint32_t>{0, 3, 4, 9, 17}));
    EXPECT_EQ(FirstFreePackageMultiId(package), 1u);
    try {
        ReadPackageMulti(package, 1);
        FAIL();
    } catch (const RunError& failure) {
        EXPECT_EQ(failure.Number, err::MultiNotInPackage);
    }
    ReadEverything(package);
}

TEST_F(UopPackageTest, MultiDataSwapsTheTwoFlagsAndSkipsExtraValues) {
    std::vector<MulRecord> components{{0x4A3, -3, 2, 7, 1}, {0x675, 0, 1, 0, 0}, {9, 0, 0, 0, 5}};
    std::string data = EncodeMultiData(7, components);
    const std::string expected("\x07\0\0\0\x03\0\0\0"
                               "\xA3\x04\xFD\xFF\x02\0\x07\0\0\0\0\0\0\0"
                               "\x75\x06\0\0\x01\0\0\0\x01\0\0\0\0\0"
                               "\x09\0\0\0\0\0\0\0\x05\0\0\0\0\0",
                               50);
    EXPECT_EQ(data, expected);
    UopPackage package(test::PackageBytes({}), "p.uop");
    EXPECT_EQ(DecodeMultiData(package, data, 7), components);

    // A tile with two extra values: they are read past and left out.
    std::string withExtras = data;
    Put32(reinterpret_cast<unsigned char*>(&withExtras[8 + 10]), 2);
    withExtras.insert(8 + 14, std::string(8, '\x7F'));
    EXPECT_EQ(DecodeMultiData(package, withExtras, 7), components);

    EXPECT_THROW(EncodeMultiData(7, {{1, 0, 0, 0, 0x10000}}), RunError);
    EXPECT_THROW(EncodeMultiData(7, {{1, 0, 0, 0, -1}}), RunError);
}

TEST_F(UopPackageTest, DamagedMultiDataIsRefused) {
    UopPackage package(test::PackageBytes({}), "MultiCollection.uop");
    std::string data = EncodeMultiData(7, test::SampleMulti(2));
    auto refused = [&](const std::string& damaged, std::uint32_t id, const char* why) {
        try {
            DecodeMultiData(package, damaged, id);
            ADD_FAILURE() << why;
        } catch (const RunError& failure) {
            EXPECT_EQ(failure.Number, err::PackageInvalid);
            EXPECT_NE(failure.Description.find(why), std::string::npos) << failure.Description;
        }
    };
    refused(data, 8, "holds the multi 7");
    refused(data.substr(0, 5), 7, "cut short");
    refused(data.substr(0, data.size() - 1), 7, "more than it holds");
    refused(data + "x", 7, "runs on past its last tile");
    std::string hugeCount = data;
    Put32(reinterpret_cast<unsigned char*>(&hugeCount[4]), 0xFFFFFFFF);
    refused(hugeCount, 7, "more than it holds");
    std::string hugeExtras = data;
    Put32(reinterpret_cast<unsigned char*>(&hugeExtras[8 + 10]), 0x40000000);
    refused(hugeExtras, 7, "cut short");
}

TEST_F(UopPackageTest, DamagedPackagesAreRefusedWithTheReason) {
    std::string damaged = bytes;
    damaged[1] = 'X';
    ExpectRefused(damaged, "magic");
    ExpectRefused(bytes.substr(0, 20), "too few for a header");

    damaged = bytes;
    Set32(damaged, 4, 9);
    ExpectRefused(damaged, "version is 9");

    ExpectRefused(bytes.substr(0, EntryAt(2)), "truncated");
    damaged = bytes;
    Set32(damaged, UopFirstTable, 0x7FFFFFFF);
    ExpectRefused(damaged, "truncated");
    damaged = bytes;
    Set64(damaged, 12, bytes.size() - 4); // the first table
    ExpectRefused(damaged, "lies past the end");
    damaged = bytes;
    Set64(damaged, UopFirstTable + 4, UopFirstTable); // a block that links to itself
    ExpectRefused(damaged, "links back");
    damaged = bytes;
    Set32(damaged, 24, 0xFFFFFFFF);
    ExpectRefused(damaged, "announces 4294967295 files");
}

TEST_F(UopPackageTest, DamagedEntriesAreRefusedWithTheReason) {
    std::string damaged = bytes;
    Set64(damaged, EntryAt(1), bytes.size() - 3);
    ExpectRefused(damaged, "points past the end");
    damaged = bytes;
    Set64(damaged, EntryAt(1), 0xFFFFFFFFFFFFFFF0u);
    ExpectRefused(damaged, "points past the end");
    damaged = bytes;
    Set32(damaged, EntryAt(1) + 8, 0xFFFFFFFF); // header length
    ExpectRefused(damaged, "points past the end");
    damaged = bytes;
    damaged[EntryAt(1) + 32] = 3;
    ExpectRefused(damaged, "unknown compression 3");
    damaged = bytes;
    Set32(damaged, EntryAt(1) + 16, 0xF0000000);
    ExpectRefused(damaged, "absurd size");
    damaged = bytes;
    Set32(damaged, EntryAt(0) + 16, 4); // housing.bin, stored: the sizes must agree
    ExpectRefused(damaged, "two sizes differ");
    damaged = bytes;
    Set64(damaged, EntryAt(1) + 20, UopNameHash(HousingFileName));
    ExpectRefused(damaged, "repeats the name hash");
}

TEST_F(UopPackageTest, AStreamThatDoesNotInflateIsRefused) {
    UopPackage package(bytes, "p.uop");
    const UopEntry* entry = package.Find(UopNameHash(MultiFileName(9)));
    std::string damaged = bytes;
    for (std::uint64_t i = 2; i < entry->StoredSize - 4; ++i)
        damaged[entry->DataOffset + i] ^= 0x5A;
    ExpectRefused(damaged, "000009.bin does not inflate");

    damaged = bytes; // the stream is whole, but longer than its entry says
    Set32(damaged, EntryAt(1) + 16, package.Entries()[1].UncompressedSize - 1);
    ExpectRefused(damaged, "does not inflate");
}

// Cut at every length and with every byte of the header and first table flipped: refused or
// read, never a crash or a read past the end (the sanitizers' job when they are on).
TEST_F(UopPackageTest, NoCutOrFlipReadsPastTheEnd) {
    for (size_t length = 0; length < bytes.size(); ++length) {
        try {
            ReadEverything(UopPackage(bytes.substr(0, length), "cut.uop"));
        } catch (const RunError& failure) {
            ASSERT_EQ(failure.Number, err::PackageInvalid) << length;
        }
    }
    for (size_t at = 0; at < EntryAt(4); ++at) {
        std::string flipped = bytes;
        flipped[at] ^= 0xFF;
        try {
            ReadEverything(UopPackage(flipped, "flipped.uop"));
        } catch (const RunError& failure) {
            ASSERT_EQ(failure.Number, err::PackageInvalid) << at;
        }
    }
}

TEST_F(UopPackageTest, UnusedSlotsAndAnEmptyPackage) {
    std::string empty = test::PackageBytes({});
    Set32(empty, 24, 0);
    Set32(empty, UopFirstTable, 0); // no housing.bin either: nothing at all
    UopPackage none(empty, "p.uop");
    EXPECT_TRUE(none.Entries().empty());
    EXPECT_EQ(FirstFreePackageMultiId(none), 0u);

    std::string slots = bytes; // a slot of zeros is no file
    slots.replace(EntryAt(1), UopEntrySize, std::string(UopEntrySize, '\0'));
    UopPackage package(slots, "p.uop");
    EXPECT_EQ(package.Entries().size(), 5u);
    EXPECT_FALSE(PackageHasMulti(package, 0));
}

TEST_F(UopPackageTest, ReadingAFileRefusesWhatIsNoPackage) {
    test::TempFolder folder;
    EXPECT_EQ(UopPackage::Read(folder.Write("m.uop", bytes)).Entries().size(), 6u);
    try {
        UopPackage::Read(folder.File("missing.uop"));
        FAIL();
    } catch (const RunError& failure) {
        EXPECT_EQ(failure.Number, err::FileNotFound);
    }
    EXPECT_THROW(UopPackage::Read(""), RunError);
    EXPECT_THROW(UopPackage::Read(folder.Path()), RunError);
}

} // namespace
} // namespace mw
