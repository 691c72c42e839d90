#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "desktop/data/facility_document.h"

namespace tandrel {

// One row of the time schedule list view.
struct ScheduleListRow {
    int key = 0;
    QString name;
};

// "Time Schedule Name".
QStringList ScheduleListHeaders();
// The schedules in name order.
std::vector<ScheduleListRow> ScheduleListRows(dao::Database& db);

// The list view's delete: the question (No by default), then in one
// transaction the schedule's events and holidays, its locks unlinked and
// marked for download, and the schedule row. False when answered No or
// when it failed (the message is shown and nothing changed).
bool DeleteTimeSchedule(CTDXDoc& doc, Prompter& prompter, int key);

// The "Lock Time Schedule Status" dialog of a lock.
struct LockScheduleStatus {
    QString schedule;  // "Enrolled Time Schedule:" the name, or "< None >"
    QString status;    // "Enrollment Status:" "Current", "Pending Update" or "< None >"
};
LockScheduleStatus LockScheduleStatusOf(dao::Database& db, int lockKey);

}  // namespace tandrel
