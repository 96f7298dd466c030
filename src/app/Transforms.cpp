#include "app/Transforms.h"

#include "common/RunError.h"
#include "formats/ComponentBuffer.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace mw {

struct EditMaker {
    static Edit Make(std::string name, Selection before, Edit::Change change, size_t changed) {
        return Edit(std::move(name), std::move(before), std::move(change), changed);
    }
};

namespace {

using Mapping = Edit::Mapping;

constexpr std::int64_t LowestCoordinate = -32768, HighestCoordinate = 32767;
constexpr const char* NothingChanged = "; nothing was changed";

void RequireCoordinate(std::int64_t value, const std::string& what) {
    if (value < LowestCoordinate || value > HighestCoordinate)
        throw RunError(err::Overflow, "Overflow: " + what + " would take a coordinate to " +
                                          std::to_string(value) + ", outside -32768 to 32767" +
                                          NothingChanged);
}

void RequireItemId(std::int32_t itemId) {
    if (itemId < 0 || itemId > 65535)
        throw RunError(err::Overflow, "Overflow: the item id " + std::to_string(itemId) +
                                          " does not fit the range 0 to 65535" + NothingChanged);
}

void RequireIndices(const TemplateComponents& components, const Selection& selection) {
    const auto& indices = selection.Listed();
    if (!indices.empty() && indices.back() >= components.size())
        throw RunError(err::SubscriptOutOfRange,
                       "Subscript out of range: the template has no component " +
                           std::to_string(indices.back() + 1) + NothingChanged);
}

// Calls `visit` with the index of every selected component, in ascending order.
template <typename Visit>
void ForEachSelected(size_t size, const Selection& selection, Visit visit) {
    if (selection.IsAll()) {
        for (size_t i = 0; i < size; ++i)
            visit(i);
        return;
    }
    for (std::uint32_t i : selection.Listed())
        visit(i);
}

Component Mapped(const Mapping& m, Component c) {
    std::int32_t x = c.X, y = c.Y;
    c.X = static_cast<std::int16_t>(m.XX * x + m.XY * y + m.DX);
    c.Y = static_cast<std::int16_t>(m.YX * x + m.YY * y + m.DY);
    c.Z = static_cast<std::int16_t>(c.Z + m.DZ);
    return c;
}

// The matrices are turns and mirrors: their inverse is their transpose.
Mapping Inverse(const Mapping& m) {
    return {m.XX, m.YX, m.XY, m.YY, -(m.XX * m.DX + m.YX * m.DY), -(m.XY * m.DX + m.YY * m.DY),
            -m.DZ};
}

bool IsShift(const Mapping& m) {
    return m.XX == 1 && m.XY == 0 && m.YX == 0 && m.YY == 1;
}

void MapAll(TemplateComponents& components, const Selection& selection, const Mapping& m) {
    ForEachSelected(components.size(), selection,
                    [&](size_t i) { components[i] = Mapped(m, components[i]); });
}

std::optional<Bounds> SelectedBounds(const TemplateComponents& components,
                                     const Selection& selection) {
    return selection.IsAll() ? BoundsOf(components)
                             : BoundsOf(CopyComponents(components, selection));
}

// A map of x and y takes a box to a box, so its corners say whether every component stays in
// range.
void RequireMappedInRange(const Mapping& m, const Bounds& b, const std::string& what) {
    for (std::int64_t x : {b.MinX, b.MaxX})
        for (std::int64_t y : {b.MinY, b.MaxY}) {
            RequireCoordinate(m.XX * x + m.XY * y + std::int64_t{m.DX}, what);
            RequireCoordinate(m.YX * x + m.YY * y + std::int64_t{m.DY}, what);
        }
    RequireCoordinate(b.MinZ + std::int64_t{m.DZ}, what);
    RequireCoordinate(b.MaxZ + std::int64_t{m.DZ}, what);
}

Edit MappingEdit(const TemplateComponents& components, const Selection& selection, const Mapping& m,
                 const std::string& name) {
    RequireIndices(components, selection);
    if (auto box = SelectedBounds(components, selection)) RequireMappedInRange(m, *box, name);
    return EditMaker::Make(name, selection, m, selection.CountIn(components.size()));
}

// The pivot of a turn, doubled so that a centre half way between tiles stays whole (see
// RotateComponents).
std::array<std::int32_t, 2> DoubledPivot(const Bounds& b) {
    std::array<std::int32_t, 2> q{b.MinX + b.MaxX, b.MinY + b.MaxY};
    if ((q[0] - q[1]) % 2 == 0) return q;
    size_t half = q[0] % 2 != 0 ? 0 : 1; // the axis whose centre lies between two tiles
    std::int32_t whole = q[1 - half] / 2, below = (q[half] - 1) / 2; // both exact
    q[half] = 2 * ((below + whole) % 2 == 0 ? below : below + 1);
    return q;
}

Mapping QuarterTurns(std::int32_t turns) {
    static const std::array<Mapping, 4> turned = {Mapping{1, 0, 0, 1}, Mapping{0, -1, 1, 0},
                                                  Mapping{-1, 0, 0, -1}, Mapping{0, 1, -1, 0}};
    return turned[static_cast<size_t>(turns % 4)];
}

// Steps that rewrite some components: their indices with the values before and after.
template <typename Rewritten>
Edit RewriteEdit(const TemplateComponents& components, const Selection& selection,
                 const std::string& name, Rewritten rewritten) {
    RequireIndices(components, selection);
    Edit::Rewrite change;
    ForEachSelected(components.size(), selection, [&](size_t i) {
        Component after = rewritten(components[i]);
        if (after == components[i]) return;
        change.Indices.push_back(static_cast<std::uint32_t>(i));
        change.Before.push_back(components[i]);
        change.After.push_back(after);
    });
    size_t changed = change.Indices.size();
    return EditMaker::Make(name, selection, std::move(change), changed);
}

bool SameItem(std::int32_t stored, std::int32_t itemId) {
    return stored == itemId || stored == itemId - 65536; // an old file's negative form
}

void RequireUnchangedSize(bool same) {
    if (!same)
        throw RunError(err::InternalError,
                       "The template changed since this step was made: undo steps must be undone "
                       "in the order they were done");
}

} // namespace

