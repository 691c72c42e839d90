#pragma once

#include <QDate>
#include <QString>

namespace tandrel {

// Dates in the user's short date format (the default locale, which is the
// system's unless the program sets another), as the group pages show them.
QString ShortDateText(const QDate& date);

// A date as typed: the user's short date format (a two-digit year is read
// like a packed date's, 2000 onwards and moved on by whole centuries while
// 100 or more years before today), the same format with a four-digit year,
// "m/d/yyyy", or ISO "yyyy-mm-dd". An invalid QDate when the text is none of
// these.
QDate ParseDateEntry(const QString& text, const QDate& today);

}  // namespace tandrel
