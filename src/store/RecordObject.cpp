#include "store/RecordObject.h"

#include "common/RunError.h"

namespace mw {

namespace {

std::int64_t Whole(const FieldValue& value, std::string_view column) {
    if (std::holds_alternative<std::monostate>(value))
        throw RunError(err::InvalidUseOfNull,
                       "Invalid use of Null in column " + std::string(column));
    if (auto* number = std::get_if<std::int64_t>(&value)) return *number;
    throw RunError(err::TypeMismatch, "Type mismatch: column " + std::string(column) +
                                          " holds the text \"" + std::get<std::string>(value) +
                                          "\"");
}

} // namespace

void RecordObject::Connect(const std::string& connectString, int CursorLocation, int LockType) {
    (void)CursorLocation; // every row set reads on demand; the cursor location changes nothing
    if (!cnTemplates_.blnConnected()) cnTemplates_.OpenConnection(connectString);
    rsData_ = std::make_unique<RowSet>(cnTemplates_, table_, LockType == adLockReadOnly);
}

RowSet& RecordObject::Rows() {
    if (!rsData_)
        throw RunError(err::ObjectNotSet, "Object variable not set: the " +
                                              std::string(table_.Name) +
                                              " record object is not connected");
    return *rsData_;
}

const FieldValue& RecordObject::Value(std::string_view column) {
    int index = table_.Find(column);
    return Rows().Field(index);
}

std::int32_t RecordObject::LongField(std::string_view column) {
    std::int64_t value = Whole(Value(column), column);
    if (value < INT32_MIN || value > INT32_MAX)
        throw RunError(err::Overflow, "Overflow reading column " + std::string(column));
    return static_cast<std::int32_t>(value);
}

std::int16_t RecordObject::IntegerField(std::string_view column) {
    std::int64_t value = Whole(Value(column), column);
    if (value < INT16_MIN || value > INT16_MAX)
        throw RunError(err::Overflow, "Overflow reading column " + std::string(column));
    return static_cast<std::int16_t>(value);
}

std::string RecordObject::TextField(std::string_view column) {
    const FieldValue& value = Value(column);
    if (std::holds_alternative<std::monostate>(value))
        throw RunError(err::InvalidUseOfNull,
                       "Invalid use of Null in column " + std::string(column));
    if (auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    return std::get<std::string>(value);
}

} // namespace mw