Selection Selection::Of(std::vector<std::uint32_t> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return Selection(false, std::move(indices));
}

std::vector<std::uint32_t> Selection::IndicesIn(size_t size) const {
    if (!all_) return indices_;
    std::vector<std::uint32_t> every(size);
    std::iota(every.begin(), every.end(), 0u);
    return every;
}

Selection WithItemId(const TemplateComponents& components, const Selection& within,
                     std::int32_t itemId) {
    RequireItemId(itemId);
    RequireIndices(components, within);
    std::vector<std::uint32_t> found;
    ForEachSelected(components.size(), within, [&](size_t i) {
        if (SameItem(components[i].ItemID, itemId)) found.push_back(static_cast<std::uint32_t>(i));
    });
    return Selection::Of(std::move(found));
}

void Edit::Apply(TemplateComponents& components) const {
    std::visit(
        [&](const auto& change) {
            using Kind = std::decay_t<decltype(change)>;
            if constexpr (std::is_same_v<Kind, Mapping>) {
                MapAll(components, before_, change);
            } else if constexpr (std::is_same_v<Kind, Rewrite>) {
                for (size_t k = 0; k < change.Indices.size(); ++k)
                    components.at(change.Indices[k]) = change.After[k];
            } else if constexpr (std::is_same_v<Kind, Removal>) {
                RequireUnchangedSize(change.Indices.empty() ||
                                     change.Indices.back() < components.size());
                size_t kept = 0, next = 0;
                for (size_t i = 0; i < components.size(); ++i) {
                    if (next < change.Indices.size() && change.Indices[next] == i)
                        ++next;
                    else
                        components[kept++] = components[i];
                }
                components.resize(kept);
            } else {
                RequireUnchangedSize(components.size() == change.From);
                components.insert(components.end(), change.Added.begin(), change.Added.end());
            }
        },
        change_);
}

void Edit::Revert(TemplateComponents& components) const {
    std::visit(
        [&](const auto& change) {
            using Kind = std::decay_t<decltype(change)>;
            if constexpr (std::is_same_v<Kind, Mapping>) {
                MapAll(components, before_, Inverse(change));
            } else if constexpr (std::is_same_v<Kind, Rewrite>) {
                for (size_t k = 0; k < change.Indices.size(); ++k)
                    components.at(change.Indices[k]) = change.Before[k];
            } else if constexpr (std::is_same_v<Kind, Removal>) {
                TemplateComponents restored;
                restored.reserve(components.size() + change.Removed.size());
                size_t kept = 0, removed = 0;
                while (kept < components.size() || removed < change.Removed.size()) {
                    bool back = removed < change.Removed.size() &&
                                change.Indices[removed] == restored.size();
                    RequireUnchangedSize(back || kept < components.size());
                    restored.push_back(back ? change.Removed[removed++] : components[kept++]);
                }
                components = std::move(restored);
            } else {
                RequireUnchangedSize(components.size() == change.From + change.Added.size());
                components.resize(change.From);
            }
        },
        change_);
}

Selection Edit::SelectionAfter() const {
    if (std::holds_alternative<Removal>(change_)) return Selection::None();
    if (const auto* addition = std::get_if<Addition>(&change_)) {
        std::vector<std::uint32_t> added(addition->Added.size());
        std::iota(added.begin(), added.end(), addition->From);
        return Selection::Of(std::move(added));
    }
    return before_;
}

bool Edit::Merge(const Edit& next) {
    auto* mine = std::get_if<Mapping>(&change_);
    const auto* theirs = std::get_if<Mapping>(&next.change_);
    if (!mine || !theirs || name_ != "Move" || next.name_ != "Move" || before_ != next.before_ ||
        !IsShift(*mine) || !IsShift(*theirs))
        return false;
    mine->DX += theirs->DX;
    mine->DY += theirs->DY;
    mine->DZ += theirs->DZ;
    return true;
}

