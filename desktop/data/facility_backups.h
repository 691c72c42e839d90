#pragma once

#include <QString>

namespace tandrel {

// The backup the last compaction left beside the facility file:
// "Alpha.old" beside "Alpha.qfd".
QString CompactionBackupFile(const QString& facilityPath);

// Moves the last compaction's backup aside under a name dated by its last
// change, "Alpha.2026-12-09-0615.old" ("...-0615-2.old" and so on when
// taken), so that a new compaction never overwrites it. False when it
// cannot be moved.
bool KeepEarlierBackup(const QString& facilityPath);

// Gives the facility file its backup name as a second name (a copy where
// the file system has no hard links), readable by its owner only. False
// when that name is taken or cannot be made.
bool SaveBackup(const QString& facilityPath);

}  // namespace tandrel
