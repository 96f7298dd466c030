// Storing a big template against the sqlite3 shell's own bulk load of the same rows, and
// reading one template from a small and from a huge library.
#include "BenchSupport.h"
#include "Turns.h"

#include "formats/ComponentsList.h"
#include "formats/TemplateText.h"
#include "store/CTempBlock.h"
#include "store/SaveNewTemplate.h"

#include <cstdio>
#include <stdexcept>
#include <string>

namespace mw::bench {
namespace {

struct Component {
    int ItemID, X, Y, Z;
};

Component Nth(long i) {
    return {1000 + static_cast<int>(i % 3000), static_cast<int>(i % 200) - 100,
            static_cast<int>(i / 200 % 200) - 100, static_cast<int>(i % 40)};
}

void WriteSources(long n, const std::string& textPath, const std::string& csvPath) {
    std::string text = "6 version\r\n1 template id\r\n-1 item version\r\n" + std::to_string(n) +
                       " num components\r\n";
    std::string csv;
    char line[96];
    for (long i = 0; i < n; ++i) {
        Component c = Nth(i);
        std::snprintf(line, sizeof line, "%d %d %d %d 1\r\n", c.ItemID, c.X, c.Y, c.Z);
        text += line;
        std::snprintf(line, sizeof line, "%d,%d,%d,%d,1,1\n", c.ItemID, c.X, c.Y, c.Z);
        csv += line;
    }
    WriteText(textPath, text);
    WriteText(csvPath, csv);
}

void StoreAgainstShell(long n, const std::string& label) {
    Scratch scratch;
    std::string textPath = scratch.File("extract.txt"), csvPath = scratch.File("blocks.csv");
    WriteSources(n, textPath, csvPath);

    auto store = [&](const std::string& library) {
        Connection cn(library);
        ComponentBuffer buffer;
        if (!ReadComponentList(buffer, ComponentsList(), textPath)) return false;
        SaveNewTemplate(cn, buffer, {"1", "1", "Bench"});
        return true;
    };
    // The same import through the command-line tool, as a script would run it.
    auto cli = [&] {
        std::string library = LibraryFrom(scratch, "cli.dat");
        return TimeCommand(
            std::string(CLI_PATH) + " import --db " + library + " --from txt " + textPath +
            " --category Bench --subsection Bench --description Bench --create > /dev/null");
    };
    FiguresAgainstShell(scratch, label, store, csvPath,
                        {{"cli-import-" + label.substr(label.find('-') + 1), cli}});
}

// A library whose TemplateBlocks table holds `rows` rows, among them one template of 500 blocks.
class FilterLibrary {
public:
    explicit FilterLibrary(long rows) : path_(LibraryFrom(scratch_, "filter.dat")), cn_(path_) {
        cn_.OpenConnection(path_);
        Transaction fill(cn_);
        Statement insert =
            cn_.Prepare("insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) "
                        "values (1, 0, 0, 0, 1, ?1)");
        for (long i = 0; i < rows; ++i) {
            // Template 7 sits in the middle of the table; the others have 500 blocks each.
            bool ours = i >= rows / 2 && i < rows / 2 + 500;
            insert.Bind(1, static_cast<std::int64_t>(ours ? 7 : 100 + i / 500));
            insert.Step();
            insert.Reset();
        }
        fill.Commit();
    }

    // The seconds that reading template 7 takes.
    double ReadOneTemplate() {
        return Seconds([&] {
            CTempBlock blocks(cn_);
            blocks.Connect(path_, adUseServer, adLockReadOnly);
            blocks.Filter("TempIndexID='7'");
            long sum = 0;
            for (std::int32_t n = blocks.RecordCount(); n > 0; --n, blocks.MoveNext())
                sum += blocks.ItemID() + blocks.X() + blocks.Y() + blocks.Z();
            if (sum != 500) throw std::runtime_error("wrong template read");
        });
    }

private:
    Scratch scratch_;
    std::string path_;
    Connection cn_;
};

} // namespace
} // namespace mw::bench

int main(int argc, char** argv) {
    using namespace mw::bench;
    return RunBenchmark(argc, argv, [](bool quick) {
        StoreAgainstShell(quick ? 100000 : 1000000, quick ? "store-100k" : "store-1M");
        FilterLibrary small(1000), huge(quick ? 1000000 : 10000000);
        const auto reads = TakeTurns(LeastRounds, {[&] { return small.ReadOneTemplate(); },
                                                   [&] { return huge.ReadOneTemplate(); }});
        std::string label = quick ? "filter-1M" : "filter-10M";
        Figure("filter-1k-ms", MedianMilliseconds(reads[0]));
        Figure(label + "-ms", MedianMilliseconds(reads[1]));
        RatioFigure(label + "-vs-1k-ratio", reads[1], reads[0]);
    });
}
