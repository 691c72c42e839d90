#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace tandrel {

inline constexpr int kDaysPerWeek = 7;
inline constexpr int kScheduleGroups = 8;
inline constexpr int kAccessLevels = 5;
// The group of a master (access level) event.
inline constexpr int kMasterGroup = -1;
// [Schedule] of a Time Schedule Events row.
inline constexpr int kMasterEventRow = 0;
inline constexpr int kGroupEventRow = 1;

// One event of a time schedule. A master event sets the lock's access level
// (level, PIN required, no manager override); a group event switches one
// user group on or off. Days run 0 = Monday .. 6 = Sunday.
struct ScheduleEvent {
    int group = kMasterGroup;  // 0..7 for a group event
    int day = 0;
    int hour = 0;
    int minute = 0;
    int level = 0;
    bool pin = false;
    bool noOverride = false;
    bool allow = false;

    bool IsMaster() const { return group == kMasterGroup; }
    int MinuteOfDay() const { return hour * 60 + minute; }
    bool operator==(const ScheduleEvent&) const = default;
};

// The packed [Event] values; unpacking gives nullopt for a value whose day,
// hour, minute, level or group is out of range.
std::int32_t PackMasterEvent(const ScheduleEvent& event);
std::int32_t PackGroupEvent(const ScheduleEvent& event);
std::optional<ScheduleEvent> UnpackMasterEvent(std::int32_t value);
std::optional<ScheduleEvent> UnpackGroupEvent(std::int32_t value);
// The [Schedule] and [Event] of the row that stores the event.
inline int EventRowKind(const ScheduleEvent& e) {
    return e.IsMaster() ? kMasterEventRow : kGroupEventRow;
}
inline std::int32_t PackEvent(const ScheduleEvent& e) {
    return e.IsMaster() ? PackMasterEvent(e) : PackGroupEvent(e);
}

// "Monday" .. "Sunday".
QString DayName(int day);
const QStringList& DayNames();
// "Unlock", "Unlock with ID", "ID Required", "Facility Card", "Lockout".
QString LevelName(int level);
const QStringList& LevelNames();

// "%I:%M %p": "09:00 PM".
QString EventTimeText(int hour, int minute);
// "09:00 PM ID Required / PIN Required / No Manager Override" for a master
// event, "09:00 PM Allow Access" for a group event.
QString EventText(const ScheduleEvent& event);

// "%d - " and the group name (group index 0..7 shown as 1..8).
QString GroupLabel(int group, const QString& name);

}  // namespace tandrel
