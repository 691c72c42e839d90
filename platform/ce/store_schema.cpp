#include "platform/ce/store_schema.h"

#include <QString>

#include <map>
#include <set>

#include "platform/ce/store_sql.h"

namespace ce::store_schema {
namespace {

const char kSequence[] = "CREATE TABLE sqlite_sequence(name,seq)";

// The database object id of a record table's name ("r12"), or 0.
Oid RecordTableOid(const QString& name) {
    if (name.size() < 2 || name[0] != QLatin1Char('r') || name[1] == QLatin1Char('0')) return 0;
    bool ok = false;
    const uint oid = name.mid(1).toUInt(&ok);
    return ok && QString::number(oid) == name.mid(1) ? oid : 0;
}

struct Entry {
    QString type, name, table, sql;
    bool hasSql = false;
};

bool FixedFits(const Entry& e) {
    static const std::set<QString> kAutoIndexed = {"meta", "databases", "reg_keys", "reg_values"};
    if (e.type == QLatin1String("index") && !e.hasSql) {
        return kAutoIndexed.count(e.table) && e.name == "sqlite_autoindex_" + e.table + "_1";
    }
    if (e.type != QLatin1String("table") || e.name != e.table) return false;
    if (e.name == QLatin1String("sqlite_sequence")) return e.sql == QLatin1String(kSequence);
    for (const std::string& sql : FixedTables()) {
        if (e.sql == QString::fromStdString(sql)) {
            return e.sql.startsWith("CREATE TABLE " + e.name + "(");
        }
    }
    return false;
}

// A record table: its sort count when it is one the store makes.
int RecordTableSorts(const Entry& e, Oid oid) {
    for (std::size_t sorts = 0; sorts <= CEDB_MAXSORTORDER; ++sorts) {
        if (e.sql == QString::fromStdString(RecordTableSql(oid, sorts).front())) {
            return static_cast<int>(sorts);
        }
    }
    return -1;
}

bool IndexFits(const Entry& e, const std::map<Oid, int>& tables) {
    const Oid oid = RecordTableOid(e.table);
    auto it = tables.find(oid);
    if (oid == 0 || it == tables.end() || !e.hasSql) return false;
    const std::vector<std::string> sql = RecordTableSql(oid, static_cast<std::size_t>(it->second));
    for (std::size_t i = 1; i < sql.size(); ++i) {
        if (e.sql == QString::fromStdString(sql[i])) {
            return e.name ==
                   e.table + "_" +
                       QString::fromStdString(store_sql::SortColumn(static_cast<int>(i - 1)));
        }
    }
    return false;
}

}  // namespace

const std::vector<std::string>& FixedTables() {
    static const std::vector<std::string> kTables = {
        "CREATE TABLE meta(name TEXT PRIMARY KEY, value)",
        "CREATE TABLE databases(oid INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL,"
        " folded TEXT NOT NULL UNIQUE, type INTEGER NOT NULL,"
        " sort1 INTEGER, sort2 INTEGER, sort3 INTEGER, sort4 INTEGER)",
        "CREATE TABLE reg_keys(id INTEGER PRIMARY KEY AUTOINCREMENT, root INTEGER NOT NULL,"
        " path TEXT NOT NULL, folded TEXT NOT NULL, UNIQUE(root, folded))",
        "CREATE TABLE reg_values(id INTEGER PRIMARY KEY AUTOINCREMENT, key INTEGER NOT NULL,"
        " name TEXT NOT NULL, folded TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
        " UNIQUE(key, folded))",
    };
    return kTables;
}

std::vector<std::string> RecordTableSql(Oid db, std::size_t sortCount) {
    const std::string table = store_sql::RecordTable(db);
    std::string create =
        "CREATE TABLE " + table + "(oid INTEGER PRIMARY KEY AUTOINCREMENT, props BLOB NOT NULL";
    std::vector<std::string> indexes;
    for (std::size_t i = 0; i < sortCount; ++i) {
        const std::string column = store_sql::SortColumn(static_cast<int>(i));
        create += ", " + column;
        indexes.push_back("CREATE INDEX " + table + "_" + column + " ON " + table + "(" + column +
                          ")");
    }
    std::vector<std::string> sql = {create + ")"};
    sql.insert(sql.end(), indexes.begin(), indexes.end());
    return sql;
}

bool SchemaFits(dao::sqlite::Connection& db) {
    std::vector<Entry> entries;
    {
        dao::sqlite::Statement st(db.Handle(),
                                  "SELECT type, name, tbl_name, sql FROM sqlite_master");
        while (st.Step()) {
            entries.push_back({st.Text(0), st.Text(1), st.Text(2), st.Text(3), !st.IsNull(3)});
        }
    }
    std::map<Oid, int> tables;  // record tables and their sort counts
    std::size_t fixed = 0;
    for (const Entry& e : entries) {
        const bool table = e.type == QLatin1String("table");
        const Oid oid = table && e.name == e.table ? RecordTableOid(e.name) : 0;
        if (oid != 0) {
            const int sorts = RecordTableSorts(e, oid);
            if (sorts < 0) return false;
            tables[oid] = sorts;
        } else if (table || (e.type == QLatin1String("index") && !e.hasSql)) {
            if (!FixedFits(e)) return false;
            ++fixed;
        } else if (e.type != QLatin1String("index")) {
            return false;
        }
    }
    std::size_t indexes = 0;
    for (const Entry& e : entries) {
        if (e.type == QLatin1String("index") && e.hasSql && !IndexFits(e, tables)) return false;
        if (e.type == QLatin1String("index") && e.hasSql) ++indexes;
    }
    std::size_t wanted = 0;
    for (const auto& [oid, sorts] : tables) wanted += static_cast<std::size_t>(sorts);
    // Four tables, their four automatic indexes, sqlite_sequence.
    return fixed == 2 * FixedTables().size() + 1 && indexes == wanted;
}

}  // namespace ce::store_schema
