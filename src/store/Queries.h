#pragma once

#include "store/Connection.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace mw {

// One statement with its values bound in order, ?1 onwards: whole numbers and texts.
template <typename... Values>
Statement Bound(Connection& cnTemplates, std::string_view sql, const Values&... values) {
    cnTemplates.OpenConnection("");
    Statement statement = cnTemplates.Prepare(sql);
    int slot = 0;
    (statement.Bind(++slot, values), ...);
    return statement;
}

// Runs a statement that changes rows.
template <typename... Values>
void Execute(Connection& cnTemplates, std::string_view sql, const Values&... values) {
    Statement statement = Bound(cnTemplates, sql, values...);
    while (statement.Step()) {
    }
}

// The first column of the first row, nothing when there is no row.
template <typename... Values>
std::optional<std::int64_t> FirstNumber(Connection& cnTemplates, std::string_view sql,
                                        const Values&... values) {
    Statement statement = Bound(cnTemplates, sql, values...);
    if (!statement.Step() || statement.IsNull(0)) return std::nullopt;
    return statement.Int(0);
}

} // namespace mw
