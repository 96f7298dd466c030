#include "TestLibrary.h"

#include "common/RunError.h"
#include "formats/ComponentBuffer.h"
#include "formats/ComponentsList.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

ComponentBuffer WithXY(const std::vector<std::pair<const char*, const char*>>& xy) {
    ComponentBuffer buffer;
    for (auto [x, y] : xy) {
        size_t i = AppendComponent(buffer);
        buffer.ItemID[i] = "1";
        buffer.X[i] = x;
        buffer.Y[i] = y;
        buffer.Z[i] = "7";
        buffer.Flag[i] = "1";
        TrackBounds(buffer, static_cast<std::int32_t>(i));
    }
    buffer.ComponentCount = static_cast<std::int32_t>(xy.size());
    return buffer;
}

TEST(ComponentBuffer, ClearingKeepsOneEmptyEntryAndLastReadOK) {
    ComponentBuffer buffer = WithXY({{"3", "4"}});
    buffer.LastReadOK = true;
    ClearComponentBuffer(buffer);
    EXPECT_EQ(buffer.ComponentCount, 0);
    EXPECT_EQ(buffer.X, std::vector<std::string>{""});
    EXPECT_EQ(buffer.MaxX, 0);
    EXPECT_TRUE(buffer.LastReadOK);
}

TEST(ComponentBuffer, CentringRoundsTheCentreWithTiesToEven) {
    auto buffer = WithXY({{"10", "0"}, {"13", "0"}});
    CentreComponents(buffer);
    EXPECT_EQ(buffer.X[0], "-2");
    EXPECT_EQ(buffer.X[1], "1");
    EXPECT_EQ(buffer.MaxX, 1);
    EXPECT_EQ(buffer.MinX, -2);
    buffer = WithXY({{"10", "0"}, {"15", "0"}});
    CentreComponents(buffer);
    EXPECT_EQ(buffer.X[0], "-2");
    EXPECT_EQ(buffer.X[1], "3");
    buffer = WithXY({{"100", "200"}, {"101", "200"}, {"102", "204"}});
    CentreComponents(buffer);
    EXPECT_EQ(buffer.X, (std::vector<std::string>{"-1", "0", "1", ""}));
    EXPECT_EQ(buffer.Y, (std::vector<std::string>{"-2", "-2", "2", ""}));
    EXPECT_EQ(buffer.Z[2], "7");
}

TEST(ComponentBuffer, BoundsFollowEveryComponentAndRefuseTextThatIsNoNumber) {
    auto buffer = WithXY({{"0", "0"}, {"-1", "2"}, {"4", "-3"}});
    EXPECT_EQ(buffer.MaxX, 4);
    EXPECT_EQ(buffer.MinX, -1);
    EXPECT_EQ(buffer.MaxY, 2);
    EXPECT_EQ(buffer.MinY, -3);
    EXPECT_THROW(WithXY({{"0", "0"}, {"", "1"}}), RunError);
}

TEST(ComponentBuffer, ListedItemIdsGetFlagZero) {
    ComponentsList list;
    list.Add("04A3");
    list.Add("0A2AC");
    ComponentBuffer buffer = WithXY({{"0", "0"}, {"0", "0"}, {"0", "0"}, {"0", "0"}});
    buffer.ItemID = {"1187", "1188", "41644", "-23892", ""};
    ApplyComponentsList(buffer, list);
    EXPECT_EQ(buffer.Flag, (std::vector<std::string>{"0", "1", "0", "0", ""}));
    buffer.ItemID[1] = "65536";
    EXPECT_THROW(ApplyComponentsList(buffer, list), RunError);
    buffer.ItemID[1] = "letters";
    ApplyComponentsList(buffer, ComponentsList()); // an empty list converts nothing
}

TEST(ComponentsListFile, SkipsTheHeadingAndEmptyLinesAndUpperCasesKeys) {
    ComponentsList list;
    LoadComponentsList(list, test::DataFile("components-sample.txt"));
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"04A3", "0A2AC"}));
    test::TempFolder folder;
    LoadComponentsList(list, folder.Write("c.txt", "04A3 is only the heading\n0675\n"));
    EXPECT_EQ(list.Entries(), std::vector<std::string>{"0675"});
    EXPECT_THROW(LoadComponentsList(list, folder.File("missing.txt")), RunError);
    EXPECT_TRUE(list.Empty());
}

} // namespace
} // namespace mw
