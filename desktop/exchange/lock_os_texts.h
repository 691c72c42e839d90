#pragma once

#include <QString>

namespace tandrel::lock_os_texts {

// What the Lock OS Manager shows; "%1" is a version text ("3.05").
inline const QString kTitle = QStringLiteral("Lock OS Manager");
inline const QString kNotEnrolled =
    QStringLiteral("Connected Mobile device is not enrolled in this facility");
inline const QString kInstalledVersion =
    QStringLiteral("QUANDRIX OS version %1 is currently installed on the connected device");
inline const QString kNoneInstalled =
    QStringLiteral("There is currently no QUANDRIX OS installed on the connected device");
inline const QString kInstallSucceeded =
    QStringLiteral("QUANDRIX OS Version %1 Installed Successfully");
inline const QString kAskRemove = QStringLiteral("Remove Lock OS version %1 from this device?");
inline const QString kRemoveFailed =
    QStringLiteral("Error Removing Lock OS File -- Can Not Continue");

// Install and Remove.
inline const QString kConnecting = QStringLiteral("Connecting to QUANDRIX OS file...");
inline const QString kCreateFailed =
    QStringLiteral("Error creating QUANDRIX OS file on connected device");
inline const QString kFileEmpty = QStringLiteral("Lock OS file is empty");
// A first line too short to carry the version.
inline const QString kNoVersion = QStringLiteral("Lock OS file carries no version");
inline const QString kInstalling = QStringLiteral("Installing QUANDRIX OS Version %1 ...");
inline const QString kChecksumMismatch = QStringLiteral("LOS Record checksum mismatch");
inline const QString kInvalidParameter =
    QStringLiteral("Invalid Parameter Error writing to device");
inline const QString kMemoryFull = QStringLiteral("Memory Full Error on Connected Device");
inline const QString kUnknownWriteError = QStringLiteral("Unknown Error writing to device");
inline const QString kUpdateFailure = QStringLiteral("LOS Record Update Failure!");
inline const QString kRemoving = QStringLiteral("Removing QUANDRIX OS file...");

// The file-open dialog of Install: filter, default extension, and the
// folder below the program's data folder it starts in.
inline const QString kFileFilter = QStringLiteral("Lock Operating System Files (*.los)|*.los||");
inline const QString kDefaultExtension = QStringLiteral(".los");
inline const QString kStartFolder = QStringLiteral("LOS");

}  // namespace tandrel::lock_os_texts
