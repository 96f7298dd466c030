#include "MultiBytes.h"
#include "TestLibrary.h"

#include "common/RunError.h"
#include "formats/ComponentsList.h"
#include "patcher/PatchTemplate.h"
#include "store/SaveNewTemplate.h"
#include "store/TemplateBlocks.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::Entry;
using test::Marker;
using test::Record;

class PatchTemplateTest : public ::testing::Test {
protected:
    std::int32_t Store(const ComponentBuffer& components) {
        return SaveNewTemplate(cn, components, {"1", "1", "Tower"});
    }
    PatchResult Patch(std::int32_t templateId) {
        return PatchTemplate(cn, buffer, list, templateId, {idxPath, mulPath});
    }

    test::TestLibrary library;
    Connection& cn = *library.cnTemplates;
    ComponentBuffer buffer;
    ComponentsList list;
    std::string idxPath = library.Folder.Write("multi.idx", Entry(0, 12) + Entry(-1, -1));
    std::string mulPath = library.Folder.Write("multi.mul", test::OldRecords(1));
};

// The stored flags are not read: every flag is 1 but for the listed ids, a stored negative one
// found by its 16-bit key too; the marker is always 1, 0, 0, 0, 0. An unfit item id is refused
// while loading, naming the component the list would refuse without a name, and no half
// template is left in the buffer.
TEST_F(PatchTemplateTest, StoredOrderBoundsAndFlagsFromTheListAndUnfitItemIds) {
    std::int32_t id =
        Store(test::BufferWith({{"1189", "4", "-3", "0", "0"}, {"-23892", "-1", "2", "5", "1"}}));
    LoadTemplateBlocks(cn, buffer, list, id);
    EXPECT_EQ(buffer.Flag, (std::vector<std::string>{"1", "1"}));
    EXPECT_EQ(std::vector<int>({buffer.MinX, buffer.MinY, buffer.MaxX, buffer.MaxY}),
              std::vector<int>({-1, -3, 4, 2}));
    list.Add("0A2AC");
    Patch(id);
    EXPECT_EQ(test::ReadFile(mulPath), test::OldRecords(1) + Marker + Record(1189, 4, -3, 0, 1) +
                                           Record(0xA2AC, -1, 2, 5, 0));

    std::int32_t unfit =
        Store(test::BufferWith({{"1189", "0", "0", "0", "1"}, {"70000", "0", "0", "0", "1"}}));
    auto failure = test::FailureOf([&] { Patch(unfit); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number, err::Overflow);
    EXPECT_EQ(failure->Description.rfind("Component 2, item id", 0), 0u) << failure->Description;
    EXPECT_EQ(buffer.ComponentCount, 0);
}

} // namespace
} // namespace mw
