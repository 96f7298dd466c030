#include "Refusals.h"

#include "app/Transforms.h"
#include "formats/ComponentBuffer.h"
#include "formats/ComponentsList.h"

#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace mw {
namespace {

using Cells = std::vector<std::pair<int, int>>;

TemplateComponents At(const Cells& cells, std::int16_t z = 0) {
    TemplateComponents components;
    std::int32_t item = 1000;
    for (auto [x, y] : cells)
        components.push_back(
            {item++, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), z});
    return components;
}

Cells CellsOf(const TemplateComponents& components) {
    Cells cells;
    for (const Component& c : components)
        cells.emplace_back(c.X, c.Y);
    return cells;
}

Cells Applied(const Edit& edit, TemplateComponents components) {
    edit.Apply(components);
    return CellsOf(components);
}

// Worked by hand; the cells are also the bounds' corners. 3x3 tiles turn about their middle tile;
// 4x2 about a tile corner; 3x2 and 3x2 one tile further east about the tile beside the centre
// whose x + y is even: (1, 1) and (2, 0). A half turn is about the centre itself.
TEST(Transforms, TurnsAndMirrorsOfOddAndEvenSizes) {
    const Cells square{{0, 0}, {1, 0}, {2, 2}}, wide{{0, 0}, {3, 0}, {3, 1}, {1, 1}},
        mixed{{0, 0}, {2, 0}, {0, 1}, {2, 1}}, east{{1, 0}, {3, 1}};
    const std::vector<std::tuple<Cells, int, Cells>> turns = {
        {square, 90, {{2, 0}, {2, 1}, {0, 2}}},
        {square, 180, {{2, 2}, {1, 2}, {0, 0}}},
        {square, 270, {{0, 2}, {0, 1}, {2, 0}}},
        {wide, 90, {{2, -1}, {2, 2}, {1, 2}, {1, 0}}},
        {wide, 180, {{3, 1}, {0, 1}, {0, 0}, {2, 0}}},
        {mixed, 90, {{2, 0}, {2, 2}, {1, 0}, {1, 2}}},
        {mixed, 180, {{2, 1}, {0, 1}, {2, 0}, {0, 0}}},
        {mixed, 270, {{0, 2}, {0, 0}, {1, 2}, {1, 0}}},
        {east, 90, {{2, -1}, {1, 1}}},
    };
    for (const auto& [cells, degrees, expected] : turns)
        EXPECT_EQ(Applied(RotateComponents(At(cells), Selection::All(), degrees), At(cells)),
                  expected)
            << degrees << " degrees, " << cells.size() << " cells";
    EXPECT_EQ(Applied(MirrorComponents(At(wide), Selection::All(), Axis::X), At(wide)),
              (Cells{{3, 0}, {0, 0}, {0, 1}, {2, 1}}));
    EXPECT_EQ(Applied(MirrorComponents(At(mixed), Selection::All(), Axis::Y), At(mixed)),
              (Cells{{0, 1}, {2, 1}, {0, 0}, {2, 0}}));
    // A selection turns about its own centre; the rest stays.
    EXPECT_EQ(Applied(RotateComponents(At(square), Selection::Of({1, 2}), 180), At(square)),
              (Cells{{0, 0}, {2, 2}, {1, 0}}));
    EXPECT_EQ(RotateComponents(At(square), Selection::All(), 90).Name(), "Rotate 90 degrees");
    test::ExpectRefused([&] { RotateComponents(At(square), Selection::All(), 45); },
                        err::InvalidProcedureCall, {"45"});
}

using Step = std::function<Edit(const TemplateComponents&)>;

Step Turn(int degrees) {
    return [degrees](const TemplateComponents& t) {
        return RotateComponents(t, Selection::All(), degrees);
    };
}

Step Mirror(Axis axis) {
    return
        [axis](const TemplateComponents& t) { return MirrorComponents(t, Selection::All(), axis); };
}

bool Centred(const TemplateComponents& components) {
    TemplateComponents again = components;
    RecentreTemplate(again).Apply(again);
    return again == components;
}

