#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

#include "desktop/admin/schedule_entry.h"
#include "desktop/data/prompter.h"

namespace tandrel {

inline constexpr int kMaxHolidays = 32;

// One holiday of a schedule, as a Holidays row keeps it: the period in 2000
// (the end in 2001 when it runs over the new year), either an access level
// or the daily schedule of a day, and the groups allowed in.
struct Holiday {
    QString name;
    QDateTime start;
    QDateTime end;
    bool useSchedule = false;  // the daily schedule of `day` applies
    int day = 0;               // 0 = Monday .. 6 = Sunday
    int level = 0;             // packed: bits 0-4 level, 5 PIN required, 6 no manager override
    int groupMask = 0;         // bit g-1: user group g allowed
    bool operator==(const Holiday&) const = default;
};

inline int PackHolidayLevel(int level, bool pin, bool noOverride) {
    return (level & 0x1F) | (pin ? 0x20 : 0) | (noOverride ? 0x40 : 0);
}

enum class HolidayMode { Level, DailySchedule };

// What the "Holiday Period" dialog holds when OK is pressed.
struct HolidayEntry {
    QString name;
    QString startDate, startTime;  // "mm/dd", "hh:mm am/pm"
    QString endDate, endTime;
    HolidayMode mode = HolidayMode::Level;
    int level = -1;  // -1: none chosen
    bool pin = false;
    bool noOverride = false;
    int groupMask = 0;
    int day = -1;  // -1: none chosen
};

enum class HolidayField { Name, StartDate, StartTime, EndDate, EndTime, Level, Day };

// The dialog's OK checks in their order; a failure shows its message with
// the stop icon and names the field to focus. An end in an earlier month
// than the start is moved into 2001 (the period runs over the new year);
// when that day does not exist there (29 February) the end is left invalid
// for the caller to refuse. An end earlier in the start's month is refused.
bool CheckHolidayEntry(const HolidayEntry& entry, Prompter& prompter, Holiday& holiday,
                       HolidayField* field = nullptr);
HolidayEntry EntryOf(const Holiday& holiday);

// Whether the start or end of either period lies within the other, ends
// included, in any year: the lock repeats holidays every year, so a period
// over the new year also meets the periods early in the year it runs into.
bool PeriodsOverlap(const Holiday& a, const Holiday& b);

// The texts of a holiday in the list: "%m/%d %I:%M %p" for both ends, and
// the level ("\Pin Required", "\No Manager Override" appended) or "Use"
// with the day ("Use Monday's").
struct HolidayRow {
    QString name;
    QString start;
    QString end;
    QString access;
};
HolidayRow HolidayRowOf(const Holiday& holiday);

// The "Holidays" page: the schedule's holidays in start order, with the
// "Ne&w", "&Edit", "&Delete" and "Delete &All" buttons.
class CScheduleHolidayPage {
  public:
    explicit CScheduleHolidayPage(Prompter& prompter) : prompter_(prompter) {}

    const std::vector<Holiday>& Holidays() const { return holidays_; }
    void Load(std::vector<Holiday> holidays);
    // The index of the holiday of that name (exact), -1 when none.
    int IndexOf(const QString& name) const;

    // "Ne&w": false (with the message) when the list is full.
    bool CanAdd();
    // OK in the dialog of a new holiday: KeepOpen for an input check, a name
    // in use or an overlap; Refused when the list is full or the period
    // cannot be added.
    EntryOutcome Add(const HolidayEntry& entry, HolidayField* field = nullptr);
    // OK in the dialog of an existing holiday: the same checks, ignoring it.
    EntryOutcome Edit(int index, const HolidayEntry& entry, HolidayField* field = nullptr);
    // "&Delete" and "Delete &All", after their questions.
    bool Delete(int index);
    bool DeleteAll();

    bool Changed() const { return changed_; }
    void SetChanged(bool changed) { changed_ = changed; }

  private:
    EntryOutcome Store(int index, const HolidayEntry& entry, HolidayField* field);
    bool Conflicts(const Holiday& holiday, int except, HolidayField* field);
    void Sort();

    Prompter& prompter_;
    std::vector<Holiday> holidays_;
    bool changed_ = false;
};

}  // namespace tandrel
