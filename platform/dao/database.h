#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <set>

#include "platform/dao/field_info.h"
#include "platform/dao/sqlite.h"

namespace dao {

class Recordset;
class ScratchFile;
class TableRecordset;
class DynasetRecordset;

// One database file: a SQLCipher file holding the tables, a catalog of their
// full field and index descriptions, and the stored queries. Opened
// exclusively: while it is open no other connection, in this process or
// another, can use the file.
class Database {
  public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Creates a new, empty database file, readable by its owner only (error
    // 3204 when the path exists); an empty password leaves it unencrypted.
    static std::unique_ptr<Database> Create(const QString& path, const QString& password = {});
    // Creates a new, empty database in a scratch file that is to take a
    // database's place once complete: written without a journal file.
    static std::unique_ptr<Database> CreateWorkFile(const ScratchFile& file,
                                                    const QString& password);
    // Opens a database from a connect string ";pwd=" + password. A wrong
    // password gives 3031, a file that is not a database of this engine 3343,
    // a file another connection holds 3045. Nothing is written on failure.
    // A symbolic link is followed once: Path() is the file itself. Scratch
    // files that killed runs left beside it are removed.
    static std::unique_ptr<Database> Open(const QString& path, const QString& connect = {});
    // Copies a closed database into a new file with the given password; the
    // copy appears whole at `destination` or not at all, and never replaces
    // a file (3204).
    static void Compact(const QString& source, const QString& sourceConnect,
                        const QString& destination, const QString& destinationPassword);
    // The password of a connect string (";pwd=secret" -> "secret").
    static QString PasswordOf(const QString& connect);

    void Close();
    bool IsOpen() const { return connection_.IsOpen(); }
    const QString& Path() const { return path_; }
    bool HasPassword() const { return !password_.isEmpty(); }

    // Changes the password from `oldPassword` (3031 when it is not the one in
    // force) to `newPassword`; empty removes it. The file is rewritten to a
    // new file that replaces the old one in a single step, so a crash leaves
    // either the old or the new file, never neither.
    void NewPassword(const QString& oldPassword, const QString& newPassword);
    // Writes a consistent copy of this database, with its password, to the
    // new file `destination` (3204 when it exists); the copy appears whole
    // or not at all.
    void BackupTo(const QString& destination);

    // Table definitions.
    void CreateTable(const TableDef& table);
    void AppendField(const QString& table, const FieldInfo& field);
    bool HasTable(const QString& table) const;
    QStringList TableNames() const;
    // The table's fields and indexes in ordinal order, as the catalog keeps
    // them (3078 for an unknown table). A copy: definitions change as fields
    // are appended.
    TableDef GetTableDef(const QString& table) const;

    // Stored queries.
    void CreateQueryDef(const QueryDef& query);
    bool HasQueryDef(const QString& name) const;
    QStringList QueryDefNames() const;
    QueryDef GetQueryDef(const QString& name) const;

    // Recordsets. A table recordset walks an index and seeks on it; a
    // dynaset holds the rows a query or filter selects at (re)query time.
    std::unique_ptr<TableRecordset> OpenTable(const QString& table);
    std::unique_ptr<DynasetRecordset> OpenDynaset(const QString& table, const QString& filter = {},
                                                  const QString& sort = {});
    // A recordset on a stored query; set its parameters, then Requery().
    std::unique_ptr<DynasetRecordset> OpenQuery(const QString& name);

    // Workspace transactions; they nest. After a full disk or an I/O error
    // the engine may have rolled a transaction back by itself: rolling back
    // then ends it quietly, while committing, beginning a nested one or
    // writing on fails with 3034 (each change would be committed alone).
    void BeginTrans();
    void CommitTrans();
    void Rollback();
    int TransactionDepth() const { return transactionDepth_; }

    // Runs SQLite SQL directly, for bulk work of the layers above that the
    // recordsets would do row by row.
    void ExecuteSql(const std::string& sql);
    sqlite::Connection& Connection() { return connection_; }

    // Called at the named steps of a password change or compaction, so tests
    // can stop the process there.
    using StepHook = std::function<void(const char* step)>;
    static void SetStepHook(StepHook hook);
    static void Step(const char* step);

  private:
    friend class Recordset;
    Database() = default;
    static std::unique_ptr<Database> CreateIn(const QString& path, const QString& password,
                                              bool scratch);
    void OpenFile(const QString& given, const QString& password);
    void TakeExclusiveLock();
    // 3034 when the engine ended the transaction in force by itself.
    void CheckTransaction() const;
    void LoadCatalog();
    void Register(Recordset* rs) { recordsets_.insert(rs); }
    void Unregister(Recordset* rs) { recordsets_.erase(rs); }

    sqlite::Connection connection_;
    QString path_;
    QString password_;
    int transactionDepth_ = 0;
    std::map<QString, TableDef> tables_;  // keyed by lower-case name
    std::set<Recordset*> recordsets_;
};

// Begins a transaction and rolls it back unless committed.
class Transaction {
  public:
    explicit Transaction(Database& db) : db_(db) { db_.BeginTrans(); }
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

  private:
    Database& db_;
    bool open_ = true;
};

}  // namespace dao
