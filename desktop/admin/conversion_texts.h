#pragma once

#include <QString>

// Texts of the code ID and PIN length conversions, exactly as the program
// shows them.
namespace tandrel::texts {

inline const QString kInvalidCodeIdLength =
    QStringLiteral("Invalid Code ID Length -- Can Not Continue");
inline QString CodeIdLengthInsufficient(int digits, qint64 users) {
    return QStringLiteral(
               "A code ID length of %1 digits is insufficient for the\n%2 users that have code "
               "ID assigned -- do the math.")
        .arg(digits)
        .arg(users);
}
inline QString CodeIdLengthRecommended(qint64 users, int digits) {
    return QStringLiteral(
               "There are currently %1 users enrolled in the facility\nwith code ID assigned.  "
               "For security, if these ID are\nto be used without requiring an additional PIN, "
               "a\nminimum code ID length of %2 digits is recommended.\nContinue?")
        .arg(users)
        .arg(digits);
}
inline QString CodeIdCaution(qint64 users, int from, int to) {
    return QStringLiteral(
               "Extreme Caution:  The Code ID for %1 users will be\npermanently modified from %2 "
               "digits to %3 digits.\nAre you sure you want to continue?")
        .arg(users)
        .arg(from)
        .arg(to);
}
inline QString ConvertingCodeIds(qint64 users, int from, int to) {
    return QStringLiteral("Converting %1 users code ID from %2 to %3 digits...")
        .arg(users)
        .arg(from)
        .arg(to);
}
inline const QString kUnableUniqueId =
    QStringLiteral("Unable To Generate Unique ID -- Can Not Continue");
inline QString PostingCodeIds(qint64 users) {
    return QStringLiteral("Posting %1 new code ID to facility...").arg(users);
}

inline QString PinCaution(qint64 users, int from, int to) {
    return QStringLiteral(
               "Extreme Caution:  The PINs for %1 users will be\npermanently modified from %2 "
               "digits to %3 digits.\nAre you sure you want to continue?")
        .arg(users)
        .arg(from)
        .arg(to);
}
inline QString ConvertingPins(qint64 users, int from, int to) {
    return QStringLiteral("Converting %1 users PIN from %2 to %3 digits...")
        .arg(users)
        .arg(from)
        .arg(to);
}

inline const QString kMemoryException =
    QStringLiteral("Memory Exception Error -- Can Not Continue");

}  // namespace tandrel::texts
