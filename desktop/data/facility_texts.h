#pragma once

#include <QString>

// The texts the facility document shows, exactly as the program has always
// shown them.
namespace tandrel::texts {

inline const QString kInvalidFacilityPassword = QStringLiteral("Invalid facility password.");
inline const QString kFormatUnrecognized =
    QStringLiteral("Facility database format is unrecognized.");
inline const QString kFormatNotSupported =
    QStringLiteral("Facility database format is not supported.");
inline const QString kErrorInFacilityDatabase = QStringLiteral("Error in Facility Database.");
inline const QString kOlderNotConvertible =
    QStringLiteral("Facility Database is an older version\nthat can not be converted.");
inline const QString kConvertQuestion =
    QStringLiteral("Facility Database is Older Version -- Convert?");
inline const QString kBackupQuestion = QStringLiteral(
    "We suggest you make a backup of your facility before continuing.\n Press YES to continue "
    "converting your facility.\n Press NO to exit and back-up your facility.");
inline const QString kPermanentQuestion = QStringLiteral(
    "Warning: This facility database will be\npermanently converted to current version.\nOnce "
    "converted all locks in the facility\nwill require downloading -- Continue?");
inline const QString kConversionTitle = QStringLiteral("Facility Database Convertion");
inline const QString kConvertingDatabase = QStringLiteral("Converting Database...");
inline const QString kConvertedSuccessfully = QStringLiteral("Facility Converted Successfully");
inline const QString kErrorUpdatingFacility =
    QStringLiteral("Error updating facility -- can not continue.");
inline const QString kFacilityRenamedQuestion =
    QStringLiteral("The facility name has changed -- Update mobile device directories?");
inline const QString kAssignPasswordQuestion = QStringLiteral(
    "Password protection of facilities is strongly recommended.\nAssign a password now?");

inline const QString kConfirmationMismatch =
    QStringLiteral("New password confirmation does not match.");
inline const QString kRemovePasswordQuestion =
    QStringLiteral("Remove password protection\nfrom this facility?");
inline const QString kCompatibilityWarning = QStringLiteral(
    "Warning: Microsoft Access should\nnever be used to alter the contents\nof the facility "
    "database!");
inline const QString kLosePasswordQuestion = QStringLiteral(
    "Caution: If you lose your password, you can\nnever open the facility again -- Continue?");
inline const QString kPasswordLength =
    QStringLiteral("Passwords must be from 6 to 14 characters long.");

inline const QString kErrorRetrievingLock = QStringLiteral("Error retrieving lock record");
inline const QString kErrorRetrievingUser = QStringLiteral("Error retrieving user record");
inline const QString kCanNotContinueSuffix = QStringLiteral("-- Can Not Continue");

inline const QString kPurgeDateMissing =
    QStringLiteral("You must specify a date to purge lock audit data");
inline const QString kPurgeDateUnreadable =
    QStringLiteral("Unrecognized date format -- Use 'mm/dd/yyyy'");
inline const QString kPurgeAllQuestion =
    QStringLiteral("Are you sure you want to purge ALL AUDIT DATA?");
inline const QString kPurgeRecentQuestion =
    QStringLiteral("Are you sure you want to purge audit data less than 90 days old?");
inline const QString kCompactingTitle = QStringLiteral("Compacting Facility");
inline const QString kCompactingUserGroups = QStringLiteral("Compacting User Group Records...");
inline const QString kCompactingDirectory = QStringLiteral("Compacting Facility Directory...");
inline const QString kCompactingUsers = QStringLiteral("Compacting Lock User Records...");
inline const QString kCopyingDevices = QStringLiteral("Copying Mobile Device Records...");
inline const QString kCompactingSchedules = QStringLiteral("Compacting Time Schedule Records...");
inline const QString kCompactingLocks = QStringLiteral("Compacting Lock Records...");
inline const QString kCompactingEnrolments =
    QStringLiteral("Compacting Lock User Enrollment Records...");
inline const QString kCopyingAudit = QStringLiteral("Copying Lock Audit Records...");
inline const QString kCompletingCompaction =
    QStringLiteral("Completing facility compaction, please wait...");
inline const QString kErrorSavingOriginal =
    QStringLiteral("Error saving original facility -- Can not continue");
inline const QString kCompactedSuccessfully = QStringLiteral("Facility Compacted Successfully");

inline const QString kMustEnterFacilityName = QStringLiteral("You Must Enter a Facility Name");
inline QString FacilityExists(const QString& name) {
    return QStringLiteral("'") + name + QStringLiteral("' Facility already exists.");
}

// Force refresh.
inline const QString kRefreshTitle = QStringLiteral("Refreshing Locks");
inline const QString kCheckingLocks = QStringLiteral("Checking the locks and their users...");
inline QString MarkingLocks(std::size_t locks) {
    return QStringLiteral("Marking %1 lock(s) for a complete reprogramming...").arg(locks);
}

}  // namespace tandrel::texts
