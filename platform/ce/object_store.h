#pragma once

#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <variant>

#include "platform/ce/ce_api.h"
#include "platform/dao/sqlite.h"

namespace ce {

// A value a sort order compares: an integer, a text, or none (records
// lacking the property sort after all others).
using SortKey = std::variant<std::monostate, qint64, QString>;

// One registry value, as listed for inspection.
struct RegistryValue {
    HKey root = 0;
    QString key;
    QString name;
    std::uint32_t type = 0;
    QByteArray data;
};

// One handheld's object store image: a plain SQLite file holding its
// databases, their records and its registry. The file is held by one
// program at a time (the handheld program, or the desktop through the
// cradle) from Open until the store is destroyed.
//
// Every call that changes the store is atomic. Changes are committed when a
// database or key handle is closed, on Flush, every kCommitEvery changes
// and when the store is closed, so a crash loses at most the changes since
// then and never leaves a damaged store. Record object ids are unique within
// their database and never used twice.
class ObjectStore : public Api {
  public:
    static constexpr int kCommitEvery = 16384;

    // Opens the image at `path` for this program alone. With `create`, a
    // missing file becomes a new empty store (`pageSize` 0: SQLite's own).
    // Errors: ERROR_FILE_NOT_FOUND, ERROR_SHARING_VIOLATION (another program
    // holds it), ERROR_INVALID_DATA (not a store, or damaged).
    static std::unique_ptr<ObjectStore> Open(const QString& path, std::uint32_t& error,
                                             bool create = false, int pageSize = 0);
    ~ObjectStore() override;

    // Commits what is pending; 0 or ERROR_GEN_FAILURE.
    std::uint32_t Flush();
    // True once the file failed under the store (I/O error, vanished
    // space): every call then returns ERROR_GEN_FAILURE.
    bool Failed() const { return failed_; }
    const QString& Path() const { return path_; }

    // Bytes of record data the store may hold (0: no limit); a write beyond
    // it fails with ERROR_DISK_FULL, like a full object store.
    std::uint32_t SetCapacity(qint64 bytes);
    // Every registry value, keys in path order, values in the order they
    // were first set.
    std::uint32_t RegistryValues(std::vector<RegistryValue>& values);

    std::uint32_t OpenDatabase(Oid& oid, const QString& name, PropId sortOrder, std::uint32_t flags,
                               Handle& handle) override;
    std::uint32_t CreateDatabase(const QString& name, std::uint32_t type,
                                 const std::vector<SortOrderSpec>& sortOrders, Oid& oid) override;
    std::uint32_t DeleteDatabase(Oid oid) override;
    std::uint32_t SeekDatabase(Handle handle, std::uint32_t seekType, std::uint32_t value,
                               const PropVal* compared, Oid& found) override;
    std::uint32_t ReadRecordProps(Handle handle, Record& props, Oid& oid) override;
    std::uint32_t WriteRecordProps(Handle handle, Oid oid, const Record& props,
                                   Oid& written) override;
    std::uint32_t DeleteRecord(Handle handle, Oid oid) override;
    std::uint32_t OidGetInfo(Oid oid, ObjectInfo& info) override;
    std::uint32_t CloseHandle(Handle handle) override;
    std::uint32_t FindDatabases(std::uint32_t type, std::vector<Oid>& oids) override;
    std::uint32_t FlushDatabaseVolume() override { return Flush(); }

    std::uint32_t RegOpenKeyEx(HKey root, const QString& subKey, HKey& key) override;
    std::uint32_t RegCreateKeyEx(HKey root, const QString& subKey, HKey& key) override;
    std::uint32_t RegQueryValueEx(HKey key, const QString& name, std::uint32_t& type,
                                  QByteArray& data, std::uint32_t bufferSize) override;
    std::uint32_t RegSetValueEx(HKey key, const QString& name, std::uint32_t type,
                                const QByteArray& data) override;
    std::uint32_t RegCloseKey(HKey key) override;
    std::uint32_t RegDeleteKey(HKey root, const QString& subKey) override;

