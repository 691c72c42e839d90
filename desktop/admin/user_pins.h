#pragma once

#include <QDate>
#include <QString>

#include <optional>

#include "desktop/data/facility_document.h"

namespace tandrel {

struct UserPins {
    QString current;
    QString next;
};

// The PINs of a user in an autocode home group: the PIN of the group's next
// PIN date A (the series rule from its stored PINDate) and of B, one
// interval after A. When A moved past the stored date, the group row gets
// PINDate = A and RecodeDate = A's text. nullopt when the home group does
// not use AutoCode (or is not found).
std::optional<UserPins> AutocodePins(CTDXDoc& doc, int homeGroup, const QString& idDigits,
                                     const QDate& today);

// Brings CurPIN and NextPIN of the current row of doc.m_pLockUsers up to
// date (a user without autocode keeps its typed PIN in both) and saves the
// row when either text changed. Returns whether it changed.
bool RefreshUserPins(CTDXDoc& doc, const QDate& today);

}  // namespace tandrel
