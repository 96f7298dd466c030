#pragma once

#include "formats/TemplateComponents.h"

#include <QAbstractTableModel>
#include <cstdint>
#include <memory>
#include <vector>

namespace mw {

class TileData;

// The edited template's components as a table: item id in hexadecimal, the tiledata name where
// the art folder has one, x, y, z and flag. It sorts by any column itself (stably, ties in
// template order), so that a row and a component map both ways without a proxy.
class ComponentTable : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ItemIdColumn, NameColumn, XColumn, YColumn, ZColumn, FlagColumn, Columns };

    explicit ComponentTable(const TemplateComponents& components, QObject* parent = nullptr);

    void SetTiles(std::shared_ptr<const TileData> tiles);
    // The components changed (in number too): the rows are read and sorted again.
    void Refresh();

    std::uint32_t ComponentAt(int row) const { return order_[static_cast<size_t>(row)]; }
    int RowOf(std::uint32_t component) const { return rowOf_[component]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    QString Name(const Component& c) const;
    void Order();

    const TemplateComponents& components_;
    std::shared_ptr<const TileData> tiles_;
    std::vector<std::uint32_t> order_; // the component of each row
    std::vector<int> rowOf_;
    int sortColumn_ = -1; // template order
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace mw
