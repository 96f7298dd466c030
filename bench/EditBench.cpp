// Editing a 10,000-component template: opening it in the editor until its drawing shows, one
// move of half of it with its redraw, saving it against importing the same template, and the
// memory that 100 undo steps of whole-template moves take.
#include "BenchSupport.h"
#include "PreviewData.h"
#include "Turns.h"
#include "WindowBench.h"

#include "app/Session.h"
#include "app/Transforms.h"
#include "formats/ComponentsList.h"
#include "formats/TemplateText.h"
#include "library/frmEditor.h"
#include "library/frmWardstone.h"
#include "store/Connection.h"
#include "store/SaveNewTemplate.h"
#include "store/StoredComponents.h"

#include <QApplication>
#include <QEventLoop>
#include <QSettings>
#include <QUndoStack>
#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace mw::bench {
namespace {

constexpr size_t Components = 10000;

TemplateComponents House() {
    TemplateComponents house;
    for (const MulRecord& c : HouseGrid(Components))
        house.push_back({c.ItemID, c.X, c.Y, c.Z, 1});
    return house;
}

std::string HouseText(const TemplateComponents& house) {
    return TemplateFileText(static_cast<std::int64_t>(house.size()), [&](std::int64_t i) {
        const Component& c = house[static_cast<size_t>(i)];
        return TemplateLine{c.ItemID, c.X, c.Y, c.Z, c.Flag};
    });
}

// A library with the house as template 1, in Grids / Large.
std::string HouseLibrary(const Scratch& scratch, const std::string& name) {
    const std::string library = LibraryFrom(scratch, name);
    Connection cn(library);
    cn.OpenConnection("");
    cn.Run("insert into Category(Name) values ('Grids')");
    cn.Run("insert into SubSection(CategoryID, Name) values (1, 'Large')");
    SaveComponentsAsNew(cn, House(), {"1", "1", "Grid"}, ComponentsList());
    return library;
}

void WaitDrawn(frmEditor& editor) {
    QEventLoop drawn;
    QObject::connect(&editor, &frmEditor::drawingFinished, &drawn, &QEventLoop::quit);
    if (editor.Drawing()) drawn.exec();
    if (!editor.Picture()) throw std::runtime_error("the template was not drawn");
}

struct WindowFigures {
    double OpenMs = 0, MoveMs = 0;
};

// The editor of the main window over the house's library, with the art of PreviewData; the
// open from the editor's making until its drawing shows, the move from the key until the moved
// drawing shows, each the median of several.
WindowFigures EditorFigures(bool quick) {
    Scratch scratch;
    WriteSparseArt(scratch);
    HouseLibrary(scratch, "Wardstone.dat");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(scratch.Folder()));
    Session session(scratch.Folder());
    SilentPrompts prompts;
    frmWardstone main(session, prompts);
    if (!main.Form_Initialize()) throw std::runtime_error("the library did not open");
    session.ArtFolderPath = scratch.Folder();
    std::vector<double> opens, moves;
    for (int run = 0; run < (quick ? 2 : 5); ++run) {
        frmEditor* editor = nullptr;
        opens.push_back(Seconds([&] {
            editor = new frmEditor(main, 1);
            editor->show();
            WaitDrawn(*editor);
        }));
        std::vector<std::uint32_t> half(Components / 2);
        std::iota(half.begin(), half.end(), 0u);
        editor->Select(Selection::Of(half));
        for (int move = 0; move < (quick ? 3 : 11); ++move)
            moves.push_back(Seconds([&] {
                editor->MoveSelection(move % 2 ? -1 : 1, 0, 0);
                WaitDrawn(*editor);
            }));
        editor->UndoStack()->setClean(); // closed without a question
        delete editor;
    }
    return {MedianMilliseconds(opens), MedianMilliseconds(moves)};
}

// Imports the template from its text and saves the stored one, moved, in turns.
void SaveAgainstImportRatio() {
    Scratch scratch;
    const std::string library = HouseLibrary(scratch, "edit.dat"), text = scratch.File("house.txt");
    TemplateComponents house = House();
    WriteText(text, HouseText(house));
    Connection cn(library);
    const ComponentsList list;
    int saves = 0;
    const auto samples = TakeTurns(
        7, {[&] {
                return Seconds([&] {
                    ComponentBuffer buffer;
                    if (!ReadComponentList(buffer, list, text))
                        throw std::runtime_error("import failed");
                    SaveNewTemplate(cn, buffer, {"1", "1", "House"});
                });
            },
            [&] {
                MoveComponents(house, Selection::All(), saves++ % 2 ? -1 : 1, 0, 0).Apply(house);
                return Seconds([&] { SaveStoredComponents(cn, 1, house, list); });
            }});
    RatioFigure("edit-save-10k-vs-import-ratio", samples[1], samples[0]);
}

// In a child process of its own, so that only the editing counts: the template, 100 moves kept
// as undo steps, and all of them undone.
ChildRun UndoSteps() {
    return RunInChild([] {
        const TemplateComponents original = House();
        TemplateComponents house = original;
        std::vector<Edit> steps;
        for (int step = 0; step < 100; ++step) {
            steps.push_back(MoveComponents(house, Selection::All(), 1, step % 3 - 1, 0));
            steps.back().Apply(house);
        }
        for (auto step = steps.rbegin(); step != steps.rend(); ++step)
            step->Revert(house);
        return house == original;
    });
}

} // namespace
} // namespace mw::bench

int main(int argc, char** argv) {
    using namespace mw::bench;
    return RunWindowBenchmark(argc, argv, [](bool quick) {
        ChildRun undo = UndoSteps(); // first: the child copies no window
        if (!undo.Ok) throw std::runtime_error("undoing the moves did not give the template back");
        const WindowFigures window = EditorFigures(quick);
        Figure("edit-open-10k-ms", window.OpenMs);
        Figure("edit-op-10k-ms", window.MoveMs);
        SaveAgainstImportRatio();
        Figure("edit-undo-10k-peak-MiB", undo.PeakMiB);
    });
}
