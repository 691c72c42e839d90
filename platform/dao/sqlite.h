#pragma once

#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlcipher/sqlite3.h>

#include <QString>
#include <QVariant>

#include <map>
#include <memory>
#include <string>

namespace dao::sqlite {

// The engine error for a failed SQLite call on `db` (`what` names the file
// or object the user knows it by).
[[noreturn]] void ThrowFor(sqlite3* db, int rc, const QString& what = {});

// A prepared statement. Owned either by a Connection's cache (reset after
// use) or on its own.
class Statement {
  public:
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds a value (null, bool, integer, text; dates are stored as integers
    // by the caller) to a 1-based parameter.
    void Bind(int index, const QVariant& value);
    void BindInt(int index, qint64 value);
    void BindText(int index, const QString& value);
    // Steps once: true while a row is available.
    bool Step();
    // Runs to completion.
    void Run();
    void Reset();

    int ColumnCount() const;
    bool IsNull(int column) const;
    qint64 Int(int column) const;
    QString Text(int column) const;
    QVariant Value(int column) const;  // untyped: null, integer, real or text
    QString ColumnName(int column) const;
    QString ColumnOriginName(int column) const;
    QString ColumnTableName(int column) const;
    sqlite3_stmt* Handle() const { return stmt_; }

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// One open SQLite connection with a cache of prepared statements.
class Connection {
  public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing file read-write (never creates it), or creates a new
    // one when `create` is set.
    void Open(const QString& path, bool create);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    sqlite3* Handle() const { return db_; }

    // Sets the encryption key; an empty key leaves the file plain.
    void Key(const QString& password);
    void Exec(const std::string& sql);
    // A cached statement, reset and with its bindings cleared.
    Statement& Cached(const std::string& sql);
    // Drops every cached statement (before schema changes and detaching).
    void ClearCache();
    // Ends every cached statement's pending read (before transaction ends).
    void ResetAll();

  private:
    sqlite3* db_ = nullptr;
    std::map<std::string, std::unique_ptr<Statement>> cache_;
};

// A double-quoted SQL identifier.
std::string Quote(const QString& identifier);
// A single-quoted SQL string literal.
std::string Literal(const QString& text);

}  // namespace dao::sqlite
