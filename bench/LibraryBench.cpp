// The main window on big libraries: filling the tree, and a click on a template.
#include "BenchSupport.h"
#include "Turns.h"
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

// The main window over a library of its own, filled as FillLibrary fills it.
class WindowOnLibrary {
public:
    WindowOnLibrary(long templates, long blocks)
        : library_(Filled(scratch_, templates, blocks)), session_(scratch_.Folder()),
          window_(session_, prompts_) {
        window_.Form_Initialize();
    }

    double Fill() {
        return Seconds([&] { window_.FillTemplatesList(); });
    }

    // A click on template 1, whose blocks are the same in every library.
    double Click() {
        auto found =
            window_.trvTemplates->findItems("Template 0", Qt::MatchExactly | Qt::MatchRecursive);
        return Seconds([&] { window_.trvTemplates_Click(found.first()); });
    }

private:
    static std::string Filled(const Scratch& scratch, long templates, long blocks) {
        std::string library = LibraryFrom(scratch, "Wardstone.dat");
        FillLibrary(library, templates, blocks, 1000);
        return library;
    }

    Scratch scratch_;
    std::string library_;
    Session session_;
    SilentPrompts prompts_{false};
    frmWardstone window_;
};

} // namespace
} // namespace mw::bench

int main(int argc, char** argv) {
    using namespace mw::bench;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    long blocks = quick ? 1000000 : 10000000;
    WindowOnLibrary small(10000, blocks / 10), large(100000, blocks);
    const auto fills =
        TakeTurns(LeastRounds, {[&] { return small.Fill(); }, [&] { return large.Fill(); }});
    const auto clicks =
        TakeTurns(LeastRounds, {[&] { return small.Click(); }, [&] { return large.Click(); }});
    Figure("fill-10k-templates-ms", MedianMilliseconds(fills[0]));
    Figure("fill-100k-templates-ms", MedianMilliseconds(fills[1]));
    RatioFigure("fill-growth-for-10x-templates", fills[1], fills[0]);
    Figure("click-1k-blocks-ms", MedianMilliseconds(clicks[0]));
    Figure("click-10x-library-ms", MedianMilliseconds(clicks[1]));
    RatioFigure("click-growth-for-10x-blocks", clicks[1], clicks[0]);
    return 0;
}
