// Keeping the library in order from the tree: its context menu (rename, move, duplicate, delete,
// new categories and subsections, batch export), F2 and Delete, and the filter above it.
#include "library/frmWardstone.h"
#include "store/Filing.h"
#include "store/LibraryEdits.h"
#include "ui/Guarded.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <numeric>

namespace mw {

namespace {

std::vector<std::int32_t> CategoryIds(const QTreeWidgetItem* node) {
    std::vector<std::int32_t> ids;
    for (const QVariant& id : node->data(0, NodeIdsRole).toList())
        ids.push_back(id.toInt());
    return ids;
}

QString Templates(std::int64_t count) {
    return QString::number(count) + (count == 1 ? " template" : " templates");
}

QAction* AddAction(QMenu& menu, const QString& name, const QString& text,
                   const QKeySequence& keys = {}) {
    QAction* action = menu.addAction(text);
    action->setObjectName(name);
    action->setShortcut(keys); // shown in the menu; the tree's own shortcuts do the work
    return action;
}

} // namespace

void frmWardstone::trvTemplates_ContextMenu(const QPoint& at) {
    QTreeWidgetItem* node = trvTemplates->itemAt(at);
    if (node) trvTemplates->setCurrentItem(node);
    QMenu menu(this);
    auto add = [&](const QString& name, const QString& text, std::function<void()> run,
                   const QKeySequence& keys = {}) {
        QAction* action = AddAction(menu, name, text, keys);
        connect(action, &QAction::triggered, this, Guarded(prompts_, std::move(run)));
        return action;
    };
    if (!node) {
        add("mnuNewCategory", "New Category...", [this] { mnuNewCategory_Click(); });
    } else if (KindOf(node) == NodeKind::Template) {
        add("mnuEdit", "Edit...", [this] { cmdEdit_Click(); });
        add(
            "mnuRename", "Rename...", [this, node] { mnuRename_Click(node); }, Qt::Key_F2);
        add("mnuMove", "Move to...", [this, node] { mnuMove_Click(node); });
        add("mnuDuplicate", "Duplicate", [this, node] { mnuDuplicate_Click(node); });
        add(
            "mnuDelete", "Delete", [this] { cmdDeleteTemplate_Click(); }, Qt::Key_Delete);
    } else {
        if (KindOf(node) == NodeKind::Category)
            add("mnuNewSubSection", "New Subsection...",
                [this, node] { mnuNewSubSection_Click(node); });
        add(
            "mnuRename", "Rename...", [this, node] { mnuRename_Click(node); }, Qt::Key_F2);
        add(
            "mnuDelete", "Delete", [this, node] { mnuDelete_Click(node); }, Qt::Key_Delete);
    }
    menu.addSeparator();
    if (!node || KindOf(node) != NodeKind::Template) {
        add("mnuExportBatch",
            node ? "Export \"" + node->text(0) + "\" as a batch..."
                 : QString("Export the whole library as a batch..."),
            [this, node] { mnuExportBatch_Click(node); })
            ->setEnabled(trvTemplates->topLevelItemCount() > 0);
    }
    menu.exec(trvTemplates->viewport()->mapToGlobal(at));
}

// F2 and Delete act on the current node as the menu would.
void frmWardstone::trvTemplates_Key(int key) {
    QTreeWidgetItem* node = trvTemplates->currentItem();
    if (!node) return;
    if (key == Qt::Key_F2) return mnuRename_Click(node);
    if (KindOf(node) == NodeKind::Template) return cmdDeleteTemplate_Click();
    mnuDelete_Click(node);
}

void frmWardstone::mnuRename_Click(QTreeWidgetItem* node) {
    const QString old = node->text(0);
    Connection& cn = session_.cnTemplates;
    switch (KindOf(node)) {
    case NodeKind::Template: {
        QString name =
            prompts_.InputBoxWith("Enter the new name of the template", "Rename Template", old);
        if (name.trimmed().isEmpty() || name.trimmed() == old) return;
        RenameTemplate(cn, node->data(0, NodeTagRole).toInt(), name.toStdString());
        break;
    }
    case NodeKind::Category: {
        QString name = prompts_.InputBoxWith("Enter the new Category Name", "Rename Category", old);
        if (name.trimmed().isEmpty() || name.trimmed() == old) return;
        // Categories of one name share a node: all of them take the new name.
        RenameCategory(cn, CategoryIds(node), name.toStdString());
        break;
    }
    case NodeKind::Subsection: {
        QString name =
            prompts_.InputBoxWith("Enter the new SubSection Name", "Rename SubSection", old);
        if (name.trimmed().isEmpty() || name.trimmed() == old) return;
        RenameSubSection(cn, node->data(0, NodeIdsRole).toInt(), name.toStdString());
        break;
    }
    }
    FillTemplatesList();
}

// The template info dialog chooses where (a new category or subsection may be made there) and
// may change the name too.
void frmWardstone::mnuMove_Click(QTreeWidgetItem* node) {
    const std::int32_t id = node->data(0, NodeTagRole).toInt();
    auto name = [](QTreeWidgetItem* named) {
        return named->data(0, NameRole).toByteArray().toStdString();
    };
    const DesignLabels here{node->text(0).toStdString(), name(node->parent()->parent()),
                            name(node->parent())};
    if (!AskFiling(here)) return;
    MoveTemplate(session_.cnTemplates, id, NewCategoryID.toInt(), NewSubsectID.toInt());
    if (strNewDescription != node->text(0))
        RenameTemplate(session_.cnTemplates, id, strNewDescription.toStdString());
    FillTemplatesList(id);
}

void frmWardstone::mnuDuplicate_Click(QTreeWidgetItem* node) {
    std::int32_t copy;
    {
        WaitCursor wait;
        copy = CopyTemplate(session_.cnTemplates, node->data(0, NodeTagRole).toInt());
    }
    FillTemplatesList(copy);
}

// An empty category or subsection goes at once; one with templates asks first, saying how many
// go with it.
void frmWardstone::mnuDelete_Click(QTreeWidgetItem* node) {
    Connection& cn = session_.cnTemplates;
    const bool category = KindOf(node) == NodeKind::Category;
    const std::vector<std::int32_t> ids =
        category ? CategoryIds(node)
                 : std::vector<std::int32_t>{node->data(0, NodeIdsRole).toInt()};
    const std::int64_t held = std::accumulate(
        ids.begin(), ids.end(), std::int64_t{0}, [&](std::int64_t sum, std::int32_t id) {
            return sum +
                   (category ? CategoryTemplateCount(cn, id) : SubSectionTemplateCount(cn, id));
        });
    const QString what =
        (category ? "the category \"" : "the subsection \"") + node->text(0) + "\"";
    if (held > 0 && !prompts_.AskYesNo("Are you sure you want to delete " + what + " and the " +
                                           Templates(held) + " filed under it?",
                                       "Confirm Deletion", MessageIcon::Exclamation))
        return;
    {
        WaitCursor wait;
        for (std::int32_t id : ids)
            category ? DeleteCategory(cn, id) : DeleteSubSection(cn, id);
    }
    FillTemplatesList();
    SetStatus("Deleted " + what + (held > 0 ? " and " + Templates(held) : QString()));
}

void frmWardstone::mnuNewCategory_Click() {
    QString name = prompts_.InputBox("Enter the new Category Name", "Add New Category");
    if (name.trimmed().isEmpty()) return;
    // A name the library has gives the category it has (see AddCategory).
    std::int32_t id = AddCategory(Category, name.toStdString());
    FillTemplatesList();
    for (int i = 0; i < trvTemplates->topLevelItemCount(); ++i)
        if (CategoryIds(trvTemplates->topLevelItem(i)).front() == id)
            trvTemplates->setCurrentItem(trvTemplates->topLevelItem(i));
}

void frmWardstone::mnuNewSubSection_Click(QTreeWidgetItem* node) {
    QString name = prompts_.InputBox("Enter the new SubSection Name", "Add New SubSection");
    if (name.trimmed().isEmpty()) return;
    std::int32_t id = AddSubSection(SubSection, CategoryIds(node).front(), name.toStdString());
    FillTemplatesList();
    for (QTreeWidgetItemIterator it(trvTemplates); *it; ++it)
        if (KindOf(*it) == NodeKind::Subsection && (*it)->data(0, NodeIdsRole).toInt() == id) {
            (*it)->parent()->setExpanded(true);
            trvTemplates->setCurrentItem(*it);
        }
}

// With a filter typed, only the templates whose name holds it (without regard to case) show,
// under their categories and subsections; without one, everything, empty branches too.
void frmWardstone::ApplyFilter() {
    const QString typed = txtFilter->text().trimmed();
    std::int64_t shown = 0, all = 0;
    for (int c = 0; c < trvTemplates->topLevelItemCount(); ++c) {
        QTreeWidgetItem* category = trvTemplates->topLevelItem(c);
        bool categoryShown = false;
        for (int s = 0; s < category->childCount(); ++s) {
            QTreeWidgetItem* subsection = category->child(s);
            bool subsectionShown = false;
            for (int t = 0; t < subsection->childCount(); ++t) {
                QTreeWidgetItem* entry = subsection->child(t);
                const bool match = entry->text(0).contains(typed, Qt::CaseInsensitive);
                entry->setHidden(!match);
                shown += match;
                ++all;
                subsectionShown |= match;
            }
            subsection->setHidden(!typed.isEmpty() && !subsectionShown);
            categoryShown |= subsectionShown;
        }
        category->setHidden(!typed.isEmpty() && !categoryShown);
        if (!typed.isEmpty()) category->setExpanded(categoryShown);
    }
    if (!typed.isEmpty())
        for (QTreeWidgetItemIterator it(trvTemplates); *it; ++it)
            if (KindOf(*it) == NodeKind::Subsection && !(*it)->isHidden()) (*it)->setExpanded(true);
    lblShown->setText(typed.isEmpty()
                          ? Templates(all)
                          : QString::number(shown) + " of " + Templates(all) + " shown");
}

} // namespace mw
