#include "platform/dao/sqlite.h"

#include <QUrl>

#include "platform/dao/error.h"

namespace dao::sqlite {

namespace {

// An error inside an SQL function (sqlcipher_export) reaches the statement
// as SQLITE_ERROR carrying only the text of its real code.
int CodeOfFunctionError(int code, const QString& detail) {
    if (code != SQLITE_ERROR) return code;
    for (int real : {SQLITE_FULL, SQLITE_IOERR, SQLITE_NOTADB, SQLITE_CORRUPT}) {
        if (detail == QLatin1String(sqlite3_errstr(real))) return real;
    }
    return code;
}

}  // namespace

void ThrowFor(sqlite3* db, int rc, const QString& what) {
    int extended = db ? sqlite3_extended_errcode(db) : rc;
    QString detail =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    int code = CodeOfFunctionError(rc & 0xFF, detail);
    switch (code) {
        case SQLITE_CONSTRAINT:
            if (extended == SQLITE_CONSTRAINT_UNIQUE || extended == SQLITE_CONSTRAINT_PRIMARYKEY) {
                Throw(kErrDuplicateKey);
            }
            throw Error(kErrInvalidArgument, detail);
        case SQLITE_BUSY:
        case SQLITE_LOCKED: Throw(kErrFileInUse, what);
        case SQLITE_FULL: Throw(kErrDiskFull);
        case SQLITE_CANTOPEN: Throw(kErrFileNotFound, what);
        case SQLITE_NOTADB: Throw(kErrUnrecognizedFormat, what);
        case SQLITE_CORRUPT: Throw(kErrCorrupt, what);
        case SQLITE_IOERR: throw Error(kErrDiskIo, ErrorText(kErrDiskIo) + " (" + detail + ")");
        case SQLITE_READONLY: Throw(kErrReadOnly);
        case SQLITE_NOMEM: throw std::bad_alloc();
        default: {
            int number = 3900 + code;
            throw Error(number, ErrorText(number, detail));
        }
    }
}

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db) {
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        ThrowFor(db, rc);
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::Bind(int index, const QVariant& value) {
    if (value.isNull()) {
        sqlite3_bind_null(stmt_, index);
        return;
    }
    switch (value.typeId()) {
        case QMetaType::Bool: BindInt(index, value.toBool() ? 1 : 0); return;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::Char: BindInt(index, value.toLongLong()); return;
        case QMetaType::Double: sqlite3_bind_double(stmt_, index, value.toDouble()); return;
        default: BindText(index, value.toString()); return;
    }
}

void Statement::BindInt(int index, qint64 value) {
    sqlite3_bind_int64(stmt_, index, value);
}

void Statement::BindText(int index, const QString& value) {
    QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
}

bool Statement::Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(stmt_);
    ThrowFor(db_, rc);
}

void Statement::Run() {
    while (Step()) {
    }
}

void Statement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(stmt_);
}
bool Statement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}
qint64 Statement::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

QString Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
}

QVariant Statement::Value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
        case SQLITE_NULL: return {};
        case SQLITE_INTEGER: return QVariant(static_cast<qlonglong>(Int(column)));
        case SQLITE_FLOAT: return QVariant(sqlite3_column_double(stmt_, column));
        default: return Text(column);
    }
}

QString Statement::ColumnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}
QString Statement::ColumnOriginName(int column) const {
    const char* name = sqlite3_column_origin_name(stmt_, column);
    return name ? QString::fromUtf8(name) : QString();
}
QString Statement::ColumnTableName(int column) const {
    const char* name = sqlite3_column_table_name(stmt_, column);
    return name ? QString::fromUtf8(name) : QString();
}

Connection::~Connection() {
    Close();
}

void Connection::Open(const QString& path, bool create) {
    Close();
    // Attached files take the connection's flags, so the connection may
    // create files; the main file itself must exist unless `create`.
    QByteArray uri = "file:" + QUrl::toPercentEncoding(path, "/") + (create ? "" : "?mode=rw");
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI;
    int rc = sqlite3_open_v2(uri.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        ThrowFor(nullptr, rc, path);
    }
    sqlite3_extended_result_codes(db_, 1);
}

void Connection::Close() {
    cache_.clear();
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

void Connection::Key(const QString& password) {
    if (password.isEmpty()) return;
    QByteArray key = password.toUtf8();
    int rc = sqlite3_key(db_, key.constData(), static_cast<int>(key.size()));
    if (rc != SQLITE_OK) ThrowFor(db_, rc);
}

void Connection::Exec(const std::string& sql) {
    char* message = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) ThrowFor(db_, rc);
}

Statement& Connection::Cached(const std::string& sql) {
    auto it = cache_.find(sql);
    if (it == cache_.end()) {
        it = cache_.emplace(sql, std::make_unique<Statement>(db_, sql)).first;
    } else {
        it->second->Reset();
    }
    return *it->second;
}

void Connection::ClearCache() {
    cache_.clear();
}

void Connection::ResetAll() {
    for (auto& entry : cache_) sqlite3_reset(entry.second->Handle());
}

std::string Quote(const QString& identifier) {
    QString quoted = identifier;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return ("\"" + quoted + "\"").toStdString();
}

std::string Literal(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return ("'" + quoted + "'").toStdString();
}

}  // namespace dao::sqlite
