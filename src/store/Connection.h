#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace mw {

// One prepared statement; values are always bound, never pasted into the text.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Prepared() const { return stmt_ != nullptr; }
    Statement& Bind(int index, std::int64_t value);
    Statement& Bind(int index, double value);
    Statement& Bind(int index, std::string_view text);
    Statement& BindNull(int index);
    int ParameterIndex(const char* name) const;

    // Runs to the next row; false when the statement is done. Throws RunError on failure.
    bool Step();
    void Reset();  // ready to run again, with its values cleared
    void Rewind(); // ready to run again, keeping its values for the caller to overwrite

    bool IsNull(int column) const;
    std::int64_t Int(int column) const;
    std::string Text(int column) const;
    bool IsInteger(int column) const;

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

// The shared connection to the library file (cnTemplates). It opens the file the first time a
// record object connects and never creates it: a missing library is an error, not a new file,
// and a file that is not a sound library (store/LibraryCheck) is refused before any write.
class Connection {
public:
    explicit Connection(std::string databasePath);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void OpenConnection(const std::string& connectString);
    bool blnConnected() const { return db_ != nullptr; }
    const std::string& DatabasePath() const { return path_; }

    sqlite3* Handle() const; // throws when not yet opened
    Statement Prepare(std::string_view sql) const { return Statement(Handle(), sql); }
    void Run(std::string_view sql) const; // a statement without values
    // Whether a transaction is open; the engine may end one by itself after a failed write.
    bool InTransaction() const;

    // Grows with every row this connection inserts, updates or deletes; row sets compare it to
    // know when what they fetched may be out of date.
    std::int64_t ChangeStamp() const;

private:
    std::string path_;
    sqlite3* db_ = nullptr;
};

// All or nothing: a nestable transaction that rolls back unless committed. The outermost one
// takes the write lock at once, so that a second writer waits its turn (the busy timeout)
// instead of being refused halfway; nested ones are savepoints inside it.
class Transaction {
public:
    explicit Transaction(const Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    const Connection& connection_;
    std::string name_; // of the savepoint; empty for the outermost transaction
    bool open_ = true;
};

} // namespace mw
