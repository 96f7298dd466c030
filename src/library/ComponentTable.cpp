#include "library/ComponentTable.h"

#include "formats/TileData.h"

#include <algorithm>
#include <numeric>

namespace mw {

ComponentTable::ComponentTable(const TemplateComponents& components, QObject* parent)
    : QAbstractTableModel(parent), components_(components) {
    Order();
}

void ComponentTable::SetTiles(std::shared_ptr<const TileData> tiles) {
    if (tiles == tiles_) return;
    tiles_ = std::move(tiles);
    if (sortColumn_ == NameColumn) return Refresh();
    emit dataChanged(index(0, NameColumn), index(rowCount() - 1, NameColumn));
}

void ComponentTable::Refresh() {
    beginResetModel();
    Order();
    endResetModel();
}

int ComponentTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int ComponentTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns;
}

QString ComponentTable::Name(const Component& c) const {
    if (!tiles_) return {};
    const StaticTile* tile = tiles_->Static(static_cast<std::uint16_t>(c.ItemID));
    return tile ? QString::fromStdString(tile->Name) : QString();
}

QVariant ComponentTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Component& c = components_[ComponentAt(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() != NameColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case ItemIdColumn:
        return QString::asprintf("0x%04X", unsigned{static_cast<std::uint16_t>(c.ItemID)});
    case NameColumn:
        return Name(c);
    case XColumn:
        return c.X;
    case YColumn:
        return c.Y;
    case ZColumn:
        return c.Z;
    case FlagColumn:
        return c.Flag;
    }
    return {};
}

QVariant ComponentTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    static const char* const names[Columns] = {"Item ID", "Name", "X", "Y", "Z", "Flag"};
    return section >= 0 && section < Columns ? names[section] : QVariant();
}

// A reset rather than a layout change: the editor selects its rows afresh after either.
void ComponentTable::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    Refresh();
}

void ComponentTable::Order() {
    order_.resize(components_.size());
    std::iota(order_.begin(), order_.end(), 0u);
    auto by = [this](auto key) {
        std::stable_sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
            return sortOrder_ == Qt::AscendingOrder ? key(components_[a]) < key(components_[b])
                                                    : key(components_[b]) < key(components_[a]);
        });
    };
    switch (sortColumn_) {
    case ItemIdColumn:
        by([](const Component& c) { return static_cast<std::uint16_t>(c.ItemID); });
        break;
    case NameColumn: {
        std::vector<QString> names; // looked up once, not at every comparison
        names.reserve(components_.size());
        for (const Component& c : components_)
            names.push_back(Name(c));
        std::stable_sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
            return sortOrder_ == Qt::AscendingOrder ? names[a] < names[b] : names[b] < names[a];
        });
        break;
    }
    case XColumn:
        by([](const Component& c) { return c.X; });
        break;
    case YColumn:
        by([](const Component& c) { return c.Y; });
        break;
    case ZColumn:
        by([](const Component& c) { return c.Z; });
        break;
    case FlagColumn:
        by([](const Component& c) { return c.Flag; });
        break;
    }
    rowOf_.resize(order_.size());
    for (size_t row = 0; row < order_.size(); ++row)
        rowOf_[order_[row]] = static_cast<int>(row);
}

} // namespace mw
