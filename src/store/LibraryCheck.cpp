#include "store/LibraryCheck.h"

#include "common/RunError.h"
#include "store/TableLayout.h"

#include <sqlite3.h>
#include <vector>

namespace mw {

namespace {

RunError Unreadable(const std::string& path, const std::string& found) {
    return RunError(err::EngineGeneralFailure,
                    "The library \"" + path + "\" cannot be read: " + found +
                        ". It was left as it is; restore it from a copy, or move it away to "
                        "start with an empty library.");
}

std::string NotALibrary(const std::string& why) {
    return "it is not a MultiWardstone library (" + why + ")";
}

RunError ReadFailure(sqlite3* db, int rc, const std::string& path) {
    std::string why = sqlite3_errmsg(db);
    int primary = rc & 0xFF;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return RunError(err::EngineGeneralFailure,
                        "The library \"" + path + "\" is busy: another program is writing to it (" +
                            why + "). Try again when it is done.");
    if (primary == SQLITE_NOTADB) return Unreadable(path, NotALibrary(why));
    if (primary == SQLITE_CORRUPT)
        return Unreadable(path, "it is damaged or cut short (" + why + ")");
    return Unreadable(path, "it could not be read (" + why + ")");
}

// Runs statements that only read, adding each row's first column to `rows` when given.
void Read(sqlite3* db, const std::string& path, const std::string& sql,
          std::vector<std::string>* rows = nullptr) {
    auto collect = [](void* into, int, char** values, char**) {
        if (into && values[0]) static_cast<std::vector<std::string>*>(into)->push_back(values[0]);
        return 0;
    };
    int rc = sqlite3_exec(db, sql.c_str(), collect, rows, nullptr);
    if (rc != SQLITE_OK) throw ReadFailure(db, rc, path);
}

// What the table lacks of its layout, empty when it has every column (extra ones do no harm).
std::string MissingFrom(const TableLayout& table, const std::vector<std::string>& columns) {
    if (columns.empty()) return "it has no table " + std::string(table.Name);
    std::vector<bool> present(table.Columns.size());
    for (const std::string& column : columns)
        if (int index = table.Find(column); index >= 0) present[index] = true;
    for (size_t i = 0; i < present.size(); ++i)
        if (!present[i])
            return "its table " + std::string(table.Name) + " has no column " +
                   std::string(table.Columns[i].Name);
    return {};
}

void CheckTable(sqlite3* db, const std::string& path, const TableLayout& table) {
    std::vector<std::string> columns;
    const std::string name(table.Name);
    Read(db, path, "select name from pragma_table_info('" + name + "')", &columns);
    if (std::string missing = MissingFrom(table, columns); !missing.empty())
        throw Unreadable(path, NotALibrary(missing));
    // Its first page: a table whose pages were cut off fails here rather than at a later write.
    Read(db, path, "select 1 from " + name + " limit 1");
}

} // namespace

void CheckLibraryFile(sqlite3* db, const std::string& path) {
    Read(db, path, "pragma schema_version"); // a file that is no database fails here
    std::vector<std::string> pages;
    Read(db, path, "pragma page_count", &pages);
    // The engine takes an empty file for an empty database and would make tables in it.
    if (pages == std::vector<std::string>{"0"})
        throw Unreadable(path, "the file is empty (0 bytes), not a MultiWardstone library");
    for (const TableLayout* table :
         {&CategoryTable(), &SubSectionTable(), &TemplateIndexTable(), &TemplateBlocksTable()})
        CheckTable(db, path, *table);
}

} // namespace mw
