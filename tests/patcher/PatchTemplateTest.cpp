#include "MultiBytes.h"
#include "TestLibrary.h"

#include "common/RunError.h"
#include "formats/ComponentsList.h"
#include "patcher/PatchTemplate.h"
#include "store/CTempBlock.h"
#include "store/SaveNewTemplate.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::Entry;
using test::Marker;
using test::Record;

class PatchTemplateTest : public ::testing::Test {
protected:
    std::int32_t Store(const std::vector<std::array<std::string, 5>>& components) {
        return SaveNewTemplate(cn, test::BufferOf(components), {"1", "1", "Tower"});
    }
    PatchResult Patch(std::int32_t templateId, const StatusLine& status = {}) {
        return PatchTemplate(cn, buffer, list, templateId, {idxPath, mulPath}, status);
    }

    test::TestLibrary library;
    Connection& cn = *library.cnTemplates;
    ComponentBuffer buffer;
    ComponentsList list;
    std::string idxPath = library.Folder.Write("multi.idx", Entry(0, 12) + Entry(-1, -1));
    std::string mulPath = library.Folder.Write("multi.mul", test::OldRecords(1));
};

TEST_F(PatchTemplateTest, LoadsStoredOrderAndBoundsWithEveryFlagOneWithoutAList) {
    // The stored flags are not read: they are recomputed from the components list.
    std::int32_t id = Store({{"1189", "4", "-3", "0", "0"},
                             {"1187", "0", "0", "0", "0"},
                             {"1188", "-1", "2", "5", "1"}});
    LoadTemplateBlocks(cn, buffer, list, id);
    EXPECT_EQ(buffer.ComponentCount, 3);
    EXPECT_EQ(buffer.ItemID, (std::vector<std::string>{"1189", "1187", "1188"}));
    EXPECT_EQ(buffer.Z, (std::vector<std::string>{"0", "0", "5"}));
    EXPECT_EQ(buffer.Flag, (std::vector<std::string>{"1", "1", "1"}));
    EXPECT_EQ(std::vector<int>({buffer.MinX, buffer.MinY, buffer.MaxX, buffer.MaxY}),
              std::vector<int>({-1, -3, 4, 2}));
}

TEST_F(PatchTemplateTest, ListedItemIdsArePatchedWithFlagZeroTheMarkerAlways) {
    std::int32_t id = Store({{"1187", "0", "0", "0", "1"}, {"-23892", "1", "0", "0", "1"}});
    list.Add("04A3");
    list.Add("0A2AC");
    Patch(id);
    EXPECT_EQ(buffer.Flag, (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(test::ReadFile(mulPath),
              test::OldRecords(1) + Marker + Record(1187, 0, 0, 0, 0) + Record(0xA2AC, 1, 0, 0, 0));
}

TEST_F(PatchTemplateTest, TemplateWithoutBlocksOrWithAnUnfitItemIdIsRefused) {
    std::string idx = test::ReadFile(idxPath), mul = test::ReadFile(mulPath);
    std::int32_t empty = Store({});
    EXPECT_THROW(Patch(empty), RunError);
    EXPECT_EQ(buffer.ComponentCount, 0);

    // Refused while loading, naming the component, though the list would convert it first.
    list.Add("04A3");
    std::int32_t unfit = Store({{"1187", "0", "0", "0", "1"}, {"70000", "0", "0", "0", "1"}});
    try {
        Patch(unfit);
        FAIL();
    } catch (const RunError& failure) {
        EXPECT_EQ(failure.Number, err::Overflow);
        EXPECT_EQ(failure.Description.rfind("Component 2, item id", 0), 0u) << failure.Description;
    }
    EXPECT_EQ(buffer.ComponentCount, 0);
    EXPECT_EQ(test::ReadFile(idxPath), idx);
    EXPECT_EQ(test::ReadFile(mulPath), mul);
}

// A game's files built here, a template from the library patched into a copy of them, and the
// new multi read back record by record: the stored components in the stored order.
TEST_F(PatchTemplateTest, RoundTripThroughAGamesFiles) {
    std::string oldIdx = Entry(0, 36) + Entry(-1, -1) + Entry(36, 24) + Entry(-1, -1);
    std::string oldMul = test::OldRecords(5);
    idxPath = library.Folder.Write("copy.idx", oldIdx);
    mulPath = library.Folder.Write("copy.mul", oldMul);
    std::vector<std::array<std::string, 5>> components;
    for (int i = 0; i < 40; ++i)
        components.push_back({std::to_string(i * 1700 - 20000), std::to_string(i % 9 - 4),
                              std::to_string(3 - i % 7), std::to_string(i * 5 % 60), "1"});
    std::int32_t id = Store(components);

    std::vector<std::string> said;
    PatchResult place = Patch(id, [&](const char* text) { said.emplace_back(text); });
    EXPECT_EQ(said, (std::vector<std::string>{"Reading Template...", "Please wait...",
                                              "Patching Completed"}));
    EXPECT_EQ(place.PatchSlot, 2);
    RecordFile idx(idxPath, RecordFile::Mode::Read), mul(mulPath, RecordFile::Mode::Read);
    IdxEntry entry = idx.ReadIdxEntry(place.PatchSlot);
    ASSERT_EQ(entry.Length, 12 * 41);
    EXPECT_EQ(mul.ReadMulRecord(entry.Lookup / 12 + 1), MarkerRecord);

    CTempBlock stored(cn);
    stored.Connect(library.Path, adUseServer, adLockReadOnly);
    stored.Filter("TempIndexID='" + std::to_string(id) + "'");
    ASSERT_EQ(stored.RecordCount(), 40);
    for (std::int32_t r = entry.Lookup / 12 + 2; r <= (entry.Lookup + entry.Length) / 12; ++r) {
        MulRecord record = mul.ReadMulRecord(r);
        EXPECT_EQ(record.ItemID, stored.ItemID() & 0xFFFF) << "record " << r;
        EXPECT_EQ(record.X, stored.X());
        EXPECT_EQ(record.Y, stored.Y());
        EXPECT_EQ(record.Z, stored.Z());
        stored.MoveNext();
    }
    EXPECT_EQ(test::ReadFile(idxPath).substr(0, 12), oldIdx.substr(0, 12));
    EXPECT_EQ(test::ReadFile(idxPath).substr(24), oldIdx.substr(24));
    EXPECT_EQ(test::ReadFile(mulPath).substr(0, oldMul.size()), oldMul);
}

} // namespace
} // namespace mw
