#pragma once

#include <QString>

namespace tandrel::exchange_texts {

// What the data exchange shows around a device's programming.
inline const QString kTitle = QStringLiteral("Data Exchange");
inline const QString kNoConnection = QStringLiteral("Failed to establish connection.");
inline const QString kNoDatabases =
    QStringLiteral("Unable to open mobile device database files.\nCan not continue!");
inline const QString kDatabaseError =
    QStringLiteral("Unexpected database error.\nCan not continue!");
inline const QString kCollectFailed =
    QStringLiteral("Error uploading programming data.\nCan not continue.");

}  // namespace tandrel::exchange_texts
