#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "desktop/data/table_recordsets.h"
#include "platform/dao/database.h"

namespace tandrel {

// The fixed password every lock OS file is protected with.
inline constexpr char kLockOsConnect[] = ";pwd=9KtrLampPost";

// One row of a lock OS file: one image line for one hardware type.
struct LockOsRow {
    std::int32_t platformRcd = 0;  // hardware type in bits 16-31
    QString pgmData;
    bool operator==(const LockOsRow&) const = default;
};

// A lock OS file, open exclusively for as long as the object lives, its
// table LOS read in table order. Every failure (no such file, not a
// database, wrong password, no table LOS of the expected shape) is a
// dao::Error whose description is shown as it is.
class LockOsFile {
  public:
    explicit LockOsFile(const QString& path);

    qint64 RowCount();
    // Back to the first row.
    void Rewind();
    // The next row in table order; false after the last.
    bool Next(LockOsRow& row);

  private:
    std::unique_ptr<dao::Database> db_;
    std::unique_ptr<CLOSRecordset> rows_;
    bool started_ = false;
};

// Every row of the file at `path`, in table order.
std::vector<LockOsRow> ReadLockOsFile(const QString& path);

// Writes a new lock OS file holding `rows` in order; the file must not
// exist yet (3204). A file that could not be completed is removed again.
void CreateLockOsFile(const QString& path, const std::vector<LockOsRow>& rows);

}  // namespace tandrel
