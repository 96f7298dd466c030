#pragma once

#include "formats/TemplateComponents.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace mw {

class ComponentsList;

// Operations on a template in memory, each made as one undoable step (an Edit) that records
// what it changes and nothing more: a move, a turn or a mirror of the whole template is a few
// numbers, whatever its size; the other steps keep the indices and values they change. A step
// is made against the template as it is now; Apply (redo) and Revert (undo) then change the
// template exactly, provided that steps are applied and reverted in stack order, as an undo
// stack does. A step that would take a coordinate out of -32768 to 32767, an index beyond the
// template or an item id out of 0 to 65535 is refused with a RunError when it is made, and the
// template is not touched.

// Which components an operation applies to: all of them, or some by index (ascending, each once).
class Selection {
public:
    static Selection All() { return Selection(true, {}); }
    static Selection Of(std::vector<std::uint32_t> indices); // sorted; repeats dropped
    static Selection None() { return Selection(false, {}); }

    bool IsAll() const { return all_; }
    const std::vector<std::uint32_t>& Listed() const { return indices_; } // empty when IsAll
    // The indices it stands for in a template of `size` components.
    std::vector<std::uint32_t> IndicesIn(size_t size) const;
    size_t CountIn(size_t size) const { return all_ ? size : indices_.size(); }
    friend bool operator==(const Selection&, const Selection&) = default;

private:
    Selection(bool all, std::vector<std::uint32_t> indices)
        : all_(all), indices_(std::move(indices)) {}
    bool all_;
    std::vector<std::uint32_t> indices_;
};

// The components of the selection whose item id is `itemId` (0 to 65535; a stored negative id
// counts as its 16-bit value).
Selection WithItemId(const TemplateComponents& components, const Selection& within,
                     std::int32_t itemId);

enum class Axis { X, Y };

class Edit {
public:
    // For the Undo and Redo menu entries: "Move", "Rotate 90 degrees", "Delete", ...
    const std::string& Name() const { return name_; }
    void Apply(TemplateComponents& components) const;
    void Revert(TemplateComponents& components) const;
    // What to select after Apply: pasted or added components, nothing after a deletion, else the
    // selection the step was made with.
    Selection SelectionAfter() const;
    // How many components the step changes (0: nothing matched, as a replacement may find).
    size_t Changed() const { return changed_; }
    // Takes a move of the same components that follows this one into this step, so that
    // repeated arrow keys make one undo step; false (and nothing taken) for anything else.
    bool Merge(const Edit& next);

    // What a step holds: an integer map of x and y (a quarter turn, a mirror or none) plus a
    // shift; components rewritten (old and new values); components removed; or appended.
    struct Mapping {
        std::int32_t XX = 1, XY = 0, YX = 0, YY = 1; // x' = XX x + XY y + DX, y' = YX x + YY y + DY
        std::int32_t DX = 0, DY = 0, DZ = 0;
    };
    struct Rewrite {
        std::vector<std::uint32_t> Indices;
        std::vector<Component> Before, After;
    };
    struct Removal {
        std::vector<std::uint32_t> Indices; // ascending
        std::vector<Component> Removed;
    };
    struct Addition {
        std::uint32_t From = 0; // the template's size before: where the added ones begin
        std::vector<Component> Added;
    };
    using Change = std::variant<Mapping, Rewrite, Removal, Addition>;

private:
    friend struct EditMaker; // the functions below make every step, checked
    Edit(std::string name, Selection before, Change change, size_t changed)
        : name_(std::move(name)), before_(std::move(before)), change_(std::move(change)),
          changed_(changed) {}

    std::string name_;
    Selection before_;
    Change change_;
    size_t changed_;
};

// Moves the selection by dx, dy, dz.
Edit MoveComponents(const TemplateComponents& components, const Selection& selection,
                    std::int32_t dx, std::int32_t dy, std::int32_t dz);

// Turns the selection's x and y by 90, 180 or 270 degrees clockwise as the map shows it (north
// up: north becomes east), about the centre of its bounds: the template's centre when all is
// selected, the selection's own otherwise, so that a part turns in place. A half turn is about
// that centre itself and keeps the bounds. For a quarter turn, where the centre lies on a tile
// or a tile corner it is the pivot; where it lies half way between two tiles along one axis only
// (one side spans an odd number of tiles, the other an even one), the pivot is the one of those
// two tiles whose x + y is even. The turned selection has the same pivot, so four quarter turns
// (or 90 and then 270) give the original back exactly, and a template centred as the server's
// extract centres it stays centred. Item ids are not changed (walls and doors keep facing the way
// they did).
Edit RotateComponents(const TemplateComponents& components, const Selection& selection,
                      std::int32_t degrees);

// Mirrors the selection within its bounds: Axis::X mirrors the x coordinates (east and west
// change places), Axis::Y the y coordinates. Coordinates only, as a turn.
Edit MirrorComponents(const TemplateComponents& components, const Selection& selection, Axis axis);

// Shifts the whole template so that its bounds are centred on 0, 0 as the server's extract and
// the world-save readers centre (CentreComponents); z is kept.
Edit RecentreTemplate(const TemplateComponents& components);

Edit SetZ(const TemplateComponents& components, const Selection& selection, std::int32_t z);

// Item id `from` becomes `to` in the selection; flags follow components.txt.
Edit ReplaceItemId(const TemplateComponents& components, const Selection& selection,
                   std::int32_t from, std::int32_t to, const ComponentsList& list);

Edit DeleteComponents(const TemplateComponents& components, const Selection& selection);

// Appends components (a paste, or one new component), which are selected afterwards; `current`
// is the selection to restore when the step is undone. `name` is "Add" or "Paste".
Edit AddComponents(const TemplateComponents& components, std::vector<Component> added,
                   const Selection& current, const std::string& name = "Add");

// A new component as an import would make it: the item id checked, the flag from the list.
Component NewComponent(std::int32_t itemId, std::int32_t x, std::int32_t y, std::int32_t z,
                       const ComponentsList& list);

// Copies of the selected components, for a clipboard.
std::vector<Component> CopyComponents(const TemplateComponents& components,
                                      const Selection& selection);

// The copies moved so that their centre (as RecentreTemplate finds it) lies at x, y; z is kept.
std::vector<Component> PlacedAt(std::vector<Component> copies, std::int32_t x, std::int32_t y);

} // namespace mw
