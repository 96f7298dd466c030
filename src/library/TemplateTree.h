#pragma once

#include "store/LibraryListing.h"

#include <QSet>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace mw {

// The template tree's nodes: categories (top level), their subsections, and templates under
// those. Each node keeps what identifies it in the library, so that a refill can find it again.
enum class NodeKind { Category, Subsection, Template };

constexpr int NodeTagRole = Qt::UserRole; // a template's TempIndexID; "Root" on a category
// A category's or subsection's name as stored, byte for byte: the text shown may not give it
// back (a name from an old library that is not UTF-8).
constexpr int NodeNameRole = Qt::UserRole + 1;
// A category's CategoryIDs (every category of its name, as a list), a subsection's SubsectID.
constexpr int NodeIdsRole = Qt::UserRole + 2;

NodeKind KindOf(const QTreeWidgetItem* node);

// Adds the listing's nodes, all collapsed.
void AddListing(QTreeWidget* tree, const std::vector<ListedCategory>& listing);

QTreeWidgetItem* FindTemplateNode(QTreeWidget* tree, std::int32_t TempIndexID);

// Which nodes are open and which is current, by what identifies them rather than by the node
// objects, which a refill replaces.
struct TreePlace {
    QSet<QString> Expanded;
    QString Current; // empty: none
};

TreePlace PlaceOf(QTreeWidget* tree);
// The place with this template current instead.
TreePlace WithTemplateCurrent(TreePlace place, std::int32_t TempIndexID);
// Opens the nodes that were open, and the branch of the current node, which it makes current
// again when the tree still has it; returns that node, or none.
QTreeWidgetItem* RestorePlace(QTreeWidget* tree, const TreePlace& place);

} // namespace mw
