#include "store/TableLayout.h"

#include <algorithm>
#include <cctype>

namespace mw {

int TableLayout::Find(std::string_view name) const {
    auto same = [&](const ColumnLayout& column) {
        return std::equal(name.begin(), name.end(), column.Name.begin(), column.Name.end(),
                          [](char a, char b) { return std::tolower(a) == std::tolower(b); });
    };
    auto it = std::find_if(Columns.begin(), Columns.end(), same);
    return it == Columns.end() ? -1 : static_cast<int>(it - Columns.begin());
}

const TableLayout& CategoryTable() {
    static const TableLayout table{"Category",
                                   {{"CategoryID", ColumnKind::Long}, {"Name", ColumnKind::Text}}};
    return table;
}

const TableLayout& SubSectionTable() {
    static const TableLayout table{"SubSection",
                                   {{"SubsectID", ColumnKind::Long},
                                    {"CategoryID", ColumnKind::Long},
                                    {"Name", ColumnKind::Text}}};
    return table;
}

const TableLayout& TemplateIndexTable() {
    static const TableLayout table{"TemplateIndex",
                                   {{"TempIndexID", ColumnKind::Long},
                                    {"BlockCount", ColumnKind::Long},
                                    {"CategoryID", ColumnKind::Long},
                                    {"SubsectID", ColumnKind::Long},
                                    {"Description", ColumnKind::Text}}};
    return table;
}

const TableLayout& TemplateBlocksTable() {
    static const TableLayout table{"TemplateBlocks",
                                   {{"TempBlockID", ColumnKind::Long},
                                    {"ItemID", ColumnKind::Long},
                                    {"X", ColumnKind::Integer},
                                    {"Y", ColumnKind::Integer},
                                    {"Z", ColumnKind::Integer},
                                    {"Flag", ColumnKind::Integer},
                                    {"TempIndexID", ColumnKind::Long}}};
    return table;
}

} // namespace mw
