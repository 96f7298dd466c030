#include "store/RowSet.h"

#include "common/Convert.h"
#include "common/RunError.h"

#include <algorithm>
#include <sqlite3.h>

namespace mw {

namespace {

constexpr size_t LargestBatch = 1024;

RunError NoCurrentRow() {
    return RunError(err::NoCurrentRow, "Either BOF or EOF is True, or the current record has been "
                                       "deleted. Requested operation requires a current record.");
}

std::string ColumnList(const TableLayout& table) {
    std::string list;
    for (const auto& column : table.Columns) {
        if (!list.empty()) list += ", ";
        list += column.Name;
    }
    return list;
}

// "Column='value'": the quoted value may hold a quote written twice.
std::string_view UnquoteFilterValue(std::string_view value, std::string& storage) {
    if (value.empty() || value.front() != '\'') return value;
    if (value.size() < 2 || value.back() != '\'')
        throw RunError(err::BadFilterArgument,
                       "The filter value " + std::string(value) + " has no closing quote");
    value = value.substr(1, value.size() - 2);
    storage.clear();
    for (size_t i = 0; i < value.size(); ++i) {
        storage += value[i];
        if (value[i] == '\'' && i + 1 < value.size() && value[i + 1] == '\'') ++i;
    }
    return storage;
}

} // namespace

RowSet::RowSet(const Connection& connection, const TableLayout& table, bool readOnly)
    : connection_(connection), table_(table), readOnly_(readOnly) {
    RebuildQueries();
    Requery();
}

std::string RowSet::Select(const std::string& tail) const {
    return "select " + ColumnList(table_) + " from " + std::string(table_.Name) + " where " +
           where_ + tail;
}

void RowSet::RebuildQueries() {
    std::string key(table_.Key());
    std::string filter =
        filterColumn_ < 0 ? "1" : std::string(table_.Columns[filterColumn_].Name) + " = :value";
    // With nothing added here the plain bound keeps every query on an index; the list of added
    // keys is only consulted once there is one.
    where_ = "(" + filter + ") and " +
             (added_.empty() ? key + " <= :snap"
                             : "(" + key + " <= :snap or " + key +
                                   " in (select value from json_each(:added)))");
    first_ = Statement();
    last_ = Statement();
    next_ = Statement();
    count_stmt_ = Statement();
}

Statement& RowSet::Prepared(Statement& slot, const std::string& sql) {
    if (!slot.Prepared()) slot = connection_.Prepare(sql);
    slot.Reset();
    return slot;
}

void RowSet::BindVisible(Statement& statement) const {
    statement.Bind(statement.ParameterIndex(":snap"), snapshot_);
    if (int index = statement.ParameterIndex(":added"))
        statement.Bind(index, std::string_view(addedJson_));
    if (int index = statement.ParameterIndex(":value")) {
        if (filterIsReal_)
            statement.Bind(index, filterReal_);
        else if (auto* number = std::get_if<std::int64_t>(&filterValue_))
            statement.Bind(index, *number);
        else
            statement.Bind(index, std::string_view(std::get<std::string>(filterValue_)));
    }
}

bool RowSet::Fetch(Statement& statement, Row& row) {
    if (!statement.Step()) return false;
    row.resize(table_.Columns.size());
    for (size_t i = 0; i < row.size(); ++i) {
        int column = static_cast<int>(i);
        if (statement.IsNull(column))
            row[i] = std::monostate{};
        else if (statement.IsInteger(column))
            row[i] = statement.Int(column);
        else
            row[i] = statement.Text(column);
    }
    return true;
}

void RowSet::Become(Row row) {
    current_ = std::move(row);
    currentKey_ = std::get<std::int64_t>(current_.front());
    currentStamp_ = connection_.ChangeStamp();
    hasRow_ = true;
    adding_ = false;
}

void RowSet::Forget() {
    hasRow_ = false;
    adding_ = false;
    current_.clear();
    ahead_.clear();
}

void RowSet::PositionFirst() {
    std::string key(table_.Key());
    Statement& statement = Prepared(first_, Select(" order by " + key + " limit 1"));
    BindVisible(statement);
    Row row;
    ahead_.clear();
    batch_ = 16;
    if (Fetch(statement, row))
        Become(std::move(row));
    else
        Forget();
    statement.Reset();
}

void RowSet::PositionLast() {
    std::string key(table_.Key());
    Statement& statement = Prepared(last_, Select(" order by " + key + " desc limit 1"));
    BindVisible(statement);
    Row row;
    ahead_.clear();
    if (Fetch(statement, row))
        Become(std::move(row));
    else
        Forget();
    statement.Reset();
}

void RowSet::RequireRow() const {
    if (!hasRow_) throw NoCurrentRow();
}

void RowSet::MoveLast() {
    if (!hasRow_ && !adding_) throw NoCurrentRow();
    PositionLast();
}

void RowSet::MoveNext() {
    if (adding_) adding_ = false; // moving away abandons a row that was never written
    RequireRow();
    std::int64_t stamp = connection_.ChangeStamp();
    if (aheadStamp_ != stamp) ahead_.clear();
    if (ahead_.empty()) {
        std::string key(table_.Key());
        Statement& statement =
            Prepared(next_, Select(" and " + key + " > :key order by " + key + " limit :limit"));
        BindVisible(statement);
        statement.Bind(statement.ParameterIndex(":key"), currentKey_);
        statement.Bind(statement.ParameterIndex(":limit"), static_cast<std::int64_t>(batch_));
        Row row;
        while (Fetch(statement, row))
            ahead_.push_back(std::move(row));
        statement.Reset();
        aheadStamp_ = stamp;
        batch_ = std::min(batch_ * 2, LargestBatch);
    }
    if (ahead_.empty()) { // past the last row: the cursor rests on the last one
        PositionLast();
        return;
    }
    Row row = std::move(ahead_.front());
    ahead_.pop_front();
    Become(std::move(row));
}

void RowSet::SetFilter(std::string_view criterion) {
    criterion = Trim(criterion);
    int column = -1;
    FieldValue value;
    bool isReal = false;
    double real = 0;
    if (!criterion.empty()) {
        size_t equals = criterion.find('=');
        if (equals == std::string_view::npos)
            throw RunError(err::BadFilterArgument, "The filter \"" + std::string(criterion) +
                                                       "\" is not of the form Column='value'");
        std::string_view name = Trim(criterion.substr(0, equals));
        column = table_.Find(name);
        if (column < 0)
            throw RunError(err::ItemNotInCollection, "Item cannot be found in the collection "
                                                     "corresponding to the requested name: " +
                                                         std::string(name));
        std::string storage;
        std::string_view text = UnquoteFilterValue(Trim(criterion.substr(equals + 1)), storage);
        if (table_.Columns[column].Kind == ColumnKind::Text) {
            value = std::string(text);
        } else {
            auto number = ParseNumber(text);
            if (!number)
                throw RunError(err::TypeMismatch, "Data type mismatch in the filter: \"" +
                                                      std::string(text) + "\" is not a number");
            if (*number == static_cast<double>(static_cast<std::int64_t>(*number)))
                value = static_cast<std::int64_t>(*number);
            else
                isReal = true, real = *number;
        }
    }
    bool columnChanged = column != filterColumn_;
    filterColumn_ = column;
    filterValue_ = std::move(value);
    filterIsReal_ = isReal;
    filterReal_ = real;
    count_ = -1;
    if (columnChanged) RebuildQueries();
    PositionFirst();
}

std::int32_t RowSet::RecordCount() {
    std::int64_t stamp = connection_.ChangeStamp();
    if (count_ < 0 || countStamp_ != stamp) {
        Statement& statement = Prepared(
            count_stmt_, "select count(*) from " + std::string(table_.Name) + " where " + where_);
        BindVisible(statement);
        statement.Step();
        count_ = statement.Int(0);
        statement.Reset();
        countStamp_ = stamp;
    }
    return static_cast<std::int32_t>(count_);
}

void RowSet::RequireWritable() const {
    if (readOnly_)
        throw RunError(err::UpdateNotSupported,
                       "Current Recordset does not support updating. This may be a "
                       "limitation of the provider, or of the selected locktype.");
}

void RowSet::AddNew() {
    RequireWritable();
    adding_ = true;
}

void RowSet::NoteAdded(std::int64_t key) {
    std::string name(table_.Name), keyName(table_.Key());
    Statement between = connection_.Prepare("select exists(select 1 from " + name + " where " +
                                            keyName + " > ?1 and " + keyName + " < ?2)");
    between.Bind(1, snapshot_).Bind(2, key);
    between.Step();
    if (between.Int(0) == 0 && added_.empty()) {
        snapshot_ = key; // nothing of others lies in between: the snapshot simply grows
        return;
    }
    added_.push_back(key);
    if (added_.size() == 1) RebuildQueries();
    addedJson_ = "[";
    for (size_t i = 0; i < added_.size(); ++i)
        addedJson_ += (i ? "," : "") + std::to_string(added_[i]);
    addedJson_ += "]";
}

void RowSet::Update(const Row& values) {
    RequireWritable();
    if (!adding_) RequireRow();
    std::string name(table_.Name), key(table_.Key());
    auto bindValues = [&](Statement& statement) {
        for (size_t i = 0; i < values.size(); ++i) {
            int index = static_cast<int>(i) + 1;
            if (auto* number = std::get_if<std::int64_t>(&values[i]))
                statement.Bind(index, *number);
            else if (auto* text = std::get_if<std::string>(&values[i]))
                statement.Bind(index, std::string_view(*text));
            else
                statement.BindNull(index);
        }
    };
    std::string columns, placeholders, assignments;
    for (size_t i = 1; i < table_.Columns.size(); ++i) {
        std::string column(table_.Columns[i].Name), slot = "?" + std::to_string(i);
        columns += (i > 1 ? ", " : "") + column;
        placeholders += (i > 1 ? ", " : "") + slot;
        assignments += (i > 1 ? ", " : "") + column + " = " + slot;
    }
    if (adding_) {
        Statement& statement = Prepared(insert_, "insert into " + name + " (" + columns +
                                                     ") values (" + placeholders + ")");
        bindValues(statement);
        statement.Step();
        statement.Reset();
        std::int64_t newKey = sqlite3_last_insert_rowid(connection_.Handle());
        NoteAdded(newKey);
        count_ = -1;
        currentKey_ = newKey;
        hasRow_ = true;
        adding_ = false;
        currentStamp_ = -1; // read back as the engine stored it
        ahead_.clear();
        return;
    }
    std::string keySlot = "?" + std::to_string(table_.Columns.size());
    Statement& statement = Prepared(update_, "update " + name + " set " + assignments + " where " +
                                                 key + " = " + keySlot);
    bindValues(statement);
    statement.Bind(static_cast<int>(table_.Columns.size()), currentKey_);
    statement.Step();
    statement.Reset();
    if (sqlite3_changes(connection_.Handle()) == 0) throw NoCurrentRow();
    currentStamp_ = -1;
}

void RowSet::Delete() {
    RequireWritable();
    adding_ = false;
    RequireRow();
    std::string name(table_.Name), key(table_.Key());
    Statement& statement = Prepared(delete_, "delete from " + name + " where " + key + " = ?1");
    statement.Bind(1, currentKey_);
    statement.Step();
    statement.Reset();
    if (sqlite3_changes(connection_.Handle()) == 0) throw NoCurrentRow();
    currentStamp_ = -1;
    ahead_.clear();
}

void RowSet::Requery() {
    std::string key(table_.Key());
    Statement largest =
        connection_.Prepare("select max(" + key + ") from " + std::string(table_.Name));
    largest.Step();
    snapshot_ = largest.IsNull(0) ? 0 : largest.Int(0);
    bool hadAdded = !added_.empty();
    added_.clear();
    addedJson_ = "[]";
    if (hadAdded) RebuildQueries();
    count_ = -1;
    PositionFirst();
}

const FieldValue& RowSet::Field(int column) {
    if (adding_)
        throw RunError(err::InvalidUseOfNull,
                       "Invalid use of Null: the new row is not yet written");
    RequireRow();
    if (currentStamp_ != connection_.ChangeStamp()) {
        Statement& statement =
            Prepared(byKey_, "select " + ColumnList(table_) + " from " + std::string(table_.Name) +
                                 " where " + std::string(table_.Key()) + " = ?1");
        statement.Bind(1, currentKey_);
        Row row;
        bool found = Fetch(statement, row);
        statement.Reset();
        if (!found) throw NoCurrentRow();
        current_ = std::move(row);
        currentStamp_ = connection_.ChangeStamp();
    }
    return current_[static_cast<size_t>(column)];
}

} // namespace mw
