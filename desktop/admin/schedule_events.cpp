#include "desktop/admin/schedule_events.h"

#include "desktop/admin/schedule_texts.h"

namespace tandrel {
namespace {

std::uint32_t Bits(std::uint32_t value, int first, int count) {
    return (value >> first) & ((1u << count) - 1u);
}

bool InRange(const ScheduleEvent& e) {
    return e.day >= 0 && e.day < kDaysPerWeek && e.hour >= 0 && e.hour < 24 && e.minute >= 0 &&
           e.minute < 60;
}

}  // namespace

std::int32_t PackMasterEvent(const ScheduleEvent& e) {
    std::uint32_t v = static_cast<std::uint32_t>(e.hour) |
                      static_cast<std::uint32_t>(e.minute) << 5 |
                      static_cast<std::uint32_t>(e.level) << 11 | (e.pin ? 1u << 14 : 0u) |
                      (e.noOverride ? 1u << 15 : 0u) | static_cast<std::uint32_t>(e.day) << 16;
    return static_cast<std::int32_t>(v);
}

std::int32_t PackGroupEvent(const ScheduleEvent& e) {
    std::uint32_t v = static_cast<std::uint32_t>(e.day) | static_cast<std::uint32_t>(e.hour) << 3 |
                      static_cast<std::uint32_t>(e.minute) << 8 | (e.allow ? 1u << 14 : 0u) |
                      static_cast<std::uint32_t>(e.group) << 16;
    return static_cast<std::int32_t>(v);
}

std::optional<ScheduleEvent> UnpackMasterEvent(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    ScheduleEvent e;
    e.hour = static_cast<int>(Bits(v, 0, 5));
    e.minute = static_cast<int>(Bits(v, 5, 6));
    e.level = static_cast<int>(Bits(v, 11, 3));
    e.pin = Bits(v, 14, 1) != 0;
    e.noOverride = Bits(v, 15, 1) != 0;
    e.day = static_cast<int>(Bits(v, 16, 8));
    if (!InRange(e) || e.level >= kAccessLevels || Bits(v, 24, 8) != 0) return std::nullopt;
    return e;
}

std::optional<ScheduleEvent> UnpackGroupEvent(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    ScheduleEvent e;
    e.day = static_cast<int>(Bits(v, 0, 3));
    e.hour = static_cast<int>(Bits(v, 3, 5));
    e.minute = static_cast<int>(Bits(v, 8, 6));
    e.allow = Bits(v, 14, 1) != 0;
    e.group = static_cast<int>(Bits(v, 16, 8));
    if (!InRange(e) || e.group >= kScheduleGroups || Bits(v, 24, 8) != 0) return std::nullopt;
    return e;
}

const QStringList& DayNames() {
    static const QStringList names = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                      "Friday", "Saturday", "Sunday"};
    return names;
}

QString DayName(int day) {
    return DayNames().value(day);
}

const QStringList& LevelNames() {
    static const QStringList names = {"Unlock", "Unlock with ID", "ID Required", "Facility Card",
                                      "Lockout"};
    return names;
}

QString LevelName(int level) {
    return LevelNames().value(level);
}

QString EventTimeText(int hour, int minute) {
    const int twelve = hour % 12 == 0 ? 12 : hour % 12;
    return QString::asprintf("%02d:%02d %s", twelve, minute, hour < 12 ? "AM" : "PM");
}

QString EventText(const ScheduleEvent& e) {
    QString text = EventTimeText(e.hour, e.minute) + QLatin1Char(' ');
    if (!e.IsMaster()) return text + (e.allow ? texts::kAllowAccess : texts::kDenyAccess);
    text += LevelName(e.level);
    if (e.pin) text += QLatin1Char(' ') + texts::kPinRequired;
    if (e.noOverride) text += QLatin1Char(' ') + texts::kNoManagerOverride;
    return text;
}

QString GroupLabel(int group, const QString& name) {
    return QStringLiteral("%1 - ").arg(group + 1) + name;
}

}  // namespace tandrel
