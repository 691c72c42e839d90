#pragma once

#include <QString>

// Texts of the time schedule list, the "Time Schedule Properties" sheet and
// its dialogs, exactly as the program shows them.
namespace tandrel::texts {

inline const QString kScheduleNameColumn = QStringLiteral("Time Schedule Name");
inline const QString kNewScheduleWizard = QStringLiteral("New Time Schedule Wizard");
inline const QString kSchedulePropertiesTitle = QStringLiteral("Time Schedule Properties - ");
inline const QString kNewScheduleName = QStringLiteral("New Time Schedule");
inline const QString kMasterRoot = QStringLiteral("Master Access Level Schedule");
inline const QString kGroupsRoot = QStringLiteral("User Group Access Schedules");
inline const QString kUnassignedGroup = QStringLiteral("<Unassigned>");
inline const QString kNewEventTime = QStringLiteral("12:00 AM");

inline const QString kPinRequired = QStringLiteral("/ PIN Required");
inline const QString kNoManagerOverride = QStringLiteral("/ No Manager Override");
inline const QString kAllowAccess = QStringLiteral("Allow Access");
inline const QString kDenyAccess = QStringLiteral("Deny Access");
inline const QString kHolidayPinRequired = QStringLiteral("\\Pin Required");
inline const QString kHolidayNoOverride = QStringLiteral("\\No Manager Override");
inline const QString kHolidayUse = QStringLiteral("Use ");

// Dialog input checks.
inline const QString kUnrecognizedTime =
    QStringLiteral("Unrecognized time format -- Use 'hh:mm am/pm'");
inline const QString kUnrecognizedHolidayDate =
    QStringLiteral("Unrecognized date format -- Use 'mm/dd'");
inline const QString kSelectAccessLevel = QStringLiteral("You must select an access level");
inline const QString kHolidayNameNeeded = QStringLiteral("You must enter a name for the holiday");
inline const QString kSamePeriodEnds =
    QStringLiteral("Invallid holiday period --\nStart and end date/times\ncan not be the same");
inline const QString kSelectDailySchedule = QStringLiteral("You must select a daily schedule");
inline const QString kHolidayEndsBeforeStart = QStringLiteral(
    "Invalid holiday period --\nThe end comes before the start\n(a period over the new year ends "
    "in an earlier month)");

// Events.
inline const QString kSelectDayFirst = QStringLiteral("You must first select\na day of the week.");
inline QString EventAlreadyScheduled(const QString& time) {
    return QStringLiteral("An event is already scheduled for ") + time;
}
inline QString ReplaceEventQuestion(const QString& before, const QString& after) {
    return QStringLiteral("Replace scheduled event: '") + before + QStringLiteral("'\nWith: '") +
           after + QStringLiteral("'?");
}
inline const QString kCouldNotModifyEvent = QStringLiteral("Could not modify schedulued event");

// Master page paste.
inline QString ReplaceDayQuestion(const QString& target, const QString& source) {
    return QStringLiteral("Replace ") + target + QStringLiteral("'s schedule with\na copy of ") +
           source + QStringLiteral("'s?");
}
inline QString ReplaceAllDaysQuestion(const QString& day) {
    return QStringLiteral("Replace all daily schedules\nwith a copy of ") + day +
           QStringLiteral("'s schedule?");
}
inline QString CopyEventToAllDaysQuestion(const QString& event) {
    return QStringLiteral("Copy event '") + event + QStringLiteral("' to all days?");
}

// Groups page paste.
inline QString ReplaceAllGroupsQuestion(const QString& group) {
    return QStringLiteral("Replace all group schedules\nwith a copy of '") + group +
           QStringLiteral("'?");
}
inline QString ReplaceAllGroupDaysQuestion(const QString& group, const QString& day) {
    return QStringLiteral("Replace all daily schedules with a copy of\n'") + group +
           QStringLiteral(" : ") + day + QStringLiteral("'?");
}
inline QString CopyEventToAllSchedulesQuestion(const QString& event) {
    return QStringLiteral("Copy event '") + event + QStringLiteral("' to all schedules?");
}
inline QString ReplaceGroupQuestion(const QString& target, const QString& source) {
    return QStringLiteral("Replace all schedules in '") + target +
           QStringLiteral("'\nwith a copy of '") + source + QStringLiteral("'?");
}
inline QString ReplaceGroupDaysQuestion(const QString& target, const QString& group,
                                        const QString& day) {
    return QStringLiteral("Replace all daily schedules in\n'") + target +
           QStringLiteral("'\nwith a copy of\n'") + group + QStringLiteral(" : ") + day +
           QStringLiteral("'?");
}
inline QString CopyEventToGroupQuestion(const QString& event, const QString& group) {
    return QStringLiteral("Copy '") + event + QStringLiteral("' to all days in\n'") + group +
           QStringLiteral("'?");
}
inline QString ReplaceGroupDayQuestion(const QString& targetGroup, const QString& targetDay,
                                       const QString& sourceGroup, const QString& sourceDay) {
    return QStringLiteral("Replace '") + targetGroup + QStringLiteral(" : ") + targetDay +
           QStringLiteral("'\nwith a copy of ") + sourceGroup + QStringLiteral(" : ") + sourceDay +
           QStringLiteral("'?");
}

// Deleting events.
inline QString DeleteEventQuestion(const QString& event) {
    return QStringLiteral("Delete event:\n'") + event + QStringLiteral("'?");
}
inline QString DeleteMasterDayQuestion(const QString& day) {
    return QStringLiteral("Delete all events from ") + day + QStringLiteral("'s schedule?");
}
inline QString DeleteGroupDayQuestion(const QString& group, const QString& day) {
    return QStringLiteral("Delete all events from\n") + group + QStringLiteral(" : ") + day +
           QStringLiteral("'s schedule?");
}
inline QString DeleteGroupQuestion(const QString& group) {
    return QStringLiteral("Delete all events from\n'") + group + QStringLiteral("' schedule?");
}
inline const QString kDeleteMasterQuestion =
    QStringLiteral("Delete all events from Master schedule?");
inline const QString kDeleteAllGroupsQuestion =
    QStringLiteral("Delete all events from all schedules?");

// Holidays.
inline const QString kHolidayListFull = QStringLiteral("The holiday list is full");
inline const QString kHolidayNameInUse = QStringLiteral("Holiday name already in use");
inline const QString kOverlappingHolidays =
    QStringLiteral("Overlapping holiday periods are not permitted");
inline const QString kErrorAddingHoliday =
    QStringLiteral("Error adding holiday -- can not continue");
inline QString DeleteHolidayQuestion(const QString& name) {
    return QStringLiteral("Delete '") + name + QStringLiteral("' holiday?");
}
inline const QString kHolidayListEmpty = QStringLiteral("Holiday list is empty");
inline const QString kClearHolidaysQuestion = QStringLiteral("Clear entire holiday list?");

// Info page and saving.
inline const QString kScheduleNameNeeded =
    QStringLiteral("You Must Enter a Name for the Time Schedule");
inline const QString kScheduleNameInUse = QStringLiteral("Time Schedule Name Already In Use");
inline const QString kScheduleOutOfKeys =
    QStringLiteral("Out of Database Record Keys --\nRepair / Compact the Facility and Try Again");
inline const QString kErrorRetrievingSchedule =
    QStringLiteral("Error Retrieving Time Schedule Record");
inline const QString kErrorRetrievingLock = QStringLiteral("Error Retrieving Lock Data.");
inline const QString kScheduleUpdateError =
    QStringLiteral("Error Updating Database,\nCan Not Continue.");
inline const QString kScheduleUnexpectedError =
    QStringLiteral("Unexpected database error.\nCan not continue.");

// Deleting a schedule.
inline QString DeleteScheduleQuestion(const QString& name) {
    return QStringLiteral("Permanently delete '") + name + QStringLiteral("' time schedule?");
}
inline const QString kScheduleTransactionError =
    QStringLiteral("Unexpected error in database transaction, can not continue.");

// "Lock Time Schedule Status".
inline const QString kScheduleNone = QStringLiteral("< None >");
inline const QString kScheduleCurrent = QStringLiteral("Current");
inline const QString kSchedulePendingUpdate = QStringLiteral("Pending Update");

}  // namespace tandrel::texts