  private:
    // Where the next read of a handle starts: at the first record, at or
    // after a record's place in the sort order, or nowhere.
    struct Position {
        enum Kind { kStart, kAt, kAfter, kEnd } kind = kStart;
        SortKey key;
        Oid oid = 0;
        bool operator==(const Position&) const = default;
    };
    struct DatabaseDef {
        Oid oid = 0;
        QString name;
        std::uint32_t type = 0;
        std::vector<SortOrderSpec> sortOrders;
    };
    // A read going through a database in its active sort order. Reads one
    // after the other step it on instead of seeking each record anew; any
    // change to the database stops it.
    struct Cursor {
        std::unique_ptr<dao::sqlite::Statement> fromStart, fromAt, fromAfter;
        dao::sqlite::Statement* running = nullptr;
        Position next;  // the place its next step reads from
    };
    struct OpenDb {
        DatabaseDef def;
        int sortIndex = -1;  // -1: object id order (no sort orders)
        bool autoIncrement = false;
        bool deleted = false;
        Position position;
        Cursor cursor;
        // Statements of the busiest calls, made on their first use (the
        // connection's cache owns them).
        dao::sqlite::Statement* insert = nullptr;
        dao::sqlite::Statement* byId = nullptr;
        dao::sqlite::Statement* remove = nullptr;
    };
    struct OpenKey {
        qint64 id = 0;
        HKey root = 0;
        QString path;
        bool deleted = false;
    };
    struct Located {  // a record and its place
        Oid oid = 0;
        SortKey key;
        QByteArray props;
    };

    explicit ObjectStore(const QString& path);
    void Connect(bool create, int pageSize);
    void MakeNewStore(int pageSize);
    // Throws unless the file holds a sound store of this format.
    void CheckIsStore();

    template <typename Body>
    std::uint32_t Guard(Body&& body);
    std::uint32_t FailureOf(int engineError);
    void Changed();
    void BeginIfNeeded();
    void Commit();

    // Databases.
    std::optional<DatabaseDef> FindDatabase(Oid oid, const QString& name);
    std::uint32_t CheckNewDatabase(const QString& name,
                                   const std::vector<SortOrderSpec>& sortOrders);
    void CreateRecordTable(Oid oid, std::size_t sortCount);
    qint64 UsedBytes();
    std::uint32_t Lookup(Handle handle, OpenDb*& db);

    // Records.
    std::optional<Located> RecordAt(OpenDb& db, const Position& from);
    void StartCursor(OpenDb& db, const Position& from);
    // Stops the reads in progress: of one database, or of all of them.
    void StopCursors(Oid database);
    void StopAllCursors();
    std::optional<Located> RecordById(OpenDb& db, Oid oid);
    dao::sqlite::Statement& Prepared(dao::sqlite::Statement*& statement, const std::string& sql);
    std::uint32_t SeekByValue(OpenDb& db, std::uint32_t seekType, const PropVal* compared,
                              Oid& found);
    std::uint32_t InsertRecord(OpenDb& db, const Record& props, Oid& written);
    std::uint32_t UpdateRecord(OpenDb& db, Oid oid, const Record& props);
    std::uint32_t Room(qint64 added);
    void BindKeys(dao::sqlite::Statement& st, const DatabaseDef& def, const Record& props,
                  int first);

    // Registry.
    std::uint32_t ResolveKey(HKey parent, const QString& subKey, HKey& root, QString& path);
    std::optional<qint64> KeyId(HKey root, const QString& path);
    qint64 CreateKeyPath(HKey root, const QString& path);
    std::uint32_t LookupKey(HKey key, OpenKey*& open);
    std::uint32_t ValueKey(HKey key, qint64& id);
    HKey AddKeyHandle(qint64 id, HKey root, const QString& path);

    QString path_;
    dao::sqlite::Connection db_;
    bool failed_ = false;
    bool inTransaction_ = false;
    int pendingChanges_ = 0;
    qint64 capacity_ = 0;
    std::optional<qint64> used_;
    std::map<Handle, OpenDb> handles_;
    Handle nextHandle_ = 1;
    std::map<HKey, OpenKey> keys_;
    HKey nextKey_ = 1;
};

}  // namespace ce
