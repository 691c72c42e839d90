#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

#include "desktop/admin/schedule_events.h"
#include "desktop/admin/schedule_texts.h"
#include "desktop/data/prompter.h"

namespace tandrel {

// What the "Master Schedule Event" dialog holds when OK is pressed.
struct MasterEventEntry {
    QString time = texts::kNewEventTime;
    int level = -1;  // -1: none chosen
    bool pin = false;
    bool noOverride = false;
};

// What the "Group Schedule Event" dialog holds when OK is pressed.
struct GroupEventEntry {
    QString time;
    std::optional<bool> allow;  // "&Allow Access" / "De&ny Access"; nullopt: neither
};

enum class EventField { Time, Level };

// What became of OK in an event or holiday dialog. Accepted: stored in the
// sheet. KeepOpen: refused, the dialog stays (or opens again) for a
// correction. Refused: the message is shown, nothing changed and the dialog
// closes.
enum class EntryOutcome { Accepted, KeepOpen, Refused };

// A time of day as typed in any time box (events and holidays), trimmed:
// without a colon the short form "9p" / "12 AM" stands for "9:00 PM"; then the locale's time
// formats, "h:mm AM", "h:mm:ss AM" (with or without the blank) and 24-hour "H:mm", "H:mm:ss".
// Seconds are dropped.
std::optional<QTime> ReadTimeOfDay(const QString& text);
// A master event's time box, which holds at most 8 characters.
std::optional<QTime> ReadMasterEventTime(const QString& text);

// The dialogs' OK checks, in their order. A failure shows its message with
// the stop icon, names the field to focus and leaves `event` alone; on
// success `event` takes the time (seconds dropped) and the choices.
bool CheckMasterEntry(const MasterEventEntry& entry, Prompter& prompter, ScheduleEvent& event,
                      EventField* field = nullptr);
bool CheckGroupEntry(const GroupEventEntry& entry, Prompter& prompter, ScheduleEvent& event,
                     EventField* field = nullptr);

MasterEventEntry MasterEntryOf(const ScheduleEvent& event);
GroupEventEntry GroupEntryOf(const ScheduleEvent& event);

}  // namespace tandrel
