// A UO Architect batch imported through the workflow that the window and the command line share
// (read, check every design, store all in one transaction), against the sqlite3 shell's bulk
// load of the same rows measured in the same run.
#include "BenchSupport.h"

#include "app/DesignImport.h"
#include "app/Session.h"
#include "formats/UoaDesigns.h"

#include <string>

namespace mw::bench {
namespace {

void BatchImportAgainstShell(const std::string& label, int designs, int tiles) {
    Scratch scratch;
    UoaFile file{UoaBatchVersion, {}};
    std::string csv;
    for (int d = 0; d < designs; ++d) {
        UoaDesign design{"Design " + std::to_string(d),
                         "Category " + std::to_string(d % 10),
                         "Subsection " + std::to_string(d % 3),
                         {}};
        for (int i = 0; i < tiles; ++i) {
            UoaTile tile{
                static_cast<std::uint16_t>(1000 + i % 3000), static_cast<std::int16_t>(i % 41 - 20),
                static_cast<std::int16_t>(i / 41 % 41 - 20), static_cast<std::int16_t>(i % 40)};
            design.Tiles.push_back(tile);
            csv += std::to_string(tile.ItemID) + "," + std::to_string(tile.X) + "," +
                   std::to_string(tile.Y) + "," + std::to_string(tile.Z) + ",1," +
                   std::to_string(d + 1) + "\n";
        }
        file.Designs.push_back(std::move(design));
    }
    std::string source = scratch.File("batch.uoa"), rows = scratch.File("rows.csv");
    WriteText(source, UoaFileBytes(file));
    WriteText(rows, csv);
    file = {};
    csv.clear();
    csv.shrink_to_fit(); // released before the child starts
    auto import = [&](const std::string& library) {
        Session session(scratch.Folder(), library);
        session.cnTemplates.OpenConnection("");
        return StoreDesignBatch(session, ParseDesignBatch(source)).size() ==
               static_cast<size_t>(designs);
    };
    FiguresAgainstShell(scratch, label, import, rows);
}

} // namespace
} // namespace mw::bench

int main(int argc, char** argv) {
    using namespace mw::bench;
    return RunBenchmark(argc, argv, [](bool quick) {
        // 2,000 designs of 1,000 tiles: long enough that a run lasts a second.
        if (quick)
            BatchImportAgainstShell("uoa-batch-import-200k", 200, 1000);
        else
            BatchImportAgainstShell("uoa-batch-import-2M", 2000, 1000);
    });
}
