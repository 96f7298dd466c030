#include "TestLibrary.h"

#include "common/RunError.h"
#include "formats/ComponentsList.h"
#include "scripts/MakeScripts.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using Edits = std::vector<std::pair<std::string, std::string>>;

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text = text + line + "\r\n";
    return text;
}

const std::string Heading =
    Lines({"/////////////////////////////////////////////////////////",
           "// Multi Script - Change #### to available Item ID # ",
           "in your sphereitems2.scp. Copy and paste script to your sphereitems2.scp.", ""});

const std::string DeedComment =
    Lines({"// This is the script for the deed. Change [####] to next ID #",
           "// in your sphereitems2.scp."});

// The worked example, Small Tower in entry 101, in the format of servers up to 51a...
const std::string OldTower =
    Heading +
    Lines({"[4064]", "NAME=Small Tower", "TYPE=47", "CATEGORY=MULTIS",
           "SUBSECTION=Custom Structures", "DESCRIPTION=Small Tower", "MULTIREGION=-3, -3, 3, 4",
           "COMPONENT=0675, 0, -3, 0", "", ""}) +
    DeedComment +
    Lines({"[####]", "NAME=Deed to a Small Tower", "MORE=4064", "ID=Vendor_Deed", "BUYVALUE=500",
           "SELLVALUE=250", "CATEGORY=Multis", "SUBSECTION=Custom Deeds",
           "DESCRIPTION=Deed to Small Tower"});

// ...and of 55 and later.
const std::string NewTower =
    Heading +
    Lines({"[ITEMDEF 04064]", "DEFNAME=i_Small_Tower", "NAME=Small Tower", "TYPE=T_MULTI",
           "VALUE=500", "MULTIREGION=-3,-3,3,4", "COMPONENT=0675,0,-3,0,0", "CATEGORY=MULTIS",
           "SUBSECTION=Custom Structures", "DESCRIPTION=Small Tower", ""}) +
    DeedComment +
    Lines({"", "[ITEMDEF i_deed_Small_Tower]", "DEFNAME=i_deed_Small_Tower",
           "NAME=Deed to a Small Tower", "ID=i_Deed", "RESOURCES=i_deed, i_Small_Tower", "",
           "ON=@Create", "MORE=i_Small_Tower", "", "CATEGORY=Provisons - Deeds",
           "SUBSECTION=Custom Deeds", "DESCRIPTION=Deed to Small Tower"});

// The text with every occurrence of each first text replaced by the second.
std::string Edited(std::string text, const Edits& edits) {
    for (const auto& [from, to] : edits) {
        EXPECT_NE(text.find(from), std::string::npos) << from;
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
            text.replace(at, from.size(), to), at += to.size();
    }
    return text;
}

class MakeScriptsTest : public ::testing::Test {
protected:
    MakeScriptsTest() {
        list.Add("0675");
        tower.MinX = -3, tower.MinY = -3, tower.MaxX = 3, tower.MaxY = 4;
    }
    // Both texts whole, against the worked example's with these edits.
    void ExpectTexts(const Edits& oldEdits, const Edits& newEdits) {
        EXPECT_EQ(MakeScripts51a({tower, list, 101}, entry), Edited(OldTower, oldEdits));
        EXPECT_EQ(MakeScripts55({tower, list, 101}, entry), Edited(NewTower, newEdits));
    }

    // The one listed component, 1653 at 0, -3, 0 (its flag 0), among two others.
    ComponentBuffer tower = test::BufferWith({{"1200", "3", "4", "0", "1"},
                                              {"1653", "0", "-3", "0", "0"},
                                              {"1201", "-3", "-3", "2", "1"}});
    ComponentsList list;
    ScriptEntry entry{" Small Tower ", "500 ", " 250"};
};

// The worked example through the format setting: 2 is the old format, 3 Source-X (below), any
// other the new one. The window's patch test follows another name and slot into both.
TEST_F(MakeScriptsTest, SmallTowerInBothFormats) {
    EXPECT_EQ(MakeScripts(2, {tower, list, 101}, entry), OldTower);
    EXPECT_EQ(MakeScripts(1, {tower, list, 101}, entry), NewTower);
    EXPECT_EQ(MakeScripts(4, {tower, list, 101}, entry), NewTower);
}

