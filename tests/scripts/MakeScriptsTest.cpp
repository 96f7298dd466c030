#include "../patcher/MultiBytes.h"

#include "common/RunError.h"
#include "formats/ComponentsList.h"
#include "scripts/MakeScripts.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

const std::vector<std::string> Heading = {
    "/////////////////////////////////////////////////////////",
    "// Multi Script - Change #### to available Item ID # ",
    "in your sphereitems2.scp. Copy and paste script to your sphereitems2.scp.", ""};

class MakeScriptsTest : public ::testing::Test {
protected:
    MakeScriptsTest() { list.Add("0675"); }
    std::string Old() { return MakeScripts51a({tower, list, 101}, entry); }
    std::string New() { return MakeScripts55({tower, list, 101}, entry); }

    // The one listed component, 1653 at 0, -3, 0, among two others; bounds -3, -3, 3, 4.
    ComponentBuffer tower = test::BufferOf({{"1200", "3", "4", "0", "1"},
                                            {"1653", "0", "-3", "0", "0"},
                                            {"1201", "-3", "-3", "2", "1"}});
    ComponentsList list;
    ScriptEntry entry{" Small Tower ", "500 ", " 250"};
};

TEST_F(MakeScriptsTest, SmallTowerInTheNewFormat) {
    std::vector<std::string> lines = Heading;
    lines.insert(lines.end(), {"[ITEMDEF 04064]",
                               "DEFNAME=i_Small_Tower",
                               "NAME=Small Tower",
                               "TYPE=T_MULTI",
                               "VALUE=500",
                               "MULTIREGION=-3,-3,3,4",
                               "COMPONENT=0675,0,-3,0,0",
                               "CATEGORY=MULTIS",
                               "SUBSECTION=Custom Structures",
                               "DESCRIPTION=Small Tower",
                               "",
                               "// This is the script for the deed. Change [####] to next ID #",
                               "// in your sphereitems2.scp.",
                               "",
                               "[ITEMDEF i_deed_Small_Tower]",
                               "DEFNAME=i_deed_Small_Tower",
                               "NAME=Deed to a Small Tower",
                               "ID=i_Deed",
                               "RESOURCES=i_deed, i_Small_Tower",
                               "",
                               "ON=@Create",
                               "MORE=i_Small_Tower",
                               "",
                               "CATEGORY=Provisons - Deeds",
                               "SUBSECTION=Custom Deeds",
                               "DESCRIPTION=Deed to Small Tower"});
    EXPECT_EQ(New(), Lines(lines));
    EXPECT_EQ(New().find("250"), std::string::npos); // the sell value is not in this format
}

TEST_F(MakeScriptsTest, SmallTowerInTheOldFormat) {
    std::vector<std::string> lines = Heading;
    lines.insert(lines.end(), {"[4064]",
                               "NAME=Small Tower",
                               "TYPE=47",
                               "CATEGORY=MULTIS",
                               "SUBSECTION=Custom Structures",
                               "DESCRIPTION=Small Tower",
                               "MULTIREGION=-3, -3, 3, 4",
                               "COMPONENT=0675, 0, -3, 0",
                               "",
                               "",
                               "// This is the script for the deed. Change [####] to next ID #",
                               "// in your sphereitems2.scp.",
                               "[####]",
                               "NAME=Deed to a Small Tower",
                               "MORE=4064",
                               "ID=Vendor_Deed",
                               "BUYVALUE=500",
                               "SELLVALUE=250",
                               "CATEGORY=Multis",
                               "SUBSECTION=Custom Deeds",
                               "DESCRIPTION=Deed to Small Tower"});
    EXPECT_EQ(Old(), Lines(lines));
}

TEST_F(MakeScriptsTest, BlanksOfTheNameBecomeUnderscoresInTheNewFormatOnly) {
    entry.MultiName = "Big Stone House";
    std::string text = New();
    EXPECT_NE(text.find("\r\nDEFNAME=i_Big_Stone_House\r\nNAME=Big Stone House\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n[ITEMDEF i_deed_Big_Stone_House]\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nRESOURCES=i_deed, i_Big_Stone_House\r\n"), std::string::npos);
    EXPECT_NE(Old().find("\r\nNAME=Deed to a Big Stone House\r\n"), std::string::npos);
}

TEST_F(MakeScriptsTest, WithoutAComponentsListNoComponentIsListed) {
    list.Clear();
    EXPECT_NE(New().find("MULTIREGION=-3,-3,3,4\r\nCATEGORY=MULTIS\r\n"), std::string::npos);
    EXPECT_NE(Old().find("MULTIREGION=-3, -3, 3, 4\r\n\r\n\r\n// This"), std::string::npos);
    EXPECT_EQ(New().find("COMPONENT="), std::string::npos);
}

TEST_F(MakeScriptsTest, ListedComponentsInBufferOrderWithTheir16BitHexId) {
    tower = test::BufferOf({{"-23892", "1", "2", "3", "0"},
                            {"1653", "0", "-3", "0", "1"},
                            {"65535", "-1", "0", "0", "0"},
                            {"16384", "0", "0", "7", "0"}});
    EXPECT_NE(New().find("\r\nCOMPONENT=0A2AC,1,2,3,0\r\nCOMPONENT=0FFFF,-1,0,0,0\r\n"
                         "COMPONENT=04000,0,0,7,0\r\nCATEGORY"),
              std::string::npos);
    EXPECT_EQ(New().find("FFFFA2AC"), std::string::npos);
    EXPECT_NE(Old().find("\r\nCOMPONENT=0A2AC, 1, 2, 3\r\n"), std::string::npos);

    tower.ItemID[2] = "65536";
    try {
        New();
        FAIL();
    } catch (const RunError& failure) {
        EXPECT_EQ(failure.Description.rfind("Component 3, item id", 0), 0u);
    }
}

TEST_F(MakeScriptsTest, FormatTwoIsTheOldOneAnyOtherTheNew) {
    EXPECT_EQ(MakeScripts(2, {tower, list, 101}, entry), Old());
    EXPECT_EQ(MakeScripts(1, {tower, list, 101}, entry), New());
    EXPECT_EQ(MakeScripts(0, {tower, list, 101}, entry), New());
    EXPECT_NE(MakeScripts55({tower, list, 1}, entry).find("\r\n[ITEMDEF 04000]\r\n"),
              std::string::npos);
}

} // namespace
} // namespace mw
