#pragma once

#include <string>

#include "platform/ce/object_store.h"
#include "platform/dao/error.h"

// SQL pieces shared by the parts of the object store.
namespace ce::store_sql {

// The table of one database's records, and its sort key columns s1..s4.
std::string RecordTable(Oid db);
std::string SortColumn(int index);

void BindKey(dao::sqlite::Statement& st, int index, const SortKey& key);
SortKey KeyColumn(const dao::sqlite::Statement& st, int column);
QByteArray BlobColumn(const dao::sqlite::Statement& st, int column);
void BindBlob(dao::sqlite::Statement& st, int index, const QByteArray& bytes);
// Binds without a copy: `bytes` must outlive the statement's next step.
void BindBlobInPlace(dao::sqlite::Statement& st, int index, const QByteArray& bytes);

// The value a record has for a sort order: none when it lacks the property.
SortKey KeyOf(const SortOrderSpec& order, const Record& props);

// Registry key paths: levels joined by "\", compared without regard to case.
QString NormalPath(const QString& path);
QString Folded(const QString& text);

}  // namespace ce::store_sql

namespace ce {

// Data in the file that cannot be what the store wrote: the call fails with
// ERROR_INVALID_DATA and the store stays usable.
struct DamagedData {};

// Runs `body` as one unit: all of its statements or none.
template <typename Body>
void Atomically(dao::sqlite::Connection& db, Body&& body) {
    db.Exec("SAVEPOINT call");
    try {
        body();
    } catch (...) {
        db.ResetAll();
        try {
            db.Exec("ROLLBACK TO call");
            db.Exec("RELEASE call");
        } catch (...) {  // the first failure is the one to report
        }
        throw;
    }
    db.Exec("RELEASE call");
}

// Runs one call: SQLite failures become the call's error number.
template <typename Body>
std::uint32_t ObjectStore::Guard(Body&& body) {
    if (failed_) return ERROR_GEN_FAILURE;
    try {
        return body();
    } catch (const dao::Error& e) {
        return FailureOf(e.Number());
    } catch (const std::bad_alloc&) {
        return FailureOf(0);
    } catch (const DamagedData&) {
        StopAllCursors();
        db_.ResetAll();
        return ERROR_INVALID_DATA;
    }
}

}  // namespace ce
