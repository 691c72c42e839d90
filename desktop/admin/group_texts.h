#pragma once

#include <QString>

// Texts of the user group list and the "User Group Properties" sheet,
// exactly as the program shows them.
namespace tandrel::texts {

inline const QString kGroupColumn = QStringLiteral(" Group");
inline const QString kGroupNameColumn = QStringLiteral("User Group Name");
inline const QString kAutoCodeColumn = QStringLiteral("AutoCode");
inline const QString kNextPinDateColumn = QStringLiteral("Next PIN Date");
inline const QString kReferenceColumn = QStringLiteral("Reference");
inline const QString kYes = QStringLiteral("Yes");
inline const QString kNo = QStringLiteral("No");
inline const QString kDateError = QStringLiteral("< ERROR >");

inline const QString kUnrecognizedDate = QStringLiteral("Unrecognized date format.");
inline const QString kPinDateAdjusted = QStringLiteral(
    "Warning!: Next PIN effective date was\nadjusted to fit specified AutoCode interval.");
inline const QString kMustEnterGroupName = QStringLiteral("You Must Enter a User Group Name");
inline const QString kInvalidInterval = QStringLiteral(
    "Invalid AutoCode Interval\nValid intervals are 1 to 30 Days\nor 1 to 12 months.");
inline const QString kInvallidDate = QStringLiteral("Invallid date format.");
inline const QString kGroupNumbers = QStringLiteral("User groups are numbered 1 to 8");
inline const QString kGroupUpdateError =
    QStringLiteral("Error Updating Database, Can Not Continue.");

}  // namespace tandrel::texts
