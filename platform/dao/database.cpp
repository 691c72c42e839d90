#include "platform/dao/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/dao/catalog.h"
#include "platform/dao/error.h"
#include "platform/dao/owner_files.h"
#include "platform/dao/recordset.h"
#include "platform/dao/scratch_file.h"

namespace dao {
namespace {

Database::StepHook& Hook() {
    static Database::StepHook hook;
    return hook;
}

constexpr qint64 kMinimumPageSize = 1024;
const char kExportAlias[] = "qx_export";

bool HasPlainHeader(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return file.read(16) == QByteArray("SQLite format 3\0", 16);
}

// Attaches a new file under `alias` with the given password (empty: plain).
void AttachNew(sqlite::Connection& c, const QString& path, const QString& alias,
               const QString& password) {
    c.Exec("ATTACH DATABASE " + sqlite::Literal(path) + " AS " + sqlite::Quote(alias) + " KEY " +
           sqlite::Literal(password));
}

// Copies every table, index and stored query of the main file into the
// scratch file with the given password. The scratch file only ever
// replaces or becomes a database once complete, so it is written without a
// journal file of its own.
void ExportInto(sqlite::Connection& c, const ScratchFile& file, const QString& password) {
    const QString alias = QLatin1String(kExportAlias);
    c.ResetAll();
    AttachNew(c, file.Path(), alias, password);
    try {
        c.Exec("PRAGMA " + sqlite::Quote(alias) + ".journal_mode = MEMORY");
        c.Exec("SELECT sqlcipher_export(" + sqlite::Literal(alias) + ")");
        c.Exec("DETACH DATABASE " + sqlite::Quote(alias));
    } catch (...) {
        c.ResetAll();
        const std::string detach = std::string("DETACH DATABASE ") + kExportAlias;
        sqlite3_exec(c.Handle(), detach.c_str(), nullptr, nullptr, nullptr);
        throw;
    }
}

// Gives an open failure the file's name, and reads an encrypted file that
// does not decrypt as a wrong password: encryption makes it
// indistinguishable from a damaged file.
[[noreturn]] void RethrowOpenError(const Error& e, const QString& path, bool plain) {
    switch (e.Number()) {
        case kErrUnrecognizedFormat:
            if (!plain && e.Description() != ErrorText(kErrUnrecognizedFormat, path)) {
                Throw(kErrInvalidPassword);
            }
            Throw(kErrUnrecognizedFormat, path);
        case kErrCorrupt:
        case kErrFileInUse: Throw(e.Number(), path);
        default: throw e;
    }
}

}  // namespace

void Database::SetStepHook(StepHook hook) {
    Hook() = std::move(hook);
}

void Database::Step(const char* step) {
    if (Hook()) Hook()(step);
}

Database::~Database() {
    Close();
}

QString Database::PasswordOf(const QString& connect) {
    int at = connect.indexOf(QLatin1String("pwd="), 0, Qt::CaseInsensitive);
    return at < 0 ? QString() : connect.mid(at + 4);
}

std::unique_ptr<Database> Database::Create(const QString& path, const QString& password) {
    if (!QFileInfo(path).absoluteDir().exists()) Throw(kErrInvalidPath, path);
    CreateOwnerOnlyFile(path);
    try {
        return CreateIn(path, password, false);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

std::unique_ptr<Database> Database::CreateWorkFile(const ScratchFile& file,
                                                   const QString& password) {
    return CreateIn(file.Path(), password, true);
}

std::unique_ptr<Database> Database::CreateIn(const QString& path, const QString& password,
                                             bool scratch) {
    std::unique_ptr<Database> db(new Database);
    try {
        db->connection_.Open(path, false);
        db->connection_.Key(password);
        ConfigureConnection(db->connection_, !password.isEmpty());
        if (scratch) db->connection_.Exec("PRAGMA journal_mode = MEMORY");
        CreateCatalog(db->connection_);
        db->TakeExclusiveLock();
    } catch (...) {
        db->connection_.Close();
        throw;
    }
    db->path_ = path;
    db->password_ = password;
    db->LoadCatalog();
    return db;
}

std::unique_ptr<Database> Database::Open(const QString& path, const QString& connect) {
    std::unique_ptr<Database> db(new Database);
    db->OpenFile(path, PasswordOf(connect));
    return db;
}

void Database::OpenFile(const QString& given, const QString& password) {
    // Everything from here on works on the file itself: a symbolic link
    // stays a link to it through compaction and password changes.
    const QString path = RealFilePath(given);
    QFileInfo info(path);
    if (!info.exists()) Throw(kErrFileNotFound, path);
    if (!info.isFile()) Throw(kErrInvalidPath, path);
    bool plain = HasPlainHeader(path);
    if (!plain) {
        // Encrypted files are whole pages; anything else cannot be one.
        if (info.size() < 2 * kMinimumPageSize || info.size() % kMinimumPageSize != 0) {
            Throw(kErrUnrecognizedFormat, path);
        }
        if (password.isEmpty()) Throw(kErrInvalidPassword);
    }
    try {
        connection_.Open(path, false);
        if (!plain) connection_.Key(password);
        ConfigureConnection(connection_, !plain);
        if (!IsCatalogPresent(connection_)) Throw(kErrUnrecognizedFormat, path);
        TakeExclusiveLock();
    } catch (const Error& e) {
        connection_.Close();
        RethrowOpenError(e, path, plain);
    }
    path_ = path;
    password_ = plain ? QString() : password;
    LoadCatalog();
    // Held exclusively now: no run of ours on this file is under way here.
    RemoveLeftoverScratchFiles(path_);
}

void Database::TakeExclusiveLock() {
    connection_.Exec("BEGIN EXCLUSIVE");
    connection_.Exec("COMMIT");
}

void Database::LoadCatalog() {
    tables_ = ReadCatalog(connection_);
}

void Database::Close() {
    for (Recordset* rs : recordsets_) rs->Detach();
    recordsets_.clear();
    if (transactionDepth_ > 0 && connection_.IsOpen()) {
        connection_.ResetAll();
        sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    transactionDepth_ = 0;
    connection_.Close();
    tables_.clear();
}

void Database::NewPassword(const QString& oldPassword, const QString& newPassword) {
    if (transactionDepth_ > 0) Throw(kErrNotInTransaction);
    if (oldPassword != password_) Throw(kErrInvalidPassword);
    ScratchFile copy(path_, QStringLiteral("pwtmp"));
    ExportInto(connection_, copy, newPassword);
    copy.Sync();
    Step("password:exported");
    // The new file takes the name while this connection still holds the
    // old one, so no other program can open the old file and write to it
    // in between.
    copy.RenameOver(path_);
    Step("password:replaced");
    const QString path = path_;
    Close();
    Step("password:closed");
    OpenFile(path, newPassword);
}

void Database::BackupTo(const QString& destination) {
    if (transactionDepth_ > 0) Throw(kErrNotInTransaction);
    const QFileInfo target(destination);
    if (target.exists() || target.isSymLink()) Throw(kErrDatabaseExists);
    if (!target.absoluteDir().exists()) Throw(kErrInvalidPath, destination);
    RemoveLeftoverScratchFiles(destination);
    ScratchFile copy(destination, QStringLiteral("backup"));
    ExportInto(connection_, copy, password_);
    copy.Sync();
    Step("backup:exported");
    copy.MoveToNewName(destination);
}

void Database::Compact(const QString& source, const QString& sourceConnect,
                       const QString& destination, const QString& destinationPassword) {
    if (QFileInfo::exists(destination)) Throw(kErrDatabaseExists);
    std::unique_ptr<Database> db = Open(source, sourceConnect);
    ScratchFile copy(destination, QStringLiteral("compact"));
    ExportInto(db->connection_, copy, destinationPassword);
    copy.Sync();
    db->Close();
    Step("compact:exported");
    copy.MoveToNewName(destination);
}

void Database::CreateTable(const TableDef& table) {
    if (HasTable(table.name) || HasQueryDef(table.name)) Throw(kErrTableExists, table.name);
    Transaction transaction(*this);
    connection_.ClearCache();
    WriteTable(connection_, table, static_cast<int>(tables_.size()));
    transaction.Commit();
    LoadCatalog();
}

void Database::AppendField(const QString& table, const FieldInfo& field) {
    const TableDef def = GetTableDef(table);
    if (def.Field(field.name)) Throw(kErrFieldDefinedTwice);
    Transaction transaction(*this);
    connection_.ClearCache();
    WriteAppendedField(connection_, def, field);
    transaction.Commit();
    LoadCatalog();
}

bool Database::HasTable(const QString& table) const {
    return tables_.count(table.toLower()) > 0;
}

QStringList Database::TableNames() const {
    return ReadTableOrder(const_cast<sqlite::Connection&>(connection_));
}

TableDef Database::GetTableDef(const QString& table) const {
    auto it = tables_.find(table.toLower());
    if (it == tables_.end()) Throw(kErrNoSuchObject, table);
    return it->second;
}

void Database::CreateQueryDef(const QueryDef& query) {
    if (HasTable(query.name) || HasQueryDef(query.name)) Throw(kErrObjectExists, query.name);
    WriteQuery(connection_, query);
}

bool Database::HasQueryDef(const QString& name) const {
    return ReadQuery(const_cast<sqlite::Connection&>(connection_), name).has_value();
}

QStringList Database::QueryDefNames() const {
    return ReadQueryNames(const_cast<sqlite::Connection&>(connection_));
}

QueryDef Database::GetQueryDef(const QString& name) const {
    std::optional<QueryDef> query = ReadQuery(const_cast<sqlite::Connection&>(connection_), name);
    if (!query) Throw(kErrNoSuchObject, name);
    return *query;
}

std::unique_ptr<TableRecordset> Database::OpenTable(const QString& table) {
    return std::make_unique<TableRecordset>(*this, GetTableDef(table));
}

std::unique_ptr<DynasetRecordset> Database::OpenDynaset(const QString& table, const QString& filter,
                                                        const QString& sort) {
    const TableDef def = GetTableDef(table);
    QString sql = QStringLiteral("SELECT * FROM [%1]").arg(def.name);
    if (!filter.isEmpty()) sql += QStringLiteral(" WHERE ") + filter;
    if (!sort.isEmpty()) sql += QStringLiteral(" ORDER BY ") + sort;
    auto rs = std::make_unique<DynasetRecordset>(*this, QueryDef{QString(), sql, {}});
    rs->Requery();
    return rs;
}

std::unique_ptr<DynasetRecordset> Database::OpenQuery(const QString& name) {
    return std::make_unique<DynasetRecordset>(*this, GetQueryDef(name));
}

void Database::CheckTransaction() const {
    if (transactionDepth_ > 0 && sqlite3_get_autocommit(connection_.Handle())) {
        Throw(kErrNoTransaction);
    }
}

void Database::BeginTrans() {
    CheckTransaction();
    connection_.ResetAll();
    if (transactionDepth_ == 0) {
        connection_.Exec("BEGIN");
    } else {
        connection_.Exec("SAVEPOINT qx_" + std::to_string(transactionDepth_));
    }
    ++transactionDepth_;
}

void Database::CommitTrans() {
    if (transactionDepth_ == 0) Throw(kErrNoTransaction);
    CheckTransaction();
    connection_.ResetAll();
    if (transactionDepth_ == 1) {
        connection_.Exec("COMMIT");
    } else {
        connection_.Exec("RELEASE qx_" + std::to_string(transactionDepth_ - 1));
    }
    --transactionDepth_;
}

void Database::Rollback() {
    if (transactionDepth_ == 0) Throw(kErrNoTransaction);
    connection_.ResetAll();
    if (sqlite3_get_autocommit(connection_.Handle())) {
        // The engine already rolled everything back (a full disk, an I/O
        // error); each level ends without a word to it.
    } else if (transactionDepth_ == 1) {
        connection_.Exec("ROLLBACK");
    } else {
        std::string name = "qx_" + std::to_string(transactionDepth_ - 1);
        connection_.Exec("ROLLBACK TO " + name);
        connection_.Exec("RELEASE " + name);
    }
    --transactionDepth_;
    LoadCatalog();
    for (Recordset* rs : recordsets_) rs->AfterRollback();
}

void Database::ExecuteSql(const std::string& sql) {
    CheckTransaction();
    connection_.ResetAll();
    connection_.Exec(sql);
}

Transaction::~Transaction() {
    if (!open_) return;
    try {
        db_.Rollback();
    } catch (...) {
        // The connection is gone; nothing is left to roll back.
    }
}

void Transaction::Commit() {
    db_.CommitTrans();
    open_ = false;
}

}  // namespace dao
