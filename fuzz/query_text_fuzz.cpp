// Stored query texts come from facility files; the translation must refuse
// what it cannot read with an engine error, and whatever it produces must be
// something SQLite either compiles or refuses, never a crash.
#include <cstdint>

#include "platform/dao/error.h"
#include "platform/dao/jet_sql.h"
#include "platform/dao/sqlite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static sqlite3* db = [] {
        sqlite3* handle = nullptr;
        sqlite3_open(":memory:", &handle);
        sqlite3_exec(handle, "CREATE TABLE \"Locks\"(\"Lock Key\" INTEGER, \"FullPath\" TEXT)",
                     nullptr, nullptr, nullptr);
        dao::RegisterLikeEscape(handle);
        return handle;
    }();
    QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    try {
        dao::TranslatedSql sql = dao::TranslateQuery(text, {"LOCKPATH", "LOCK KEY"});
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && stmt) {
            sqlite3_bind_text(stmt, 1, "\\A%_!\\", -1, SQLITE_STATIC);
            for (int rows = 0; rows < 4 && sqlite3_step(stmt) == SQLITE_ROW; ++rows) {
            }
        }
        sqlite3_finalize(stmt);
    } catch (const dao::Error&) {
    }
    return 0;
}
