#pragma once

#include <QString>

// Texts of the checks on names and free texts before they are stored.
namespace tandrel::texts {

inline QString TooLong(const QString& label, int size) {
    return label + QStringLiteral(" can not be longer than %1 character%2")
                       .arg(size)
                       .arg(size == 1 ? QString() : QStringLiteral("s"));
}
inline QString NameOnOneLine(const QString& label) {
    return label + QStringLiteral(" can not contain tabs, line breaks or other control characters");
}
inline QString NoControlCharacters(const QString& label) {
    return label + QStringLiteral(" can not contain control characters");
}

}  // namespace tandrel::texts
