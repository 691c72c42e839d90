#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <ostream>

// Readable values in test failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QVariant& v, std::ostream* os) {
    if (v.isNull()) {
        *os << "Null";
    } else {
        *os << v.typeName() << "(" << v.toString().toStdString() << ")";
    }
}
inline void PrintTo(const QDateTime& d, std::ostream* os) {
    *os << d.toString(Qt::ISODate).toStdString();
}
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}
QT_END_NAMESPACE