// The template after the steps; when it starts centred, it must stay so after every step.
TemplateComponents After(TemplateComponents t, const std::vector<Step>& steps) {
    bool centred = Centred(t);
    for (const Step& step : steps) {
        step(t).Apply(t);
        EXPECT_TRUE(!centred || Centred(t));
    }
    return t;
}

// Every box of up to 4 x 4 tiles, wherever it lies: four quarter turns, 90 then 270, two half
// turns and two mirrors give it back exactly, and one centred as the server centres stays so.
TEST(Transforms, TurnsComeBackExactlyAndKeepACentredTemplateCentred) {
    for (int w = 0; w < 4; ++w)
        for (int h = 0; h < 4; ++h)
            for (int x0 = -3; x0 <= 3; ++x0)
                for (int y0 = -2; y0 <= 2; ++y0) {
                    // The corners and a cell beside one, so that no two cells look alike.
                    TemplateComponents box =
                        At({{x0, y0}, {x0 + w, y0}, {x0, y0 + h}, {x0 + w, y0 + h}, {x0 + 1, y0}});
                    SCOPED_TRACE(std::to_string(w + 1) + "x" + std::to_string(h + 1) + " at " +
                                 std::to_string(x0) + "," + std::to_string(y0));
                    EXPECT_EQ(After(box, {Turn(90), Turn(90), Turn(90), Turn(90)}), box);
                    EXPECT_EQ(After(box, {Turn(90), Turn(270)}), box);
                    EXPECT_EQ(After(box, {Turn(180), Turn(180)}), box);
                    EXPECT_EQ(After(box, {Mirror(Axis::X), Mirror(Axis::X)}), box);
                    EXPECT_EQ(BoundsOf(After(box, {Mirror(Axis::Y)})), BoundsOf(box));
                    RecentreTemplate(box).Apply(box);
                    EXPECT_TRUE(Centred(box));
                    After(box, {Turn(90), Turn(180), Turn(270), Mirror(Axis::X), Turn(90)});
                }
}

// Re-centring shifts as the world-save readers do, ties to even; z is kept.
TEST(Transforms, RecentringAsTheServersExtract) {
    for (const auto& [xs, expected] : std::vector<std::pair<Cells, Cells>>{
             {{{10, 100}, {13, 104}}, {{-2, -2}, {1, 2}}},
             {{{10, 7}, {15, 7}}, {{-2, 0}, {3, 0}}},
             {{{100, 200}, {101, 200}, {102, 204}}, {{-1, -2}, {0, -2}, {1, 2}}}}) {
        TemplateComponents t = At(xs, 9);
        RecentreTemplate(t).Apply(t);
        EXPECT_EQ(CellsOf(t), expected);
        EXPECT_EQ(t.front().Z, 9);
    }
}

// Every step undone gives the template back exactly, and redone gives the same result again;
// the selection to show follows the step.
TEST(Transforms, EveryStepUndoesAndRedoesExactly) {
    ComponentsList list;
    list.Add("0675");
    const TemplateComponents start = {
        {1000, 0, 0, 0, 1}, {1653, 2, -1, 5, 0}, {1000, -3, 4, 0, 1}, {-63888, 1, 1, 7, 1}};
    const Selection some = Selection::Of({3, 1, 3});
    using Make = std::function<Edit(const TemplateComponents&)>;
    const std::vector<std::tuple<std::string, Make, TemplateComponents>> steps = {
        {"Move",
         [&](auto& t) { return MoveComponents(t, some, 1, -2, 3); },
         {start[0], {1653, 3, -3, 8, 0}, start[2], {-63888, 2, -1, 10, 1}}},
        {"Delete", [&](auto& t) { return DeleteComponents(t, some); }, {start[0], start[2]}},
        {"Set z",
         [&](auto& t) { return SetZ(t, some, -4); },
         {start[0], {1653, 2, -1, -4, 0}, start[2], {-63888, 1, 1, -4, 1}}},
        {"Replace item id", // 1648 is stored in the old negative form
         [&](auto& t) { return ReplaceItemId(t, Selection::All(), 1648, 1653, list); },
         {start[0], start[1], start[2], {1653, 1, 1, 7, 0}}},
        {"Paste",
         [&](auto& t) {
             return AddComponents(t, PlacedAt(CopyComponents(t, some), 10, 20), some, "Paste");
         },
         {start[0], start[1], start[2], start[3], {1653, 10, 19, 5, 0}, {-63888, 9, 21, 7, 1}}},
        {"Add",
         [&](auto& t) { return AddComponents(t, {NewComponent(1653, 5, 6, 7, list)}, some); },
         {start[0], start[1], start[2], start[3], {1653, 5, 6, 7, 0}}},
        {"Re-centre",
         [&](auto& t) { return RecentreTemplate(t); },
         {{1000, 0, -2, 0, 1}, {1653, 2, -3, 5, 0}, {1000, -3, 2, 0, 1}, {-63888, 1, -1, 7, 1}}},
    };
    for (const auto& [name, make, expected] : steps) {
        TemplateComponents t = start;
        Edit step = make(t);
        EXPECT_EQ(step.Name(), name);
        step.Apply(t);
        EXPECT_EQ(t, expected) << name;
        step.Revert(t);
        EXPECT_EQ(t, start) << name;
        step.Apply(t);
        EXPECT_EQ(t, expected) << name;
    }
    TemplateComponents t = start;
    EXPECT_EQ(DeleteComponents(t, some).SelectionAfter(), Selection::None());
    EXPECT_EQ(AddComponents(t, CopyComponents(t, some), some).SelectionAfter(),
              Selection::Of({4, 5}));
    EXPECT_EQ(WithItemId(t, Selection::All(), 1000), Selection::Of({0, 2}));
    EXPECT_EQ(ReplaceItemId(t, some, 1000, 1, list).Changed(), 0u); // none selected has it
}

