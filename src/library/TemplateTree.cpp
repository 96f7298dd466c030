#include "library/TemplateTree.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace mw {

namespace {

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QTreeWidgetItem* NamedNode(const std::string& name, const QVariant& ids) {
    auto* node = new QTreeWidgetItem({FromStd(name)});
    node->setData(0, NodeNameRole, QByteArray::fromStdString(name));
    node->setData(0, NodeIdsRole, ids);
    return node;
}

QString KeyOf(const QTreeWidgetItem* node) {
    switch (KindOf(node)) {
    case NodeKind::Category:
        return "c" + node->data(0, NodeIdsRole).toList().value(0).toString();
    case NodeKind::Subsection:
        return "s" + node->data(0, NodeIdsRole).toString();
    case NodeKind::Template:
        break;
    }
    return "t" + node->data(0, NodeTagRole).toString();
}

} // namespace

NodeKind KindOf(const QTreeWidgetItem* node) {
    if (!node->parent()) return NodeKind::Category;
    return node->parent()->parent() ? NodeKind::Template : NodeKind::Subsection;
}

void AddListing(QTreeWidget* tree, const std::vector<ListedCategory>& listing) {
    for (const ListedCategory& category : listing) {
        QVariantList ids;
        for (std::int32_t id : category.CategoryIDs)
            ids << id;
        QTreeWidgetItem* categoryNode = NamedNode(category.Name, ids);
        categoryNode->setData(0, NodeTagRole, "Root");
        tree->addTopLevelItem(categoryNode);
        for (const ListedSubsection& subsection : category.Subsections) {
            QTreeWidgetItem* subsectionNode = NamedNode(subsection.Name, subsection.SubsectID);
            categoryNode->addChild(subsectionNode);
            for (const ListedTemplate& entry : subsection.Templates) {
                auto* templateNode =
                    new QTreeWidgetItem(subsectionNode, {FromStd(entry.Description)});
                templateNode->setData(0, NodeTagRole, entry.TempIndexID);
            }
        }
    }
}

QTreeWidgetItem* FindTemplateNode(QTreeWidget* tree, std::int32_t TempIndexID) {
    const QString key = "t" + QString::number(TempIndexID);
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (KindOf(*it) == NodeKind::Template && KeyOf(*it) == key) return *it;
    return nullptr;
}

TreePlace PlaceOf(QTreeWidget* tree) {
    TreePlace place;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->isExpanded()) place.Expanded << KeyOf(*it);
    if (const QTreeWidgetItem* current = tree->currentItem()) place.Current = KeyOf(current);
    return place;
}

TreePlace WithTemplateCurrent(TreePlace place, std::int32_t TempIndexID) {
    place.Current = "t" + QString::number(TempIndexID);
    return place;
}

QTreeWidgetItem* RestorePlace(QTreeWidget* tree, const TreePlace& place) {
    QTreeWidgetItem* current = nullptr;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const QString key = KeyOf(*it);
        if (place.Expanded.contains(key)) (*it)->setExpanded(true);
        if (!current && key == place.Current) current = *it;
    }
    for (QTreeWidgetItem* up = current ? current->parent() : nullptr; up; up = up->parent())
        up->setExpanded(true);
    tree->setCurrentItem(current);
    return current;
}

} // namespace mw
