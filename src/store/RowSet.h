#pragma once

#include "store/Connection.h"
#include "store/TableLayout.h"

#include <cstdint>
#include <deque>
#include <string>
#include <variant>
#include <vector>

namespace mw {

using FieldValue = std::variant<std::monostate, std::int64_t, std::string>;
using Row = std::vector<FieldValue>;

// A static row set over one whole table, as the record objects need it: rows in key order, an
// optional filter on one column, a current row, and rows added by others invisible until Requery.
// Rows are not copied into memory: every move is a query, so a filtered set over a huge table
// costs what its visible rows cost. A row deleted elsewhere drops out at once; reading it then
// fails with the no-current-row error rather than showing stale values.
class RowSet {
public:
    RowSet(const Connection& connection, const TableLayout& table, bool readOnly);

    void MoveLast();
    void MoveNext();
    void SetFilter(std::string_view criterion); // "Column='value'", or empty for all rows
    std::int32_t RecordCount();
    void AddNew();
    void Update(const Row& values); // values of every column but the key, in table order
    void Delete();
    void Requery();

    // The current row's column, as stored; throws the no-current-row error when there is none.
    const FieldValue& Field(int column);

private:
    std::string Select(const std::string& tail) const;
    Statement& Prepared(Statement& slot, const std::string& sql);
    void BindVisible(Statement& statement) const;
    void RebuildQueries();
    void PositionFirst();
    void PositionLast();
    bool Fetch(Statement& statement, Row& row);
    void Become(Row row);
    void Forget();
    void RequireRow() const;
    void RequireWritable() const;
    void NoteAdded(std::int64_t key);

    const Connection& connection_;
    const TableLayout& table_;
    bool readOnly_;

    int filterColumn_ = -1;
    FieldValue filterValue_;
    double filterReal_ = 0; // a filter value with a fraction, which no integer row matches
    bool filterIsReal_ = false;

    std::int64_t snapshot_ = 0;       // largest key visible since opening or Requery
    std::vector<std::int64_t> added_; // keys added here beyond the snapshot
    std::string addedJson_ = "[]";

    bool hasRow_ = false, adding_ = false;
    std::int64_t currentKey_ = 0;
    Row current_;
    std::int64_t currentStamp_ = -1;
    std::deque<Row> ahead_;
    std::int64_t aheadStamp_ = -1;
    size_t batch_ = 16;
    std::int64_t count_ = -1, countStamp_ = -1;

    std::string where_;
    Statement first_, last_, next_, count_stmt_, byKey_, insert_, update_, delete_;
};

} // namespace mw
