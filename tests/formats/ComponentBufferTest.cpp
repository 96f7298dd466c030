#include "TestLibrary.h"

#include "common/RunError.h"
#include "formats/ComponentBuffer.h"
#include "formats/ComponentsList.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using Strings = std::vector<std::string>;

// The file skips its heading and empty lines and upper-cases the keys. The main window's test
// loads a components.txt, and goes on without one.
TEST(ComponentsList, TheFileIsReadAndListedItemIdsGetFlagZero) {
    ComponentsList list;
    LoadComponentsList(list, test::DataFile("components-sample.txt"));
    EXPECT_EQ(list.Entries(), (Strings{"04A3", "0A2AC"}));
    ComponentBuffer buffer = test::BufferWith({{"1187", "0", "0", "0", "1"},
                                               {"1188", "0", "0", "0", "1"},
                                               {"41644", "0", "0", "0", "1"},
                                               {"-23892", "0", "0", "0", "1"}});
    ApplyComponentsList(buffer, list);
    EXPECT_EQ(buffer.Flag, (Strings{"0", "1", "0", "0", ""}));
    buffer.ItemID[1] = "65536";
    EXPECT_THROW(ApplyComponentsList(buffer, list), RunError);
}

} // namespace
} // namespace mw
