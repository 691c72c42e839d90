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

// The fixed choices of the card data and daylight-saving pages, for values
// that none of their controls can hold.
inline const QString kCardTrackChoice =
    QStringLiteral("Card track must be 0 (Track 2) or 1 (Track 3)");
inline QString CardKindChoice(const QString& item) {
    return item + QStringLiteral(" position must be 0 (Character), 1 (Field) or 2 (Not Used)");
}
inline QString CardPositionRange(const QString& item, int low, int high) {
    return item + QStringLiteral(" position must be from %1 to %2").arg(low).arg(high);
}
inline const QString kCardExpireFormatChoice = QStringLiteral(
    "Card expiration date format must be from 0 to 13: DDMMYY, DDMMYYYY, MMDDYY, MMDDYYYY, "
    "MMYY, MMYYYY, YY, YYDDMM, YYMM, YYMMDD, YYYY, YYYYDDMM, YYYYMM, YYYYMMDD");
inline const QString kCardExpireThruChoice =
    QStringLiteral("Card expiration must be 0 (Thru) or 1 (To)");
inline const QString kDaylightSavingsChoice =
    QStringLiteral("Daylight savings type must be 0 (off) or 1 (on)");
inline QString DstMonthChoice(const QString& change) {
    return QStringLiteral("Daylight savings ") + change +
           QStringLiteral(" month must be from 0 (January) to 11 (December)");
}
inline QString DstWeekChoice(const QString& change) {
    return QStringLiteral("Daylight savings ") + change +
           QStringLiteral(" week must be 0 (first), 1 (last), 2 (second), 3 (third) or 4 (fourth)");
}
inline QString DstHalfChosen(const QString& change) {
    return QStringLiteral("Daylight savings ") + change +
           QStringLiteral(" needs both a month and a week");
}

}  // namespace tandrel::texts
