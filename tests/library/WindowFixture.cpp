#include "library/WindowFixture.h"

#include <QTreeWidget>
#include <sqlite3.h>
#include <stdexcept>

namespace mw::test {

namespace {
void Describe(QTreeWidgetItem* item, int depth, QStringList& lines) {
    lines << QString(depth * 2, ' ') + item->text(0);
    for (int i = 0; i < item->childCount(); ++i)
        Describe(item->child(i), depth + 1, lines);
}
} // namespace

void WindowFixture::Sql(const std::string& statements) {
    session.cnTemplates.OpenConnection("");
    char* message = nullptr;
    if (sqlite3_exec(session.cnTemplates.Handle(), statements.c_str(), nullptr, nullptr,
                     &message) != SQLITE_OK) {
        std::string why = message ? message : "?";
        sqlite3_free(message);
        throw std::runtime_error("test library: " + why);
    }
}

QStringList WindowFixture::Tree() const {
    QStringList lines;
    for (int i = 0; i < window->trvTemplates->topLevelItemCount(); ++i)
        Describe(window->trvTemplates->topLevelItem(i), 0, lines);
    return lines;
}

} // namespace mw::test
