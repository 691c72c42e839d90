#include "desktop/admin/date_entry.h"

#include <QLocale>
#include <QStringList>

namespace tandrel {
namespace {

bool HasTwoDigitYear(const QString& format) {
    return format.contains(QLatin1String("yy")) && !format.contains(QLatin1String("yyyy"));
}

// QLocale reads "yy" as 1900-1999; the recoding dates live in this century.
QDate IntoCentury(QDate date, const QDate& today) {
    while (date.year() < 2000) date = date.addYears(100);
    while (date.year() <= today.year() - 100) date = date.addYears(100);
    return date;
}

}  // namespace

QString ShortDateText(const QDate& date) {
    return QLocale().toString(date, QLocale::ShortFormat);
}

QDate ParseDateEntry(const QString& text, const QDate& today) {
    const QLocale locale;
    const QString trimmed = text.trimmed();
    const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    if (HasTwoDigitYear(shortFormat)) {
        QString longYear = shortFormat;
        longYear.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        QDate date = locale.toDate(trimmed, longYear);
        if (date.isValid()) return date;
        date = locale.toDate(trimmed, shortFormat);
        if (date.isValid()) return IntoCentury(date, today);
    } else {
        QDate date = locale.toDate(trimmed, shortFormat);
        if (date.isValid()) return date;
    }
    // The program's own entry form, whatever the locale: month/day/year.
    QDate date = QDate::fromString(trimmed, QStringLiteral("M/d/yyyy"));
    return date.isValid() ? date : QDate::fromString(trimmed, Qt::ISODate);
}

}  // namespace tandrel