// Source-X's worked example line by line: entry 4 (multi 3), one listed door at 0, 1, 0.
TEST_F(MakeScriptsTest, SourceXStoneHut) {
    ComponentBuffer hut =
        test::BufferWith({{"1653", "0", "1", "0", "0"}, {"1200", "-1", "-1", "0", "1"}});
    hut.MinX = -1, hut.MinY = -1, hut.MaxX = 1, hut.MaxY = 1;
    EXPECT_EQ(
        MakeScripts(3, {hut, list, 4}, {"Stone Hut", "500", ""}),
        Lines({"// Multi Stone Hut, made by MultiWardstone", "[MULTIDEF 03]", "DEFNAME=m_Stone_Hut",
               "NAME=Stone Hut", "TYPE=t_multi", "MULTIREGION=-1,-1,1,1", "COMPONENT=0675,0,1,0",
               "", "[ITEMDEF i_deed_Stone_Hut]", "NAME=Deed to a Stone Hut", "ID=i_deed",
               "VALUE=500", "ON=@Create", "MORE=m_Stone_Hut"}));
}

// Source-X (format 3): the multi id after a "0" however long it is, the listed components without
// the 55 format's trailing field, no sell value even when one is given, a line end in the buy
// value a blank.
TEST_F(MakeScriptsTest, SourceXMultiAndDeed) {
    ComponentBuffer keep = test::BufferWith({{"-32768", "2", "-2", "5", "0"},
                                             {"1200", "0", "0", "0", "1"},
                                             {"41644", "-2", "2", "0", "0"}});
    keep.MinX = -2, keep.MinY = -2, keep.MaxX = 2, keep.MaxY = 2;
    EXPECT_EQ(MakeScripts(3, {keep, list, 0x1F5}, {"Great Keep ", " 12000\n", "250"}),
              Lines({"// Multi Great Keep, made by MultiWardstone", "[MULTIDEF 01F4]",
                     "DEFNAME=m_Great_Keep", "NAME=Great Keep", "TYPE=t_multi",
                     "MULTIREGION=-2,-2,2,2", "COMPONENT=08000,2,-2,5", "COMPONENT=0A2AC,-2,2,0",
                     "", "[ITEMDEF i_deed_Great_Keep]", "NAME=Deed to a Great Keep", "ID=i_deed",
                     "VALUE=12000", "ON=@Create", "MORE=m_Great_Keep"}));
}

// A name of quotes, an apostrophe, brackets, a line end, a tab and a non-ASCII letter, and a buy
// value with a line end, in each format: the texts stay on their lines, no bracket can open a
// section and the defnames are letters, digits and underscores.
TEST_F(MakeScriptsTest, OddNamesStayOnTheirLinesInEveryFormat) {
    entry = {" Bob's \"Tower\"\r\n[Caf\xC3\xA9]\tEast ", "500\r\nVALUE=1", "250"};
    for (auto [format, golden] : {std::pair{OldScriptFormat, "scripts-51a.scp"},
                                  std::pair{NewScriptFormat, "scripts-55.scp"},
                                  std::pair{SourceXScriptFormat, "scripts-sourcex.scp"}})
        EXPECT_EQ(MakeScripts(format, {tower, list, 101}, entry),
                  test::ReadFile(test::DataFile(golden)))
            << golden;
}

// Listed components in buffer order; a stored negative id prints as the 16-bit id it stands for,
// never as FFFFA2AC. Without a components list no component is listed.
TEST_F(MakeScriptsTest, ListedComponentsWithTheir16BitHexId) {
    tower.ItemID[0] = "-23892", tower.Flag[0] = "0";
    tower.ItemID[1] = "65535";
    ExpectTexts(
        {{"COMPONENT=0675, 0, -3, 0", "COMPONENT=0A2AC, 3, 4, 0\r\nCOMPONENT=0FFFF, 0, -3, 0"}},
        {{"COMPONENT=0675,0,-3,0,0", "COMPONENT=0A2AC,3,4,0,0\r\nCOMPONENT=0FFFF,0,-3,0,0"}});
    list.Clear();
    ExpectTexts({{"COMPONENT=0675, 0, -3, 0\r\n", ""}}, {{"COMPONENT=0675,0,-3,0,0\r\n", ""}});
}

} // namespace
} // namespace mw
