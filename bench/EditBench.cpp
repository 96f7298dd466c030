// Editing a 10,000-component template: one move of half of it, saving it against importing the
// same template, and the memory that 100 undo steps of whole-template moves take.
#include "BenchSupport.h"

#include "app/Transforms.h"
#include "formats/ComponentsList.h"
#include "formats/TemplateText.h"
#include "store/Connection.h"
#include "store/SaveNewTemplate.h"
#include "store/StoredComponents.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace mw::bench {
namespace {

constexpr std::int32_t Components = 10000;

TemplateComponents House() {
    TemplateComponents house;
    for (std::int32_t i = 0; i < Components; ++i)
        house.push_back({1000 + i % 3000, static_cast<std::int16_t>(i % 100 - 50),
                         static_cast<std::int16_t>(i / 100 - 50), static_cast<std::int16_t>(i % 20),
                         1});
    return house;
}

std::string HouseText(const TemplateComponents& house) {
    return TemplateFileText(static_cast<std::int64_t>(house.size()), [&](std::int64_t i) {
        const Component& c = house[static_cast<size_t>(i)];
        return TemplateLine{c.ItemID, c.X, c.Y, c.Z, c.Flag};
    });
}

double MoveHalfMs() {
    TemplateComponents house = House();
    std::vector<std::uint32_t> half(Components / 2);
    std::iota(half.begin(), half.end(), 0u);
    const Selection selected = Selection::Of(half);
    std::vector<double> times;
    for (int run = 0; run < 21; ++run)
        times.push_back(
            Seconds([&] { MoveComponents(house, selected, run % 2 ? -1 : 1, 0, 0).Apply(house); }));
    return MedianMilliseconds(times);
}

// Each run imports the template from its text and saves the stored one, moved, in turn; the
// median of the ratios.
double SaveAgainstImportRatio() {
    Scratch scratch;
    const std::string library = LibraryFrom(scratch, "edit.dat"), text = scratch.File("house.txt");
    TemplateComponents house = House();
    WriteText(text, HouseText(house));
    Connection cn(library);
    const ComponentsList list;
    const NewTemplateFields fields{"1", "1", "House"};
    std::int32_t id = SaveComponentsAsNew(cn, house, fields, list);
    std::vector<double> ratios;
    for (int run = 0; run < 7; ++run) {
        double import = Seconds([&] {
            ComponentBuffer buffer;
            if (!ReadComponentList(buffer, list, text)) throw std::runtime_error("import failed");
            SaveNewTemplate(cn, buffer, fields);
        });
        MoveComponents(house, Selection::All(), run % 2 ? -1 : 1, 0, 0).Apply(house);
        double save = Seconds([&] { SaveStoredComponents(cn, id, house, list); });
        ratios.push_back(save / import);
    }
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
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
    return RunBenchmark(argc, argv, [](bool) {
        Figure("edit-op-10k-ms", MoveHalfMs());
        Figure("edit-save-10k-vs-import-ratio", SaveAgainstImportRatio());
        ChildRun undo = UndoSteps();
        if (!undo.Ok) throw std::runtime_error("undoing the moves did not give the template back");
        Figure("edit-undo-10k-peak-MiB", undo.PeakMiB);
    });
}
