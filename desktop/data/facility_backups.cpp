#include "desktop/data/facility_backups.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include "platform/dao/error.h"
#include "platform/dao/owner_files.h"

namespace tandrel {
namespace {

constexpr int kMaxSameMinute = 1000;

bool IsSameFile(const QString& a, const QString& b) {
    struct stat sa {
    }, sb{};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

QString BesideFacility(const QString& facilityPath, const QString& suffix) {
    const QFileInfo info(facilityPath);
    return info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + suffix;
}

}  // namespace

QString CompactionBackupFile(const QString& facilityPath) {
    return BesideFacility(facilityPath, QStringLiteral(".old"));
}

bool KeepEarlierBackup(const QString& facilityPath) {
    const QString backup = CompactionBackupFile(facilityPath);
    const QFileInfo info(backup);
    if (!info.exists() && !info.isSymLink()) return true;
    // A compaction killed before its work file took the facility's name
    // leaves the backup as a second name of the facility itself: no backup.
    if (IsSameFile(backup, facilityPath)) return QFile::remove(backup);
    const QDateTime changed =
        info.lastModified().isValid() ? info.lastModified() : QDateTime::currentDateTime();
    const QString stamp = QLatin1Char('.') + changed.toString(QStringLiteral("yyyy-MM-dd-HHmm"));
    try {
        for (int n = 1; n <= kMaxSameMinute; ++n) {
            const QString taken = n == 1 ? QString() : QStringLiteral("-%1").arg(n);
            const QString dated = BesideFacility(facilityPath, stamp + taken + ".old");
            if (dao::AddNameNoReplace(backup, dated)) return QFile::remove(backup);
        }
    } catch (const dao::Error&) {
    }
    return false;
}

bool SaveBackup(const QString& facilityPath) {
    const QString backup = CompactionBackupFile(facilityPath);
    try {
        if (!dao::AddNameNoReplace(facilityPath, backup)) return false;
        dao::MakeOwnerOnly(backup);
    } catch (const dao::Error&) {
        return false;
    }
    return true;
}

}  // namespace tandrel
