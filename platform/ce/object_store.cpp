#include "platform/ce/object_store.h"

#include <QFile>
#include <QFileInfo>

#include "platform/ce/store_schema.h"
#include "platform/ce/store_sql.h"
#include "platform/dao/error.h"
#include "platform/dao/owner_files.h"

namespace ce {
namespace {

constexpr int kFormat = 1;

}  // namespace

ObjectStore::ObjectStore(const QString& path) : path_(path) {}

ObjectStore::~ObjectStore() {
    if (!failed_ && inTransaction_) {
        try {
            Commit();
        } catch (...) {  // nothing left to tell: the store goes away either way
        }
    }
}

std::unique_ptr<ObjectStore> ObjectStore::Open(const QString& path, std::uint32_t& error,
                                               bool create, int pageSize) {
    const bool exists = QFileInfo(path).isFile();
    if (!exists && !create) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    std::unique_ptr<ObjectStore> store(new ObjectStore(path));
    try {
        // A store holds PINs and codes: readable by its owner only.
        if (!exists) dao::CreateOwnerOnlyFile(path);
        store->Connect(!exists, pageSize);
    } catch (const dao::Error& e) {
        store.reset();
        if (!exists) QFile::remove(path);
        if (e.Number() == dao::kErrFileInUse) {
            error = ERROR_SHARING_VIOLATION;
        } else if (e.Number() == dao::kErrFileNotFound) {
            error = ERROR_FILE_NOT_FOUND;
        } else {
            error = ERROR_INVALID_DATA;
        }
        return nullptr;
    } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    error = 0;
    return store;
}

void ObjectStore::Connect(bool create, int pageSize) {
    db_.Open(path_, create);
    // Holding the locks from here on keeps every other program out until
    // this one lets go of the file.
    db_.Exec("PRAGMA locking_mode=EXCLUSIVE");
    db_.Exec("PRAGMA cell_size_check=ON");
    if (create) {
        MakeNewStore(pageSize);
    } else {
        // Checked before anything is written: a write transaction alone
        // would turn an empty file into a database.
        CheckIsStore();
        db_.Exec("BEGIN EXCLUSIVE");
        db_.Exec("COMMIT");
    }
    auto& capacity = db_.Cached("SELECT value FROM meta WHERE name = 'capacity'");
    capacity_ = capacity.Step() ? std::max<qint64>(0, capacity.Int(0)) : 0;
    capacity.Reset();
}

void ObjectStore::MakeNewStore(int pageSize) {
    if (pageSize > 0) db_.Exec("PRAGMA page_size=" + std::to_string(pageSize));
    db_.Exec("BEGIN EXCLUSIVE");
    for (const std::string& sql : store_schema::FixedTables()) db_.Exec(sql);
    db_.Exec("INSERT INTO meta VALUES('format', " + std::to_string(kFormat) + ")");
    db_.Exec("INSERT INTO meta VALUES('capacity', 0)");
    for (HKey root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        db_.Exec("INSERT INTO reg_keys(root, path, folded) VALUES(" + std::to_string(root) +
                 ", '', '')");
    }
    db_.Exec("COMMIT");
}

void ObjectStore::CheckIsStore() {
    if (!store_schema::SchemaFits(db_)) dao::Throw(dao::kErrUnrecognizedFormat);
    auto& check = db_.Cached("PRAGMA quick_check");
    const bool sound = check.Step() && check.Text(0) == QLatin1String("ok");
    check.Reset();
    if (!sound) dao::Throw(dao::kErrCorrupt);
    auto& format = db_.Cached("SELECT value FROM meta WHERE name = 'format'");
    const bool known = format.Step() && format.Int(0) == kFormat;
    format.Reset();
    if (!known) dao::Throw(dao::kErrUnrecognizedFormat);
}

// A failed SQLite call: out of memory or space leaves the store usable as
// long as the pending changes survived; anything else means the file
// failed under us.
std::uint32_t ObjectStore::FailureOf(int engineError) {
    StopAllCursors();
    db_.ResetAll();
    const bool memory = engineError == 0;
    const bool full = engineError == dao::kErrDiskFull;
    const bool changesKept = !inTransaction_ || !sqlite3_get_autocommit(db_.Handle());
    if ((memory || full) && changesKept) {
        return memory ? ERROR_NOT_ENOUGH_MEMORY : ERROR_DISK_FULL;
    }
    failed_ = true;
    return ERROR_GEN_FAILURE;
}

void ObjectStore::BeginIfNeeded() {
    if (inTransaction_) return;
    db_.Exec("BEGIN IMMEDIATE");
    inTransaction_ = true;
}

void ObjectStore::Changed() {
    if (++pendingChanges_ >= kCommitEvery) Commit();
}

void ObjectStore::Commit() {
    pendingChanges_ = 0;
    if (!inTransaction_) return;
    StopAllCursors();
    db_.ResetAll();
    db_.Exec("COMMIT");
    inTransaction_ = false;
}

std::uint32_t ObjectStore::Flush() {
    return Guard([&]() -> std::uint32_t {
        Commit();
        return 0;
    });
}

std::uint32_t ObjectStore::SetCapacity(qint64 bytes) {
    return Guard([&]() -> std::uint32_t {
        BeginIfNeeded();
        auto& st = db_.Cached("UPDATE meta SET value = ?1 WHERE name = 'capacity'");
        st.BindInt(1, std::max<qint64>(0, bytes));
        st.Run();
        capacity_ = std::max<qint64>(0, bytes);
        Commit();
        return 0;
    });
}

qint64 ObjectStore::UsedBytes() {
    if (used_) return *used_;
    qint64 total = 0;
    auto& list = db_.Cached("SELECT oid FROM databases");
    std::vector<Oid> oids;
    while (list.Step()) oids.push_back(static_cast<Oid>(list.Int(0)));
    for (Oid oid : oids) {
        auto& sum = db_.Cached("SELECT total(length(props)) FROM " + store_sql::RecordTable(oid));
        if (sum.Step()) total += static_cast<qint64>(sqlite3_column_double(sum.Handle(), 0));
    }
    used_ = total;
    return total;
}

std::uint32_t ObjectStore::Room(qint64 added) {
    if (capacity_ == 0 || added <= 0) return 0;
    return UsedBytes() + added > capacity_ ? ERROR_DISK_FULL : 0;
}

}  // namespace ce