Edit MoveComponents(const TemplateComponents& components, const Selection& selection,
                    std::int32_t dx, std::int32_t dy, std::int32_t dz) {
    return MappingEdit(components, selection, Mapping{1, 0, 0, 1, dx, dy, dz}, "Move");
}

Edit RotateComponents(const TemplateComponents& components, const Selection& selection,
                      std::int32_t degrees) {
    if (degrees != 90 && degrees != 180 && degrees != 270)
        throw RunError(err::InvalidProcedureCall,
                       "A template turns by 90, 180 or 270 degrees, not " +
                           std::to_string(degrees));
    Mapping turn = QuarterTurns(degrees / 90);
    if (auto box = SelectedBounds(components, selection)) {
        // A half turn about the centre itself stays on the tiles and keeps the bounds.
        auto [qx, qy] = degrees == 180 ? std::array{box->MinX + box->MaxX, box->MinY + box->MaxY}
                                       : DoubledPivot(*box);
        turn.DX = (qx - (turn.XX * qx + turn.XY * qy)) / 2;
        turn.DY = (qy - (turn.YX * qx + turn.YY * qy)) / 2;
    }
    return MappingEdit(components, selection, turn,
                       "Rotate " + std::to_string(degrees) + " degrees");
}

Edit MirrorComponents(const TemplateComponents& components, const Selection& selection, Axis axis) {
    Mapping mirror;
    if (auto box = SelectedBounds(components, selection)) {
        if (axis == Axis::X) {
            mirror.XX = -1;
            mirror.DX = box->MinX + box->MaxX;
        } else {
            mirror.YY = -1;
            mirror.DY = box->MinY + box->MaxY;
        }
    }
    return MappingEdit(components, selection, mirror,
                       axis == Axis::X ? "Mirror along x" : "Mirror along y");
}

Edit RecentreTemplate(const TemplateComponents& components) {
    Mapping shift;
    if (auto box = BoundsOf(components)) {
        shift.DX = -BoundsCentre(box->MaxX, box->MinX);
        shift.DY = -BoundsCentre(box->MaxY, box->MinY);
    }
    return MappingEdit(components, Selection::All(), shift, "Re-centre");
}

Edit SetZ(const TemplateComponents& components, const Selection& selection, std::int32_t z) {
    RequireCoordinate(z, "setting z");
    return RewriteEdit(components, selection, "Set z", [z](Component c) {
        c.Z = static_cast<std::int16_t>(z);
        return c;
    });
}

Edit ReplaceItemId(const TemplateComponents& components, const Selection& selection,
                   std::int32_t from, std::int32_t to, const ComponentsList& list) {
    RequireItemId(from);
    RequireItemId(to);
    std::int16_t flag = FlagFor(to, list);
    return RewriteEdit(components, selection, "Replace item id", [&](Component c) {
        if (SameItem(c.ItemID, from)) {
            c.ItemID = to;
            c.Flag = flag;
        }
        return c;
    });
}

Edit DeleteComponents(const TemplateComponents& components, const Selection& selection) {
    RequireIndices(components, selection);
    Edit::Removal removal{selection.IndicesIn(components.size()),
                          CopyComponents(components, selection)};
    size_t changed = removal.Indices.size();
    return EditMaker::Make("Delete", selection, std::move(removal), changed);
}

Edit AddComponents(const TemplateComponents& components, std::vector<Component> added,
                   const Selection& current, const std::string& name) {
    size_t changed = added.size();
    Edit::Addition addition{static_cast<std::uint32_t>(components.size()), std::move(added)};
    return EditMaker::Make(name, current, std::move(addition), changed);
}

Component NewComponent(std::int32_t itemId, std::int32_t x, std::int32_t y, std::int32_t z,
                       const ComponentsList& list) {
    RequireItemId(itemId);
    for (std::int32_t value : {x, y, z})
        RequireCoordinate(value, "the new component");
    return {itemId, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
            static_cast<std::int16_t>(z), FlagFor(itemId, list)};
}

std::vector<Component> CopyComponents(const TemplateComponents& components,
                                      const Selection& selection) {
    if (selection.IsAll()) return components;
    RequireIndices(components, selection);
    std::vector<Component> copies;
    copies.reserve(selection.CountIn(components.size()));
    ForEachSelected(components.size(), selection,
                    [&](size_t i) { copies.push_back(components[i]); });
    return copies;
}

std::vector<Component> PlacedAt(std::vector<Component> copies, std::int32_t x, std::int32_t y) {
    auto box = BoundsOf(copies);
    if (!box) return copies;
    Mapping shift;
    shift.DX = x - BoundsCentre(box->MaxX, box->MinX);
    shift.DY = y - BoundsCentre(box->MaxY, box->MinY);
    RequireMappedInRange(shift, *box, "the paste");
    for (Component& c : copies)
        c = Mapped(shift, c);
    return copies;
}

} // namespace mw
