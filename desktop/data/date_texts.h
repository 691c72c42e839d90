#pragma once

#include <QDate>
#include <QString>

namespace tandrel {

// A date as date-only text in the user's short format, within the ten
// characters of the user groups' RecodeDate.
QString RecodeDateText(const QDate& date);

}  // namespace tandrel
