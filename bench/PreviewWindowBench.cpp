// The preview window while it draws a template of 10,000 components with art that it reads for
// the first time: the longest gap between the ticks of a 1 ms timer of the window's thread, from
// the moment the template is chosen until its picture is shown. Loading the components runs on
// that thread and counts; the drawing runs on a worker and must not.
#include "BenchSupport.h"
#include "PreviewData.h"
#include "WindowBench.h"

#include "app/Session.h"
#include "library/frmPreview.h"
#include "store/RowSet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <stdexcept>

namespace mw::bench {
namespace {

void StoreTemplate(const std::string& library, const std::vector<MulRecord>& components) {
    Connection cn(library);
    cn.OpenConnection(library);
    Transaction fill(cn);
    cn.Prepare("insert into Category(Name) values ('Grids')").Step();
    cn.Prepare("insert into SubSection(CategoryID, Name) values (1, 'Large')").Step();
    cn.Prepare("insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) "
               "values (?1, 1, 1, 'Grid')")
        .Bind(1, static_cast<std::int64_t>(components.size()))
        .Step();
    Statement block = cn.Prepare("insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) "
                                 "values (?1, ?2, ?3, ?4, 1, 1)");
    for (const MulRecord& c : components) {
        block.Bind(1, std::int64_t{c.ItemID}).Bind(2, std::int64_t{c.X});
        block.Bind(3, std::int64_t{c.Y}).Bind(4, std::int64_t{c.Z}).Step();
        block.Reset();
    }
    fill.Commit();
}

// The longest gap between timer ticks from ShowTemplate until the drawing is shown.
double MaxStallMilliseconds(frmPreview& preview) {
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer ticks;
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    QEventLoop drawn;
    QObject::connect(&preview, &frmPreview::drawingFinished, &drawn, &QEventLoop::quit);
    ticks.start();
    clock.start();
    preview.ShowTemplate(1, "Grid");
    if (preview.Drawing()) drawn.exec();
    longest = std::max(longest, clock.nsecsElapsed() - last);
    if (!preview.Picture()) throw std::runtime_error("the template was not drawn");
    return static_cast<double>(longest) / 1e6;
}

} // namespace
} // namespace mw::bench

int main(int argc, char** argv) {
    using namespace mw::bench;
    return RunWindowBenchmark(argc, argv, [](bool) {
        Scratch scratch;
        WriteSparseArt(scratch);
        std::string library = LibraryFrom(scratch, "Wardstone.dat");
        StoreTemplate(library, HouseGrid(10000));
        mw::Session session(scratch.Folder());
        session.ArtFolderPath = scratch.Folder();
        SilentPrompts prompts;
        mw::frmPreview preview(session, prompts);
        preview.resize(800, 600);
        preview.show();
        Figure("preview-ui-max-stall-ms", MaxStallMilliseconds(preview));
    });
}
