#pragma once

#include <QString>

// Texts of the lock user and lock property sheets and the user list, exactly
// as the program shows them.
namespace tandrel::texts {

inline const QString kMustEnterLastName = QStringLiteral("You Must Enter a Last Name");
inline const QString kMustEnterFirstName = QStringLiteral("You Must Enter a First Name");
inline const QString kIdNumericOnly = QStringLiteral("User ID Must be Numeric Only");
inline const QString kMustEnterValidId = QStringLiteral("You Must Enter a Valid ID Number");
inline QString CodeIdLength(int digits) {
    return QStringLiteral("Code ID Length Must Be %1 Digits").arg(digits);
}
inline QString CardIdLength(int low, int high) {
    return QStringLiteral("Card ID Length Must be Between %1 and %2 Digits").arg(low).arg(high);
}
inline const QString kIdInUseSuffix = QStringLiteral(" ID Number Already In Use");
inline const QString kCardIssueNumber =
    QStringLiteral("You Must Specify a Numeric Only Card Issue Number");
inline const QString kSelectDefaultType = QStringLiteral(" You Must Select a Default Lock ID Type");
inline const QString kPinMustShorter = QStringLiteral("User PIN Must Shorter");
inline const QString kPinMustLonger = QStringLiteral("User PIN Must Longer");
inline const QString kPinNumericOnly = QStringLiteral("User PIN Must be Numeric Only");
inline const QString kMustEnterPin = QStringLiteral("You Must Enter a PIN");
inline const QString kSelectHomeGroup = QStringLiteral(" You Must Select a Home Group");

inline QString LockListFull(const QString& lock) {
    return QStringLiteral("Unable to enroll user into:\n'") + lock +
           QStringLiteral("'\nLock user list is full -- Continue?");
}
inline QString LastProgrammerContinue(const QString& lock) {
    return QStringLiteral("Unable to remove user from:\n'") + lock +
           QStringLiteral("'\nUser is last remaining enrolled Programmer ID -- Continue?");
}
inline const QString kOutOfKeys =
    QStringLiteral("Out of Database Record Keys --\nRepair / Compact the Facility and Try Again");
inline const QString kErrorAddingUser =
    QStringLiteral("Error Adding New User Record, Can Not Continue.");
inline const QString kErrorUpdatingDatabase =
    QStringLiteral("Error Updating Database,\nCan Not Continue.");

inline QString LastProgrammerRefusal(const QString& lock) {
    return QStringLiteral("Unable to remove user from:\n'") + lock +
           QStringLiteral("'\nUser is last Programmer ID enrolled in lock.");
}
inline QString DeleteUserQuestion(const QString& first, const QString& last) {
    return QStringLiteral(
               "Warning:  You may not be able\nto restore this user after removal.\nDelete ") +
           first + QLatin1Char(' ') + last + QStringLiteral(" from facility?");
}
inline const QString kUnexpectedTransactionError =
    QStringLiteral("Unexpected error in database transaction, can not continue.");
inline QString RestoreUserQuestion(const QString& first, const QString& last) {
    return QStringLiteral("Restore ") + first + QLatin1Char(' ') + last +
           QStringLiteral(" to facility?");
}
inline const QString kOpenDeletedUserQuestion = QStringLiteral(
    "This user is pending removal and you\nwill not be permitted to make edits -- Continue?");

inline const QString kMustEnterLocation = QStringLiteral("You Must Enter a Location");
inline const QString kLocationNameInUse = QStringLiteral("Location name already in use.");
inline const QString kOpenDelayRange =
    QStringLiteral("Valid open delay times are from 3 to 30 seconds.");
inline const QString kInvalidDate = QStringLiteral("Invallid date format.");
inline QString UserCapacityRange(int low, int high) {
    return QStringLiteral("User capacity must be from %1 to %2 users.").arg(low).arg(high);
}
inline QString CapacityBelowSlot(int needed, int slot) {
    return QStringLiteral("User capacity can not be less than %1: lock user slot %2 is in use.")
        .arg(needed)
        .arg(slot);
}
inline QString CapacityBelowEnrolled(int users) {
    return QStringLiteral("User capacity can not be less than the %1 users enrolled in this lock.")
        .arg(users);
}
inline const QString kUnexpectedDatabaseError = QStringLiteral("Unexpected database error");
inline QString LockFullForUser(const QString& user) {
    return QStringLiteral("Unable to enroll: ") + user +
           QStringLiteral("\nLock user list is full.");
}
inline QString LastProgrammerOfLock(const QString& user) {
    return QStringLiteral("Unable to remove: ") + user +
           QStringLiteral("\nUser is last remaining enrolled Programmer ID -- Continue?");
}
inline const QString kNeedProgrammer =
    QStringLiteral("You must enroll at least one programmer ID.");
inline const QString kUserPendingRemoval = QStringLiteral("User is pending removal from facility.");
inline const QString kCanNotContinue = QStringLiteral("\nCan Not Continue.");
inline const QString kInvalidEnrollmentTransaction =
    QStringLiteral("Invalid User Enrollment Transaction");
inline const QString kUserDataNotFound = QStringLiteral("User Data Not Found");
inline const QString kEnrollmentDataNotFound = QStringLiteral("User Enrollment Data Not Found");
inline const QString kLockEnrollmentError = QStringLiteral("Lock User Enrollment Error");
inline const QString kUnexpectedDatabaseErrorStop =
    QStringLiteral("Unexpected database error.\nCan not continue.");
inline const QString kFailedQuery =
    QStringLiteral("Failed execution of database query.\nCan not continue.");
inline const QString kNoDevice = QStringLiteral("< None >");

}  // namespace tandrel::texts
