#pragma once

#include <QString>

#include <optional>

#include "desktop/data/facility_document.h"

namespace tandrel {

// The user list's commands that act on a user without its sheet. Each runs
// in one transaction; a refusal or a No changes nothing. They return
// whether the user was changed (false also stands for the list's beep).

// Deletes a user: its enrolments become pending removals (those never
// delivered go at once) and the user is listed as deleted until every lock
// has confirmed, or is removed at once when nothing is pending.
bool DeleteUser(CTDXDoc& doc, Prompter& prompter, int userKey);

// Restores a deleted user: its pending removals become pending enrolments.
bool RestoreUser(CTDXDoc& doc, Prompter& prompter, int userKey);

// The first listed user whose list name begins with `text` (any case).
std::optional<int> FindUser(CTDXDoc& doc, const QString& text);

}  // namespace tandrel
