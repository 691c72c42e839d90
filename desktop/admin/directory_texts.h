#pragma once

#include <QString>

// Texts of the facility explorer, exactly as the program shows them.
namespace tandrel::texts {

inline const QString kDirectoryLoadError =
    QStringLiteral("Unhandled Error Loading Facility Directory");
inline const QString kNewLocationName = QStringLiteral("New Location");
inline QString DepthLimit(int levels) {
    return QStringLiteral("Facility paths can not excede %1 locations in depth").arg(levels);
}
inline const QString kLocationNameInUseRestart = QStringLiteral("Location Name Already In Use");
inline const QString kMustEnterLocationName = QStringLiteral("You Must Enter a Location Name");
inline const QString kLocationNameBackslash =
    QStringLiteral("Location name can not contain \"\\\": it separates the levels of a path");
inline const QString kLocationNotEmpty =
    QStringLiteral("Location Is Not Empty -- Unable To Delete.");
inline const QString kDeleteLocationError =
    QStringLiteral("Database Error -- Unable To Delete Location");
inline QString RemoveLockQuestion(const QString& displayName) {
    return QStringLiteral(
               "WARNING: Continuing will remove this lock from the facility\nand any non-archived "
               "audit data for this lock will be lost.\n\nRemove '") +
           displayName + QStringLiteral("'?");
}
inline const QString kRemoveLockError =
    QStringLiteral("Error Removing Lock From Facility\nCan Not Continue.");
inline const QString kRefreshLocksQuestion = QStringLiteral(
    "This function will force a complete refresh of all program data\nin this lock.  To avoid "
    "potential data loss, all audit data for this\nlock should be collected and uploaded before "
    "refreshing.\n -- Continue?");
inline const QString kRefreshLocationQuestion = QStringLiteral(
    "This function will force a complete\nrefresh of all program data for all\nlocks under this "
    "location -- Continue?");
inline const QString kPathError = QStringLiteral("<ERROR> ");

}  // namespace tandrel::texts
