// The record calls of the object store: seek, read, write, delete.
#include <algorithm>

#include "platform/ce/object_store.h"
#include "platform/ce/record_codec.h"
#include "platform/ce/store_sql.h"

namespace ce {
namespace {

using store_sql::BindKey;
using store_sql::RecordTable;
using store_sql::SortColumn;

// "SELECT oid, props, <key> FROM <table> " for a database read in its
// active sort order (the key is NULL without one).
std::string SelectFrom(const std::string& table, const std::string& column) {
    return "SELECT oid, props, " + (column.empty() ? std::string("NULL") : column) + " FROM " +
           table + " ";
}

bool SameKind(std::uint16_t sortType, std::uint16_t valueType) {
    auto numeric = [](std::uint16_t t) { return t == CEVT_UI2 || t == CEVT_UI4; };
    return numeric(sortType) ? numeric(valueType) : valueType == sortType;
}

}  // namespace

void ObjectStore::BindKeys(dao::sqlite::Statement& st, const DatabaseDef& def, const Record& props,
                           int first) {
    for (std::size_t i = 0; i < def.sortOrders.size(); ++i) {
        BindKey(st, first + static_cast<int>(i), store_sql::KeyOf(def.sortOrders[i], props));
    }
}

dao::sqlite::Statement& ObjectStore::Prepared(dao::sqlite::Statement*& statement,
                                              const std::string& sql) {
    if (statement) {
        statement->Reset();
    } else {
        statement = &db_.Cached(sql);
    }
    return *statement;
}

// The statement that reads the records from `from` on, in the active sort
// order: ties first (same key, later object id), then the later keys, each
// part along the sort order's index. Made once per handle and kind of start.
void ObjectStore::StartCursor(OpenDb& db, const Position& from) {
    Cursor& cursor = db.cursor;
    const bool start = from.kind == Position::kStart, after = from.kind == Position::kAfter;
    std::unique_ptr<dao::sqlite::Statement>& statement = start   ? cursor.fromStart
                                                         : after ? cursor.fromAfter
                                                                 : cursor.fromAt;
    const bool sorted = db.sortIndex >= 0;
    if (!statement) {
        const std::string column = sorted ? SortColumn(db.sortIndex) : std::string();
        const std::string select = SelectFrom(RecordTable(db.def.oid), column);
        const std::string order = sorted ? "ORDER BY " + column + ", oid" : "ORDER BY oid";
        const std::string compare = after ? ">" : ">=";
        std::string sql = select + order;
        if (!start && !sorted) sql = select + "WHERE oid " + compare + " ?2 " + order;
        if (!start && sorted) {
            sql = "SELECT * FROM (" + select + "WHERE " + column + " = ?1 AND oid " + compare +
                  " ?2 ORDER BY oid) UNION ALL SELECT * FROM (" + select + "WHERE " + column +
                  " > ?1 " + order + ")";
        }
        statement = std::make_unique<dao::sqlite::Statement>(db_.Handle(), sql);
    }
    statement->Reset();
    if (!start) {
        if (sorted) BindKey(*statement, 1, from.key);
        statement->BindInt(2, from.oid);
    }
    cursor.running = statement.get();
    cursor.next = from;
}

std::optional<ObjectStore::Located> ObjectStore::RecordAt(OpenDb& db, const Position& from) {
    if (from.kind == Position::kEnd) return std::nullopt;
    Cursor& cursor = db.cursor;
    if (!cursor.running || !(cursor.next == from)) StartCursor(db, from);
    dao::sqlite::Statement& st = *cursor.running;
    // Stopped first: a failing step leaves no read half done.
    cursor.running = nullptr;
    if (!st.Step()) {
        st.Reset();
        return std::nullopt;
    }
    Located found{static_cast<Oid>(st.Int(0)), store_sql::KeyColumn(st, 2),
                  store_sql::BlobColumn(st, 1)};
    cursor.running = &st;
    cursor.next = {Position::kAfter, found.key, found.oid};
    return found;
}

void ObjectStore::StopCursors(Oid database) {
    for (auto& [handle, open] : handles_) {
        if (open.def.oid != database || !open.cursor.running) continue;
        open.cursor.running->Reset();
        open.cursor.running = nullptr;
    }
}

void ObjectStore::StopAllCursors() {
    for (auto& [handle, open] : handles_) {
        if (!open.cursor.running) continue;
        open.cursor.running->Reset();
        open.cursor.running = nullptr;
    }
}

std::optional<ObjectStore::Located> ObjectStore::RecordById(OpenDb& db, Oid oid) {
    const std::string column = db.sortIndex < 0 ? std::string() : SortColumn(db.sortIndex);
    auto& st = Prepared(db.byId, SelectFrom(RecordTable(db.def.oid), column) + "WHERE oid = ?1");
    st.BindInt(1, oid);
    if (!st.Step()) return std::nullopt;
    Located found{oid, store_sql::KeyColumn(st, 2), store_sql::BlobColumn(st, 1)};
    st.Reset();
    return found;
}

std::uint32_t ObjectStore::SeekByValue(OpenDb& db, std::uint32_t seekType, const PropVal* compared,
                                       Oid& found) {
    if (!compared || db.sortIndex < 0) return ERROR_INVALID_PARAMETER;
    const SortOrderSpec& order = db.def.sortOrders[static_cast<std::size_t>(db.sortIndex)];
    if (!SameKind(TypeOf(order.propId), compared->Type())) return ERROR_INVALID_PARAMETER;
    const std::string column = SortColumn(db.sortIndex);
    const std::string head =
        "SELECT oid, " + column + " FROM " + RecordTable(db.def.oid) + " WHERE ";
    // Records lacking the property (a blob key) never match a value.
    auto& st = seekType == CEDB_SEEK_VALUEGREATER
                   ? db_.Cached(head + column + " >= ?1 AND " + column + " < X'' ORDER BY " +
                                column + ", oid LIMIT 1")
                   : db_.Cached(head + column + " = ?1 ORDER BY oid LIMIT 1");
    BindKey(st, 1, store_sql::KeyOf({compared->id, 0}, {*compared}));
    if (!st.Step()) {
        db.position = {Position::kEnd, {}, 0};
        return ERROR_NO_DATA;
    }
    found = static_cast<Oid>(st.Int(0));
    db.position = {Position::kAt, store_sql::KeyColumn(st, 1), found};
    st.Reset();
    return 0;
}

std::uint32_t ObjectStore::SeekDatabase(Handle handle, std::uint32_t seekType, std::uint32_t value,
                                        const PropVal* compared, Oid& found) {
    found = 0;
    return Guard([&]() -> std::uint32_t {
        OpenDb* db = nullptr;
        if (std::uint32_t error = Lookup(handle, db)) return error;
        switch (seekType) {
            case CEDB_SEEK_BEGINNING: {
                db->position = {Position::kStart, {}, 0};
                auto first = RecordAt(*db, db->position);
                if (!first) return ERROR_NO_DATA;
                found = first->oid;
                return 0;
            }
            case CEDB_SEEK_CEOID: {
                auto record = value != 0 ? RecordById(*db, value) : std::nullopt;
                if (!record) return ERROR_NO_DATA;
                db->position = {Position::kAt, record->key, record->oid};
                found = record->oid;
                return 0;
            }
            case CEDB_SEEK_VALUEGREATER:
            case CEDB_SEEK_VALUEFIRSTEQUAL: return SeekByValue(*db, seekType, compared, found);
            default: return ERROR_INVALID_PARAMETER;
        }
    });
}

std::uint32_t ObjectStore::ReadRecordProps(Handle handle, Record& props, Oid& oid) {
    oid = 0;
    props.clear();
    return Guard([&]() -> std::uint32_t {
        OpenDb* db = nullptr;
        if (std::uint32_t error = Lookup(handle, db)) return error;
        std::optional<Located> record = RecordAt(*db, db->position);
        if (!record) return ERROR_NO_MORE_ITEMS;
        std::optional<Record> decoded = DecodeRecord(record->props);
        if (!decoded) throw DamagedData{};
        props = std::move(*decoded);
        oid = record->oid;
        db->position = {db->autoIncrement ? Position::kAfter : Position::kAt, record->key, oid};
        return 0;
    });
}

std::uint32_t ObjectStore::InsertRecord(OpenDb& db, const Record& props, Oid& written) {
    const bool removals = std::any_of(props.begin(), props.end(),
                                      [](const PropVal& p) { return p.flags == CEDB_PROPDELETE; });
    Record merged;
    if (removals) merged = MergeRecord({}, props);
    const Record& stored = removals ? merged : props;
    const QByteArray encoded = EncodeRecord(stored);
    if (std::uint32_t error = Room(encoded.size())) return error;
    std::string sql;
    if (!db.insert) {
        sql = "INSERT INTO " + RecordTable(db.def.oid) + "(props";
        std::string values = ") VALUES(?1";
        for (std::size_t i = 0; i < db.def.sortOrders.size(); ++i) {
            sql += ", " + SortColumn(static_cast<int>(i));
            values += ", ?" + std::to_string(i + 2);
        }
        sql += values + ")";
    }
    BeginIfNeeded();
    StopCursors(db.def.oid);
    auto& st = Prepared(db.insert, sql);
    store_sql::BindBlobInPlace(st, 1, encoded);
    BindKeys(st, db.def, stored, 2);
    st.Run();
    written = static_cast<Oid>(sqlite3_last_insert_rowid(db_.Handle()));
    if (used_) *used_ += encoded.size();
    Changed();
    return 0;
}

std::uint32_t ObjectStore::UpdateRecord(OpenDb& db, Oid oid, const Record& props) {
    std::optional<Located> old = RecordById(db, oid);
    if (!old) return ERROR_NO_DATA;
    std::optional<Record> decoded = DecodeRecord(old->props);
    if (!decoded) throw DamagedData{};
    const Record stored = MergeRecord(std::move(*decoded), props);
    if (std::uint32_t error = CheckWritable(stored)) return error;
    const QByteArray encoded = EncodeRecord(stored);
    if (std::uint32_t error = Room(encoded.size() - old->props.size())) return error;
    std::string sql = "UPDATE " + RecordTable(db.def.oid) + " SET props = ?1";
    for (std::size_t i = 0; i < db.def.sortOrders.size(); ++i) {
        sql += ", " + SortColumn(static_cast<int>(i)) + " = ?" + std::to_string(i + 2);
    }
    const int oidIndex = static_cast<int>(db.def.sortOrders.size()) + 2;
    BeginIfNeeded();
    StopCursors(db.def.oid);
    auto& st = db_.Cached(sql + " WHERE oid = ?" + std::to_string(oidIndex));
    store_sql::BindBlob(st, 1, encoded);
    BindKeys(st, db.def, stored, 2);
    st.BindInt(oidIndex, oid);
    st.Run();
    if (used_) *used_ += encoded.size() - old->props.size();
    Changed();
    return 0;
}

std::uint32_t ObjectStore::WriteRecordProps(Handle handle, Oid oid, const Record& props,
                                            Oid& written) {
    written = 0;
    return Guard([&]() -> std::uint32_t {
        OpenDb* db = nullptr;
        if (std::uint32_t error = Lookup(handle, db)) return error;
        if (std::uint32_t error = CheckWritable(props)) return error;
        if (oid == 0) return InsertRecord(*db, props, written);
        if (std::uint32_t error = UpdateRecord(*db, oid, props)) return error;
        written = oid;
        return 0;
    });
}

std::uint32_t ObjectStore::DeleteRecord(Handle handle, Oid oid) {
    return Guard([&]() -> std::uint32_t {
        OpenDb* db = nullptr;
        if (std::uint32_t error = Lookup(handle, db)) return error;
        if (oid == 0) return ERROR_NO_DATA;
        // The size it frees matters only while a capacity is kept.
        std::optional<Located> old = used_ ? RecordById(*db, oid) : std::nullopt;
        if (used_ && !old) return ERROR_NO_DATA;
        BeginIfNeeded();
        StopCursors(db->def.oid);
        auto& st = Prepared(
            db->remove, db->remove ? std::string()
                                   : "DELETE FROM " + RecordTable(db->def.oid) + " WHERE oid = ?1");
        st.BindInt(1, oid);
        st.Run();
        if (sqlite3_changes(db_.Handle()) == 0) return ERROR_NO_DATA;
        if (used_) *used_ -= old->props.size();
        Changed();
        return 0;
    });
}

}  // namespace ce
