#pragma once

#include <QString>

#include <memory>
#include <set>

#include "desktop/admin/holidays.h"
#include "desktop/admin/schedule_enrolment.h"
#include "desktop/admin/schedule_event_pages.h"
#include "desktop/data/facility_document.h"

namespace tandrel {

// The "Time Schedule Properties" sheet (and the "New Time Schedule Wizard"):
// the "Info", "Master", "Groups", "Holidays" and "Lock Enrollment" pages
// over a working copy of one schedule, written back in one transaction.
class CTimeScheduleSheet {
  public:
    // A new schedule named "New Time Schedule".
    static std::unique_ptr<CTimeScheduleSheet> NewSchedule(CTDXDoc& doc, Prompter& prompter);
    // A new schedule whose pages start with copies of the source's events
    // and holidays; nullptr, after the message, when the source cannot be
    // read.
    static std::unique_ptr<CTimeScheduleSheet> CopySchedule(CTDXDoc& doc, Prompter& prompter,
                                                            int sourceKey);
    // nullptr, after "Unexpected database error.\nCan not continue.", when
    // the schedule cannot be read.
    static std::unique_ptr<CTimeScheduleSheet> Open(CTDXDoc& doc, Prompter& prompter, int key);

    bool IsNew() const { return key_ <= 0; }
    int ScheduleKey() const { return key_; }
    int RevisionCounter() const { return revision_; }
    // "New Time Schedule Wizard", or "Time Schedule Properties - " and the name.
    QString Title() const;

    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    // Leaving the "Info" page: a name that no other schedule has.
    bool CheckInfoPage();

    CScheduleMasterPage& Master() { return master_; }
    CScheduleGroupsPage& Groups() { return groups_; }
    CScheduleHolidayPage& Holidays() { return holidays_; }
    CScheduleEnrollPage& Enrollment() { return enrollment_; }
    bool Changed() const;

    // Writes the sheet in one transaction: the schedule row, its events and
    // holidays brought in line with the working copy, the revision raised
    // and the enrolled locks marked when those changed, the enrolment
    // changes. False, after the message, when nothing was written.
    bool Save();
    // OK / Finish: the "Info" page check, then the save.
    bool Ok() { return CheckInfoPage() && Save(); }

  private:
    CTimeScheduleSheet(CTDXDoc& doc, Prompter& prompter)
        : doc_(doc),
          prompter_(prompter),
          master_(prompter),
          groups_(prompter),
          holidays_(prompter) {}
    bool ReadSchedule(int key, QString& name, int& revision);
    void LoadPages(int key);
    void LoadGroupLabels();

    bool WriteAll();
    bool WriteScheduleRow();
    bool SyncEvents();
    bool SyncHolidays();
    void RaiseRevision();
    void MarkLocks(bool scheduleChanged);
    void AfterSave();

    CTDXDoc& doc_;
    Prompter& prompter_;
    int key_ = 0;
    int revision_ = 1;
    bool wizard_ = false;
    QString name_;
    QString storedName_;
    CScheduleMasterPage master_;
    CScheduleGroupsPage groups_;
    CScheduleHolidayPage holidays_;
    CScheduleEnrollPage enrollment_;
};

}  // namespace tandrel
