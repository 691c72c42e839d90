#pragma once

#include <QDateTime>

#include <cstdint>
#include <map>
#include <vector>

#include "protocol/bytes.h"

namespace tandrel {

// One stored event of a time schedule: Schedule 0 sets the access level,
// 1 switches a user group.
struct ScheduleEventRow {
    int schedule = 0;
    std::uint32_t event = 0;
};

// The lock's schedule table: key = day mask (bits 16-23, bit 0 Sunday ...
// bit 6 Saturday), hour (8-15), minute (0-7); value = entry index (24-31),
// level byte (16-23), switched groups (8-15), group states (0-7).
using CompiledSchedule = std::map<std::uint32_t, std::uint32_t>;

// Compiles the events (level events first) into the table a lock runs:
// merged minutes, the level and group states carried through the week and
// around it, equal days merged, entries numbered in time order.
CompiledSchedule CompileSchedule(const std::vector<ScheduleEventRow>& rows);

// One entry (command 0x40, 6 bytes), and the entry that ends a table of
// `count` entries.
protocol::Bytes ScheduleEntryPayload(std::uint32_t key, std::uint32_t value);
protocol::Bytes ScheduleEndPayload(int count);

// One holiday as the holiday list query gives it.
struct LockHoliday {
    QDateTime start, end;
    bool useSchedule = false;  // the holiday runs the daily schedule in `schedule`
    int schedule = 0;          // 0 Monday ... 6 Sunday
    int level = 0;             // access level (0-4), PIN required (bit 5), no override (bit 6)
    int groupMask = 0;
};

// One holiday (command 0x50, 8 bytes), and the record that ends a list of
// `count` holidays.
protocol::Bytes HolidayPayload(int index, const LockHoliday& holiday);
protocol::Bytes HolidayEndPayload(int count);

}  // namespace tandrel
