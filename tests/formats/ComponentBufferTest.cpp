#include "TestLibrary.h"

#include "common/RunError.h"
#include "formats/ComponentBuffer.h"
#include "formats/ComponentsList.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using Strings = std::vector<std::string>;

// Components at these X values (Y 0, Z 7), their bounds tracked as a reader tracks them.
ComponentBuffer AtX(const Strings& xs) {
    std::vector<std::array<std::string, 5>> components;
    for (const auto& x : xs)
        components.push_back({"1", x, "0", "7", "1"});
    ComponentBuffer buffer = test::BufferWith(components);
    for (std::int32_t i = 0; i < buffer.ComponentCount; ++i)
        TrackBounds(buffer, i);
    return buffer;
}

// The 11.5 that rounds up to 12 is in the UOX3 sample; here 12.5 rounds down to 12.
TEST(ComponentBuffer, CentringRoundsTheCentreWithTiesToEven) {
    auto buffer = AtX({"10", "15"});
    CentreComponents(buffer);
    EXPECT_EQ(buffer.X, (Strings{"-2", "3", ""}));
    EXPECT_EQ(std::pair(buffer.MinX, buffer.MaxX), std::pair(-2, 3));
}

TEST(ComponentBuffer, ListedItemIdsGetFlagZero) {
    ComponentsList list;
    list.Add("04A3");
    list.Add("0A2AC");
    ComponentBuffer buffer = AtX({"0", "0", "0", "0"});
    buffer.ItemID = {"1187", "1188", "41644", "-23892", ""};
    ApplyComponentsList(buffer, list);
    EXPECT_EQ(buffer.Flag, (Strings{"0", "1", "0", "0", ""}));
    buffer.ItemID[1] = "65536";
    EXPECT_THROW(ApplyComponentsList(buffer, list), RunError);
    buffer.ItemID[1] = "letters";
    ApplyComponentsList(buffer, ComponentsList()); // an empty list converts nothing
}

TEST(ComponentsListFile, SkipsTheHeadingAndEmptyLinesAndUpperCasesKeys) {
    ComponentsList list;
    LoadComponentsList(list, test::DataFile("components-sample.txt"));
    EXPECT_EQ(list.Entries(), (Strings{"04A3", "0A2AC"}));
    test::TempFolder folder;
    LoadComponentsList(list, folder.Write("c.txt", "04A3 is only the heading\n0675\n"));
    EXPECT_EQ(list.Entries(), Strings{"0675"});
    EXPECT_THROW(LoadComponentsList(list, folder.File("missing.txt")), RunError);
    EXPECT_TRUE(list.Empty());
}

} // namespace
} // namespace mw
