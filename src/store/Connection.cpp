#include "store/Connection.h"

#include "common/RunError.h"
#include "store/LibraryCheck.h"

#include <sqlite3.h>

namespace mw {

namespace {

RunError EngineError(sqlite3* db, int rc) {
    const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    int primary = rc & 0xFF;
    long number = err::EngineStatementFailure;
    if (primary == SQLITE_CONSTRAINT) number = err::EngineConstraintFailure;
    if (primary == SQLITE_CANTOPEN || primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT ||
        primary == SQLITE_BUSY || primary == SQLITE_LOCKED || primary == SQLITE_IOERR)
        number = err::EngineGeneralFailure;
    return RunError(number, std::string("Database engine: ") + message);
}

} // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) throw EngineError(db, rc);
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = other.db_;
        stmt_ = other.stmt_;
        other.stmt_ = nullptr;
    }
    return *this;
}

Statement& Statement::Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

Statement& Statement::Bind(int index, double value) {
    sqlite3_bind_double(stmt_, index, value);
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::BindNull(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

int Statement::ParameterIndex(const char* name) const {
    return sqlite3_bind_parameter_index(stmt_, name);
}

bool Statement::Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    RunError failure = EngineError(db_, rc);
    sqlite3_reset(stmt_);
    throw failure;
}

void Statement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

void Statement::Rewind() {
    sqlite3_reset(stmt_);
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}
bool Statement::IsInteger(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_INTEGER;
}
std::int64_t Statement::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}
std::string Statement::Text(int column) const {
    auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)))
                : std::string();
}

Connection::Connection(std::string databasePath) : path_(std::move(databasePath)) {}

Connection::~Connection() {
    sqlite3_close_v2(db_);
}

void Connection::OpenConnection(const std::string& /*connectString*/) {
    if (db_) return;
    sqlite3* db = nullptr;
    // Never SQLITE_OPEN_CREATE: a missing library must be reported, not silently replaced.
    int rc =
        sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db);
        throw RunError(err::EngineGeneralFailure, "Could not find or open the library file '" +
                                                      path_ + "': " + sqlite3_errstr(rc));
    }
    sqlite3_busy_timeout(db, 3000);
    try {
        CheckLibraryFile(db, path_);
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    db_ = db;
}

sqlite3* Connection::Handle() const {
    if (!db_) throw RunError(err::ObjectNotSet, "The library connection is not open");
    return db_;
}

void Connection::Run(std::string_view sql) const {
    Statement statement(Handle(), sql);
    while (statement.Step()) {
    }
}

std::int64_t Connection::ChangeStamp() const {
    return db_ ? sqlite3_total_changes64(db_) : 0;
}

bool Connection::InTransaction() const {
    return db_ && sqlite3_get_autocommit(db_) == 0;
}

Transaction::Transaction(const Connection& connection) : connection_(connection) {
    if (!connection_.InTransaction()) {
        connection_.Run("begin immediate");
        return;
    }
    static unsigned counter = 0;
    name_ = "wardstone_" + std::to_string(++counter);
    connection_.Run("savepoint " + name_);
}

Transaction::~Transaction() {
    // After a failed write the engine may have rolled everything back already.
    if (!open_ || !connection_.InTransaction()) return;
    try {
        if (name_.empty()) {
            connection_.Run("rollback");
        } else {
            connection_.Run("rollback to " + name_);
            connection_.Run("release " + name_);
        }
    } catch (...) {
        // Nothing more can be done from a destructor; the engine drops the transaction itself.
    }
}

void Transaction::Commit() {
    if (!connection_.InTransaction())
        throw RunError(err::EngineGeneralFailure, "Database engine: the transaction was rolled "
                                                  "back after a failure; nothing was stored");
    connection_.Run(name_.empty() ? "commit" : "release " + name_);
    open_ = false;
}

} // namespace mw
