#pragma once

#include <QString>

namespace tandrel::audit_texts {

// What the audit data collection shows.
inline const QString kCollecting = QStringLiteral("Collecting audit data...");
inline const QString kLowBatteries = QStringLiteral(
    "One or more low lock batteries were detected in your facility. \n Please run "
    "a lock report for more information.");

}  // namespace tandrel::audit_texts
