#pragma once

#include <QString>

namespace tandrel::programming_texts {

// Progress texts of a programming run and of a collection.
inline const QString kPreparingRemote = QStringLiteral("Preparing remote database...");
inline const QString kPreparingUsers = QStringLiteral("Preparing lock user data...");
inline const QString kUpdatingFacility = QStringLiteral("Updating facility data...");
inline const QString kSettingAddress = QStringLiteral("Setting lock address...");
inline const QString kClearingUsers = QStringLiteral("Clearing lock user list...");
inline const QString kUpdatingGroups = QStringLiteral("Updating user groups...");
inline const QString kUpdatingOpenDelay = QStringLiteral("Updating open delay seconds...");
inline const QString kUpdatingUserList = QStringLiteral("Updating lock user list...");
inline const QString kCollecting = QStringLiteral("Collecting programming data...");
inline const QString kCompilingSchedule = QStringLiteral("Compiling Time Schedule...");
inline const QString kDownloadingSchedule = QStringLiteral("Downloading Time Schedule...");

inline const QString kRunComplete = QStringLiteral("Programming data exchange complete.");

inline const QString kCompileFailed =
    QStringLiteral("Error compiling time schedule, can not continue.");
inline const QString kScheduleTooLarge =
    QStringLiteral("Time schedule event count excedes\nlock capacity, can not continue.");
inline const QString kHolidaysTooMany =
    QStringLiteral("Holiday list excedes lock capacity, can not continue.");

}  // namespace tandrel::programming_texts
