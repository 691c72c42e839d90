#pragma once

#include <QString>

namespace tandrel::device_texts {

// Progress texts of the exchange steps.
inline const QString kEstablishing = QStringLiteral("Establishing Mobile Device Connection...");
inline const QString kIdentifying = QStringLiteral("Identifying Connected Mobile Device...");
inline const QString kConnectingDatabases = QStringLiteral("Connecting to remote database...");
inline const QString kCollectingLockInfo = QStringLiteral("Collecting lock information...");
inline const QString kUpdatingDirectory = QStringLiteral("Updating facility directory...");
inline const QString kPurgingDeletedLocks =
    QStringLiteral("Purging program data for deleted lock(s)...");
inline QString EstablishingNetwork(const QString& name) {
    return QStringLiteral("Establishing Connection to Network Device (") + name +
           QStringLiteral(")...");
}

// Stops of the exchange.
inline const QString kNotEnrolled =
    QStringLiteral("Connected mobile device is\nnot enrolled in this facility.");
inline const QString kAuditFailed =
    QStringLiteral("Error uploading audit data.\nCan not continue.");
inline const QString kLockInfoFailed =
    QStringLiteral("Error uploading lock information.\nCan not continue.");
inline const QString kDirectoryFailed =
    QStringLiteral("Error downloading facility directory.\nCan not continue.");
inline const QString kDisconnectFailed =
    QStringLiteral("Failed to Disconnect Previous Network Device");

// Enrolment.
inline const QString kDeviceRowMissing = QStringLiteral("Error retrieving mobile device record.");
inline const QString kAlreadyEnrolled =
    QStringLiteral("Connected mobile device is\nalready enrolled in this facility.");
inline const QString kEnrolmentAborted = QStringLiteral("Mobile device enrollment aborted.");
inline const QString kOtherFacility = QStringLiteral(
    "The connected mobile device is\nenrolled in another facility.\nDo you want to remove this "
    "device\nfrom the other facility and continue?");
inline const QString kOtherFacilityWarning = QStringLiteral(
    "WARNING! Any data belonging\nto the other facility currently\nstored on this device will "
    "be\npermanently lost -- Continue?");
inline const QString kNoPartnership =
    QStringLiteral("Unable to find device partnership information.");
inline const QString kResetFailed = QStringLiteral(
    "Unable to access the mobile device database files.\nMake sure the QUANDRIX Data Link "
    "application\nis not running and retry.");
inline const QString kOutOfKeys =
    QStringLiteral("Out of Database Record Keys --\nRepair / Compact the Facility and Try Again");
inline const QString kRegistryFailed =
    QStringLiteral("Error updating device registry, can not continue.");
inline const QString kEnrolDatabaseError =
    QStringLiteral("Unexpected error in database transaction, can not continue.");

// Removal and the device list.
inline const QString kReadError = QStringLiteral("Error Reading Database -- Can Not Continue");
inline const QString kAskDelete =
    QStringLiteral("Permanently delete this device\nfrom the facility?");
inline const QString kAskRemoveUnconnected = QStringLiteral(
    "Selected device is not connected.\nIf this device is no longer available\nfor connection, "
    "select Ok to remove\nit from the facility.");
inline const QString kFinishRemoval =
    QStringLiteral("To complete the removal process,\nexecute a data exchange with\nthe device.");
inline const QString kAskRestore =
    QStringLiteral("Clear pending delete status and\nrestore this device to the facility?");
inline const QString kListDatabaseError =
    QStringLiteral("Unhandled database error, can not continue.");
inline const QString kListRowMissing =
    QStringLiteral("Unable to find device database\nrecord, can not continue.");
inline const QString kAskEditPendingRemoval = QStringLiteral(
    "This device is pending removal and you\nwill not be permitted to make edits -- Continue?");
inline const QString kAskUpdateDirectory = QStringLiteral("Update device directory now?");
inline const QString kNotConnected = QStringLiteral("Selected device is not connected.");
inline const QString kPropertiesDatabaseError =
    QStringLiteral("Error Updating Database,\nCan Not Continue.");

// Device list columns.
inline const QString kMobile = QStringLiteral("Mobile");
inline const QString kNetwork = QStringLiteral("Network");

// The exchange dialog.
inline const QString kTitlePrefix = QStringLiteral("Data Exchange - ");
inline const QString kTreeRoot = QStringLiteral("Enrolled &QUANDRIXS Pending Programming");
inline const QString kConnectButton = QStringLiteral("Co&nnect");
inline const QString kSelectButton = QStringLiteral("&Select");
inline const QString kClearButton = QStringLiteral("Clea&r Selection");
inline const QString kProgramButton = QStringLiteral("&Program");

}  // namespace tandrel::device_texts
