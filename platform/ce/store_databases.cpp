// The database calls of the object store: open, create, delete, information.
#include <set>

#include "platform/ce/object_store.h"
#include "platform/ce/store_schema.h"
#include "platform/ce/store_sql.h"

namespace ce {
namespace {

using store_sql::RecordTable;
using store_sql::SortColumn;

bool Sortable(PropId id) {
    std::uint16_t type = TypeOf(id);
    return type == CEVT_UI2 || type == CEVT_UI4 || type == CEVT_LPWSTR;
}

// The table of a database must have the columns the store gave it.
bool TableFits(dao::sqlite::Connection& db, Oid oid, std::size_t sortCount) {
    dao::sqlite::Statement info(db.Handle(), "PRAGMA table_info(" + RecordTable(oid) + ")");
    std::vector<QString> columns;
    while (info.Step()) columns.push_back(info.Text(1));
    if (columns.size() != sortCount + 2) return false;
    if (columns[0] != QLatin1String("oid") || columns[1] != QLatin1String("props")) return false;
    for (std::size_t i = 0; i < sortCount; ++i) {
        if (columns[i + 2] != QString::fromStdString(SortColumn(static_cast<int>(i)))) return false;
    }
    return true;
}

}  // namespace

std::optional<ObjectStore::DatabaseDef> ObjectStore::FindDatabase(Oid oid, const QString& name) {
    auto& st = oid != 0 ? db_.Cached(
                              "SELECT oid, name, type, sort1, sort2, sort3, sort4 FROM databases"
                              " WHERE oid = ?1")
                        : db_.Cached(
                              "SELECT oid, name, type, sort1, sort2, sort3, sort4 FROM databases"
                              " WHERE folded = ?1");
    if (oid != 0) {
        st.BindInt(1, oid);
    } else {
        st.BindText(1, store_sql::Folded(name));
    }
    if (!st.Step()) return std::nullopt;
    DatabaseDef def;
    def.oid = static_cast<Oid>(st.Int(0));
    def.name = st.Text(1);
    def.type = static_cast<std::uint32_t>(st.Int(2));
    for (int i = 0; i < CEDB_MAXSORTORDER && !st.IsNull(3 + i); ++i) {
        def.sortOrders.push_back({static_cast<PropId>(st.Int(3 + i)), 0});
        if (!Sortable(def.sortOrders.back().propId)) throw DamagedData{};
    }
    st.Reset();
    if (def.oid == 0 || !TableFits(db_, def.oid, def.sortOrders.size())) throw DamagedData{};
    return def;
}

std::uint32_t ObjectStore::OpenDatabase(Oid& oid, const QString& name, PropId sortOrder,
                                        std::uint32_t flags, Handle& handle) {
    handle = 0;
    return Guard([&]() -> std::uint32_t {
        if (oid == 0 && name.isEmpty()) return ERROR_INVALID_PARAMETER;
        std::optional<DatabaseDef> def = FindDatabase(oid, name);
        if (!def) return ERROR_FILE_NOT_FOUND;
        OpenDb open;
        open.def = *def;
        open.autoIncrement = (flags & CEDB_AUTOINCREMENT) != 0;
        const auto& orders = def->sortOrders;
        for (std::size_t i = 0; i < orders.size() && open.sortIndex < 0; ++i) {
            if (sortOrder == 0 || orders[i].propId == sortOrder)
                open.sortIndex = static_cast<int>(i);
        }
        if (sortOrder != 0 && open.sortIndex < 0) return ERROR_INVALID_PARAMETER;
        oid = def->oid;
        handle = nextHandle_++;
        handles_[handle] = std::move(open);
        return 0;
    });
}

std::uint32_t ObjectStore::CheckNewDatabase(const QString& name,
                                            const std::vector<SortOrderSpec>& sortOrders) {
    if (name.isEmpty() || name.size() >= CEDB_MAXDBASENAMELEN) return ERROR_INVALID_PARAMETER;
    if (sortOrders.size() > CEDB_MAXSORTORDER) return ERROR_INVALID_PARAMETER;
    std::set<PropId> seen;
    for (const SortOrderSpec& order : sortOrders) {
        if (!Sortable(order.propId) || order.flags != 0 || !seen.insert(order.propId).second) {
            return ERROR_INVALID_PARAMETER;
        }
    }
    auto& st = db_.Cached("SELECT 1 FROM databases WHERE folded = ?1");
    st.BindText(1, store_sql::Folded(name));
    return st.Step() ? ERROR_DUP_NAME : 0;
}

void ObjectStore::CreateRecordTable(Oid oid, std::size_t sortCount) {
    for (const std::string& sql : store_schema::RecordTableSql(oid, sortCount)) db_.Exec(sql);
}

std::uint32_t ObjectStore::CreateDatabase(const QString& name, std::uint32_t type,
                                          const std::vector<SortOrderSpec>& sortOrders, Oid& oid) {
    oid = 0;
    return Guard([&]() -> std::uint32_t {
        if (std::uint32_t error = CheckNewDatabase(name, sortOrders)) return error;
        BeginIfNeeded();
        StopAllCursors();
        Atomically(db_, [&] {
            auto& st = db_.Cached(
                "INSERT INTO databases(name, folded, type, sort1, sort2, sort3, sort4)"
                " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
            st.BindText(1, name);
            st.BindText(2, store_sql::Folded(name));
            st.BindInt(3, type);
            for (std::size_t i = 0; i < sortOrders.size(); ++i) {
                st.BindInt(4 + static_cast<int>(i), sortOrders[i].propId);
            }
            st.Run();
            oid = static_cast<Oid>(sqlite3_last_insert_rowid(db_.Handle()));
            CreateRecordTable(oid, sortOrders.size());
        });
        Changed();
        return 0;
    });
}

std::uint32_t ObjectStore::DeleteDatabase(Oid oid) {
    return Guard([&]() -> std::uint32_t {
        if (oid == 0 || !FindDatabase(oid, {})) return ERROR_FILE_NOT_FOUND;
        BeginIfNeeded();
        StopAllCursors();
        db_.ResetAll();
        Atomically(db_, [&] {
            db_.Exec("DROP TABLE " + RecordTable(oid));
            auto& st = db_.Cached("DELETE FROM databases WHERE oid = ?1");
            st.BindInt(1, oid);
            st.Run();
        });
        for (auto& [handle, open] : handles_) {
            if (open.def.oid == oid) open.deleted = true;
        }
        used_.reset();
        Changed();
        return 0;
    });
}

std::uint32_t ObjectStore::OidGetInfo(Oid oid, ObjectInfo& info) {
    return Guard([&]() -> std::uint32_t {
        std::optional<DatabaseDef> def = oid != 0 ? FindDatabase(oid, {}) : std::nullopt;
        if (!def) return ERROR_FILE_NOT_FOUND;
        auto& st =
            db_.Cached("SELECT count(*), total(length(props)) FROM " + RecordTable(def->oid));
        st.Step();
        info.objType = OBJTYPE_DATABASE;
        info.database = {def->name, def->type, static_cast<std::uint32_t>(st.Int(0)),
                         static_cast<std::uint32_t>(sqlite3_column_double(st.Handle(), 1)),
                         def->sortOrders};
        return 0;
    });
}

std::uint32_t ObjectStore::CloseHandle(Handle handle) {
    return Guard([&]() -> std::uint32_t {
        if (handles_.erase(handle) == 0) return ERROR_INVALID_HANDLE;
        Commit();
        return 0;
    });
}

std::uint32_t ObjectStore::FindDatabases(std::uint32_t type, std::vector<Oid>& oids) {
    oids.clear();
    return Guard([&]() -> std::uint32_t {
        auto& st = db_.Cached("SELECT oid, type FROM databases ORDER BY oid");
        while (st.Step()) {
            if (type == 0 || static_cast<std::uint32_t>(st.Int(1)) == type) {
                oids.push_back(static_cast<Oid>(st.Int(0)));
            }
        }
        return 0;
    });
}

std::uint32_t ObjectStore::Lookup(Handle handle, OpenDb*& db) {
    auto it = handles_.find(handle);
    if (it == handles_.end()) return ERROR_INVALID_HANDLE;
    if (it->second.deleted) return ERROR_KEY_DELETED;
    db = &it->second;
    return 0;
}

}  // namespace ce
