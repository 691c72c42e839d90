#include "platform/dao/value.h"

#include <QTimeZone>

#include <limits>

#include "platform/dao/error.h"

namespace dao {
namespace {

const QDateTime& Epoch() {
    static const QDateTime epoch(QDate(1970, 1, 1), QTime(0, 0), QTimeZone::utc());
    return epoch;
}

bool ParseBoolean(const QString& text, bool& out) {
    QString t = text.trimmed();
    if (t.compare(QLatin1String("Yes"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("On"), Qt::CaseInsensitive) == 0 || t == QLatin1String("-1")) {
        out = true;
        return true;
    }
    if (t.compare(QLatin1String("No"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("Off"), Qt::CaseInsensitive) == 0 || t == QLatin1String("0")) {
        out = false;
        return true;
    }
    return false;
}

QString Unquote(const QString& expression) {
    if (expression.size() >= 2 && expression.startsWith(QLatin1Char('"')) &&
        expression.endsWith(QLatin1Char('"'))) {
        return expression.mid(1, expression.size() - 2)
            .replace(QLatin1String("\"\""), QLatin1String("\""));
    }
    return expression;
}

qint64 IntegerValue(const FieldInfo& field, const QVariant& value) {
    bool ok = false;
    qint64 number = 0;
    switch (value.typeId()) {
        case QMetaType::Bool: return value.toBool() ? 1 : 0;
        case QMetaType::Double: {
            double d = value.toDouble();
            if (d < -9.2e18 || d > 9.2e18) Throw(kErrNumericOverflow);
            number = qRound64(d);
            ok = true;
            break;
        }
        case QMetaType::QString: {
            QString text = value.toString().trimmed();
            number = text.toLongLong(&ok);
            if (!ok) {
                double d = text.toDouble(&ok);
                if (ok) {
                    if (d < -9.2e18 || d > 9.2e18) Throw(kErrNumericOverflow);
                    number = qRound64(d);
                }
            }
            break;
        }
        default: number = value.toLongLong(&ok); break;
    }
    if (!ok) Throw(kErrConversion);
    qint64 low = std::numeric_limits<qint32>::min(), high = std::numeric_limits<qint32>::max();
    if (field.type == FieldType::Byte) low = 0, high = 255;
    if (field.type == FieldType::Integer) low = -32768, high = 32767;
    if (number < low || number > high) Throw(kErrNumericOverflow);
    return number;
}

}  // namespace

qint64 DateTimeToStorage(const QDateTime& value) {
    QDateTime wall(value.date(), value.time(), QTimeZone::utc());
    return Epoch().secsTo(wall);
}

QDateTime DateTimeFromStorage(qint64 seconds) {
    QDateTime wall = Epoch().addSecs(seconds);
    return QDateTime(wall.date(), wall.time());
}

QVariant DefaultFor(const FieldInfo& field) {
    if (field.defaultValue.isEmpty()) return {};
    QString expression = Unquote(field.defaultValue);
    switch (field.type) {
        case FieldType::Boolean: {
            bool b = false;
            return ParseBoolean(expression, b) ? QVariant(b) : QVariant();
        }
        case FieldType::Text: return expression;
        case FieldType::DateTime: return {};
        default: {
            bool ok = false;
            qlonglong n = expression.toLongLong(&ok);
            return ok ? QVariant(static_cast<int>(n)) : QVariant();
        }
    }
}

QVariant ToStorage(const FieldInfo& field, const QVariant& value) {
    if (value.isNull()) {
        if (field.required && !field.IsAutoIncrement()) Throw(kErrRequiredIsNull, field.name);
        return {};
    }
    switch (field.type) {
        case FieldType::Boolean: {
            if (value.typeId() == QMetaType::QString) {
                bool b = false;
                if (!ParseBoolean(value.toString(), b)) Throw(kErrConversion);
                return QVariant(static_cast<qlonglong>(b ? 1 : 0));
            }
            if (value.typeId() == QMetaType::Bool) return QVariant(qlonglong(value.toBool()));
            bool ok = false;
            qlonglong n = value.toLongLong(&ok);
            if (!ok) Throw(kErrConversion);
            return QVariant(qlonglong(n != 0));
        }
        case FieldType::Byte:
        case FieldType::Integer:
        case FieldType::Long: return QVariant(static_cast<qlonglong>(IntegerValue(field, value)));
        case FieldType::DateTime: {
            QDateTime moment = value.toDateTime();
            if (value.typeId() == QMetaType::QString) {
                moment = QDateTime::fromString(value.toString().trimmed(), Qt::ISODate);
            }
            if (!moment.isValid()) Throw(kErrConversion);
            return QVariant(static_cast<qlonglong>(DateTimeToStorage(moment)));
        }
        case FieldType::Text: {
            QString text = value.toString();
            if (text.isEmpty() && !field.allowZeroLength) Throw(kErrZeroLength, field.name);
            if (text.size() > field.size) Throw(kErrFieldTooSmall);
            return text;
        }
    }
    Throw(kErrConversion);
}

QVariant FromStorage(FieldType type, const QVariant& stored) {
    if (stored.isNull()) return {};
    switch (type) {
        case FieldType::Boolean: return QVariant(stored.toLongLong() != 0);
        case FieldType::Byte:
        case FieldType::Integer:
        case FieldType::Long: return QVariant(static_cast<int>(stored.toLongLong()));
        case FieldType::DateTime: return DateTimeFromStorage(stored.toLongLong());
        case FieldType::Text: return stored.toString();
    }
    return stored;
}

}  // namespace dao
