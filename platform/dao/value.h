#pragma once

#include <QDateTime>
#include <QVariant>

#include "platform/dao/field_info.h"

namespace dao {

// Date/Time values are wall-clock moments without a time zone, stored as
// whole seconds from 1970-01-01 00:00:00 of that same wall clock.
qint64 DateTimeToStorage(const QDateTime& value);
QDateTime DateTimeFromStorage(qint64 seconds);

// The value a field takes when a new row leaves it unset: its default-value
// expression ("Yes", "0", "\"My Facility\"") read for its type, or null.
QVariant DefaultFor(const FieldInfo& field);

// Checks a value against the field's type, range, size, required and
// zero-length rules and returns it in storage form (null, integer or
// text). Throws the engine error for a violation.
QVariant ToStorage(const FieldInfo& field, const QVariant& value);

// A stored value in the field's own type: bool, int, QDateTime or QString
// (null stays null).
QVariant FromStorage(FieldType type, const QVariant& stored);

}  // namespace dao
