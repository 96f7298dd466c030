#pragma once

#include "store/Connection.h"
#include "store/RowSet.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace mw {

// Arguments of Connect: where the cursor lives (which changes nothing here) and the lock, read-only
// or open to changes.
constexpr int adUseServer = 2;
constexpr int adUseClient = 3;
constexpr int adLockReadOnly = 1;
constexpr int adLockOptimistic = 3;

// What all four record classes share: one row set over one whole table, a current row, and
// getters that read it. Setters of the classes store pending values that SaveChanges writes.
class RecordObject {
public:
    RecordObject(Connection& cnTemplates, const TableLayout& table)
        : cnTemplates_(cnTemplates), table_(table) {}
    virtual ~RecordObject() = default;
    RecordObject(const RecordObject&) = delete;
    RecordObject& operator=(const RecordObject&) = delete;

    void MoveNext() { Rows().MoveNext(); }
    void MoveLast() { Rows().MoveLast(); }
    void Filter(std::string_view strFilter) { Rows().SetFilter(strFilter); }
    void AddItem() { Rows().AddNew(); }
    void Delete() { Rows().Delete(); }

    void Connect(const std::string& connectString, int CursorLocation, int LockType);
    std::int32_t RecordCount() { return Rows().RecordCount(); }
    void Unfilter() { Rows().SetFilter(""); }
    void Requery() { Rows().Requery(); }

protected:
    RowSet& Rows();
    Connection& cnTemplates() { return cnTemplates_; }
    std::int32_t LongField(std::string_view column);
    std::int16_t IntegerField(std::string_view column);
    std::string TextField(std::string_view column);

private:
    const FieldValue& Value(std::string_view column);

    Connection& cnTemplates_;
    const TableLayout& table_;
    std::unique_ptr<RowSet> rsData_;
};

} // namespace mw
