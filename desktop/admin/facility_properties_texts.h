#pragma once

#include <QString>

// Texts of the facility properties sheet's checks, exactly as the program
// shows them ("You Must Enter a Facility Name" and "... Facility already
// exists." are the document's, in facility_texts.h).
namespace tandrel::texts {

inline QString CodeIdLengthRange(int low, int high) {
    return QStringLiteral("Code ID Length must be from %1 to %2 digits").arg(low).arg(high);
}
inline QString PinLengthRange(int low, int high) {
    return QStringLiteral("PIN Length must be from %1 to %2 digits").arg(low).arg(high);
}
inline const QString kFacilityCodeNumeric = QStringLiteral("Facility Code Must be Numeric Only");
inline QString FacilityCodeTooLong(int digits) {
    return QStringLiteral("Facility code length can not excede %1 digits").arg(digits);
}
inline const QString kFacilityCodeWithoutPosition =
    QStringLiteral("You have entered a facility code without specifying a card data position");
inline const QString kSameCardPosition =
    QStringLiteral("User ID and facility code can not be in same card data position");
inline const QString kUserIdPosition =
    QStringLiteral("You must specify a user ID card data position");
inline const QString kContact1FieldName =
    QStringLiteral("You Must Enter a Field Name for Contact1");
inline const QString kContact2FieldName =
    QStringLiteral("You Must Enter a Field Name for Contact2");
inline const QString kReferenceFieldName =
    QStringLiteral("You Must Enter a Field Name for Reference");
inline const QString kDaylightSavingsType =
    QStringLiteral("You Must Specify a Daylight Savings Type");

}  // namespace tandrel::texts
