#include "desktop/exchange/lock_os_file.h"

#include <QFile>

#include "desktop/data/facility_schema.h"
#include "platform/dao/error.h"

namespace tandrel {
namespace {

// The recordset reads by ordinal: a table LOS whose fields are not the two
// expected ones, in order and of their types, would be read as nonsense.
void CheckLosTable(const dao::Database& db) {
    const dao::TableDef expected = LockOSTable();
    const dao::TableDef actual = db.GetTableDef(expected.name);
    for (std::size_t i = 0; i < expected.fields.size(); ++i) {
        const dao::FieldInfo& want = expected.fields[i];
        if (i >= actual.fields.size() ||
            actual.fields[i].name.compare(want.name, Qt::CaseInsensitive) != 0 ||
            actual.fields[i].type != want.type) {
            dao::Throw(dao::kErrItemNotFound);
        }
    }
}

}  // namespace

LockOsFile::LockOsFile(const QString& path) : db_(dao::Database::Open(path, kLockOsConnect)) {
    CheckLosTable(*db_);
    rows_ = std::make_unique<CLOSRecordset>(*db_);
}

qint64 LockOsFile::RowCount() {
    return rows_->GetRecordCount();
}

void LockOsFile::Rewind() {
    started_ = false;
}

bool LockOsFile::Next(LockOsRow& row) {
    if (started_) {
        rows_->MoveNext();
    } else {
        rows_->MoveFirst();
        started_ = true;
    }
    if (rows_->IsEOF()) return false;
    row = {rows_->m_PlatformRcd, rows_->m_PgmData};
    return true;
}

std::vector<LockOsRow> ReadLockOsFile(const QString& path) {
    LockOsFile file(path);
    std::vector<LockOsRow> rows;
    for (LockOsRow row; file.Next(row);) rows.push_back(row);
    return rows;
}

void CreateLockOsFile(const QString& path, const std::vector<LockOsRow>& rows) {
    std::unique_ptr<dao::Database> db =
        dao::Database::Create(path, dao::Database::PasswordOf(kLockOsConnect));
    try {
        dao::Transaction transaction(*db);
        db->CreateTable(LockOSTable());
        CLOSRecordset table(*db);
        for (const LockOsRow& row : rows) {
            table.AddNew();
            table.m_PlatformRcd = row.platformRcd;
            table.m_PgmData = row.pgmData;
            table.Update();
        }
        transaction.Commit();
    } catch (const dao::Error&) {
        db.reset();
        QFile::remove(path);
        throw;
    }
}

}  // namespace tandrel
