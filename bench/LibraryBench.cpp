// The main window on big libraries: filling the tree, and a click on a template.
#include "BenchSupport.h"
#include "WindowBench.h"

#include "library/frmWardstone.h"

#include <QApplication>
#include <QTreeWidget>
#include <cstdio>

namespace mw::bench {
namespace {

// templates spread over 100 categories of 10 subsections each; template 1 has `clickedBlocks`
// blocks, the others share the remaining `blocks` evenly.
void FillLibrary(const std::string& path, long templates, long blocks, long clickedBlocks) {
    Connection cn(path);
    cn.OpenConnection(path);
    Transaction fill(cn);
    for (long c = 1; c <= 100; ++c) {
        Statement category = cn.Prepare("insert into Category(Name) values (?1)");
        category.Bind(1, "Category " + std::to_string(c)).Step();
        for (long s = 0; s < 10; ++s) {
            Statement subsection =
                cn.Prepare("insert into SubSection(CategoryID, Name) values (?1, ?2)");
            subsection.Bind(1, std::int64_t{c}).Bind(2, "Subsection " + std::to_string(s)).Step();
        }
    }
    Statement index = cn.Prepare("insert into TemplateIndex(BlockCount, CategoryID, SubsectID, "
                                 "Description) values (0, ?1, ?2, ?3)");
    for (long t = 0; t < templates; ++t) {
        long category = t % 100 + 1;
        index.Bind(1, std::int64_t{category})
            .Bind(2, std::int64_t{(category - 1) * 10 + t / 100 % 10 + 1});
        index.Bind(3, "Template " + std::to_string(t)).Step();
        index.Reset();
    }
    Statement block = cn.Prepare("insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) "
                                 "values (1, 0, 0, 0, 1, ?1)");
    for (long b = 0; b < blocks; ++b) {
        long owner = b < clickedBlocks ? 1 : 2 + (b % (templates - 1));
        block.Bind(1, std::int64_t{owner}).Step();
        block.Reset();
    }
    fill.Commit();
}

struct WindowTimes {
    double Fill = 0, Click = 0;
};

WindowTimes TimeWindow(long templates, long blocks) {
    Scratch scratch;
    LibraryFrom(scratch, "Wardstone.dat");
    FillLibrary(scratch.File("Wardstone.dat"), templates, blocks, 1000);
    Session session(scratch.Folder());
    SilentPrompts prompts(false);
    frmWardstone window(session, prompts);
    window.Form_Initialize();
    WindowTimes times;
    times.Fill = 1e9;
    for (int round = 0; round < 3; ++round)
        times.Fill = std::min(times.Fill, Seconds([&] { window.FillTemplatesList(); }));
    auto found =
        window.trvTemplates->findItems("Template 0", Qt::MatchExactly | Qt::MatchRecursive);
    times.Click = 1e9;
    for (int round = 0; round < 5; ++round)
        times.Click =
            std::min(times.Click, Seconds([&] { window.trvTemplates_Click(found.first()); }));
    return times;
}

} // namespace
} // namespace mw::bench

int main(int argc, char** argv) {
    using namespace mw::bench;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    long blocks = quick ? 1000000 : 10000000;
    WindowTimes small = TimeWindow(10000, blocks / 10);
    WindowTimes large = TimeWindow(100000, blocks);
    Figure("fill-10k-templates-ms", small.Fill * 1000);
    Figure("fill-100k-templates-ms", large.Fill * 1000);
    Figure("fill-growth-for-10x-templates", large.Fill / small.Fill);
    Figure("click-1k-blocks-ms", small.Click * 1000);
    Figure("click-10x-library-ms", large.Click * 1000);
    Figure("click-growth-for-10x-blocks", large.Click / small.Click);
    return 0;
}
