#include "library/WindowFixture.h"

#include <sqlite3.h>
#include <stdexcept>

namespace mw::test {

void WindowFixture::Sql(const std::string& statements) {
    session.cnTemplates.OpenConnection("");
    sqlite3* db = session.cnTemplates.Handle();
    if (sqlite3_exec(db, statements.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("test library: ") + sqlite3_errmsg(db));
}

void WindowFixture::AddHousesSmall(const std::vector<std::string>& hutBlocks) {
    std::string sql = "insert into Category(Name) values ('Houses');"
                      "insert into SubSection(CategoryID, Name) values (1, 'Small');";
    if (!hutBlocks.empty())
        sql +=
            "insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) values (" +
            std::to_string(hutBlocks.size()) + ", 1, 1, 'Hut');";
    for (const auto& block : hutBlocks)
        sql += "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) values (" + block +
               ", 1);";
    Sql(sql);
    library.Folder.Write("components.txt", "ID Name\r\n0675 door\r\n");
}

QStringList TreeText(QTreeWidget* tree) {
    QStringList lines;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        int depth = 0;
        for (QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
            ++depth;
        lines << QString(depth * 2, ' ') + (*it)->text(0);
    }
    return lines;
}

void WindowFixture::Select(const QString& text) const {
    auto found = window->trvTemplates->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty()) throw std::logic_error("no tree node " + text.toStdString());
    window->trvTemplates->setCurrentItem(found.first());
}

} // namespace mw::test
