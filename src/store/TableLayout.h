#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace mw {

enum class ColumnKind { Long, Integer, Text }; // 32-bit, 16-bit, text

struct ColumnLayout {
    std::string_view Name;
    ColumnKind Kind;
};

// A table as the record classes see it: its name, its engine-assigned key and its columns,
// the key first. Column names come from here only, so no name from outside ever reaches SQL.
struct TableLayout {
    std::string_view Name;
    std::vector<ColumnLayout> Columns;

    std::string_view Key() const { return Columns.front().Name; }
    // Index of the column whose name matches without regard to case, or -1.
    int Find(std::string_view name) const;
};

const TableLayout& CategoryTable();
const TableLayout& SubSectionTable();
const TableLayout& TemplateIndexTable();
const TableLayout& TemplateBlocksTable();

} // namespace mw