// Repeated moves of the same components are one undo step; a step that would leave the ranges
// is refused when it is made, and the template is not touched.
TEST(Transforms, MovesMergeAndStepsOutOfRangeAreRefused) {
    const TemplateComponents start = At({{0, 0}, {32766, -32767}});
    TemplateComponents t = start;
    Edit first = MoveComponents(t, Selection::All(), 1, 0, 0);
    first.Apply(t);
    Edit second = MoveComponents(t, Selection::All(), 0, -1, 2);
    second.Apply(t);
    EXPECT_TRUE(first.Merge(second));
    EXPECT_FALSE(first.Merge(MirrorComponents(t, Selection::All(), Axis::X)));
    EXPECT_FALSE(first.Merge(MoveComponents(t, Selection::Of({0}), 0, -1, 2)));
    first.Revert(t);
    EXPECT_EQ(t, start);

    test::ExpectRefused([&] { MoveComponents(t, Selection::Of({1}), 2, 0, 0); }, err::Overflow,
                        {"32768", "nothing was changed"});
    test::ExpectRefused([&] { MoveComponents(t, Selection::All(), 0, -2, 0); }, err::Overflow);
    TemplateComponents wide = At({{-32768, 0}, {32767, 1}}); // turned, it would be too tall
    test::ExpectRefused([&] { RotateComponents(wide, Selection::All(), 90); }, err::Overflow);
    test::ExpectRefused([&] { SetZ(t, Selection::All(), 40000); }, err::Overflow);
    test::ExpectRefused([&] { DeleteComponents(t, Selection::Of({2})); }, err::SubscriptOutOfRange,
                        {"component 3"});
    ComponentsList list;
    test::ExpectRefused([&] { NewComponent(65536, 0, 0, 0, list); }, err::Overflow, {"65536"});
    test::ExpectRefused([&] { ReplaceItemId(t, Selection::All(), 1, -1, list); }, err::Overflow);
    EXPECT_EQ(t, start);
}

// The text buffer carries the typed value's components and their bounds.
TEST(Transforms, TypedValueFillsTheBuffer) {
    const TemplateComponents typed = {{1187, -1, 2, 5, 0}, {41644, 4, -3, 0, 1}};
    ComponentBuffer buffer;
    FillBuffer(buffer, typed);
    EXPECT_EQ(test::Rows(buffer), (std::vector<std::string>{"1187 -1 2 5 0", "41644 4 -3 0 1"}));
    EXPECT_EQ(std::tie(buffer.MinX, buffer.MaxX, buffer.MinY, buffer.MaxY),
              std::make_tuple(-1, 4, -3, 2));
}

} // namespace
} // namespace mw
