#include "desktop/exchange/schedule_compile.h"

#include <algorithm>

namespace tandrel {
namespace {

constexpr std::uint8_t kGroupsOnly = 7;  // level bits of an entry that only switches groups
constexpr std::uint8_t kSetsLevel = 0x80;
constexpr std::uint8_t kStartLevel = 0x42;  // level 2, manager override allowed
constexpr int kMaxIndexedEntries = 256;

std::uint8_t LevelOf(std::uint32_t v) {
    return static_cast<std::uint8_t>(v >> 16);
}
std::uint8_t MaskOf(std::uint32_t v) {
    return static_cast<std::uint8_t>(v >> 8);
}
std::uint8_t StatesOf(std::uint32_t v) {
    return static_cast<std::uint8_t>(v);
}
std::uint32_t Value(std::uint32_t index, std::uint8_t level, std::uint8_t mask,
                    std::uint8_t states) {
    return index << 24 | std::uint32_t{level} << 16 | std::uint32_t{mask} << 8 | states;
}
std::uint32_t DayBit(int dayIndex) {
    return 1u << ((dayIndex + 1) % 7);
}
std::uint32_t Key(std::uint32_t dayMask, int hour, int minute) {
    return dayMask << 16 | static_cast<std::uint32_t>(hour & 0xFF) << 8 |
           static_cast<std::uint32_t>(minute & 0xFF);
}

// The first pass: every event into the entry of its day and minute.
void AddEvents(CompiledSchedule& table, const std::vector<ScheduleEventRow>& rows) {
    std::uint8_t inHand = 0;
    for (const ScheduleEventRow& row : rows) {
        const std::uint32_t e = row.event;
        std::uint32_t key;
        std::uint8_t mask = 0, states = 0;
        const bool level = row.schedule == 0;
        if (level) {
            key = Key(DayBit((e >> 16) & 0xFF), e & 0x1F, (e >> 5) & 0x3F);
            inHand =
                static_cast<std::uint8_t>((inHand & kSetsLevel) | ((e >> 11) & 7) |
                                          ((e >> 14) & 1 ? 0x20 : 0) | ((e >> 15) & 1 ? 0 : 0x40));
        } else {
            key = Key(DayBit(e & 7), (e >> 3) & 0x1F, (e >> 8) & 0x3F);
            inHand = static_cast<std::uint8_t>((inHand & kSetsLevel) | kGroupsOnly);
            const std::uint8_t bit = static_cast<std::uint8_t>(1u << ((e >> 16) & 7));
            mask = bit;
            states = (e >> 14) & 1 ? bit : 0;
        }
        auto it = table.find(key);
        if (it == table.end()) {
            table[key] = Value(0, inHand, mask, states);
        } else if (level) {
            it->second = Value(0, inHand, MaskOf(it->second), StatesOf(it->second));
        } else {
            it->second = Value(0, LevelOf(it->second), MaskOf(it->second) | mask,
                               StatesOf(it->second) | states);
        }
    }
}

// Carries the level and group states through one entry. An entry sets the
// level when its level bits are not 7 (first time through) or when it was
// marked as setting it (bit 7, every time after), so a group-only entry stays
// one on the way around the week.
std::uint32_t Carry(std::uint32_t value, bool marked, std::uint8_t& level, std::uint8_t& states) {
    std::uint8_t entryLevel = LevelOf(value);
    const bool setsLevel =
        marked ? (entryLevel & kSetsLevel) != 0 : (entryLevel & 0x1F) != kGroupsOnly;
    if (setsLevel) {
        entryLevel |= kSetsLevel;
        level = entryLevel;
    } else {
        entryLevel = level & static_cast<std::uint8_t>(~kSetsLevel);
    }
    const std::uint8_t mask = MaskOf(value);
    states = static_cast<std::uint8_t>((mask & StatesOf(value)) | (states & ~mask));
    return Value(value >> 24, entryLevel, mask, states);
}

void CarryThroughTheWeek(CompiledSchedule& table) {
    std::uint8_t level = kStartLevel, states = 0xFF;
    for (auto& [key, value] : table) value = Carry(value, false, level, states);
    // Round the week again from its start until an entry comes out as it is.
    const std::size_t bound = table.size() * 2 + 1;
    std::size_t visited = 0;
    while (!table.empty() && visited < bound) {
        for (auto& [key, value] : table) {
            std::uint32_t again = Carry(value, true, level, states);
            ++visited;
            if (again == value) return;
            value = again;
        }
    }
}

void MergeEqualDays(CompiledSchedule& table) {
    std::vector<std::uint32_t> keys;
    for (const auto& [key, value] : table) keys.push_back(key);
    for (std::uint32_t key : keys) {
        auto it = table.find(key);
        if (it == table.end()) continue;
        const std::uint32_t value = it->second;
        const std::uint32_t time = key & 0xFFFF;
        std::uint32_t mask = key >> 16;
        for (std::uint32_t bit = (key >> 16) << 1; bit != 0 && bit <= 0x40; bit <<= 1) {
            auto other = table.find(bit << 16 | time);
            if (other != table.end() && other->second == value) {
                mask |= bit;
                table.erase(other);
            }
        }
        if (mask != key >> 16) {
            table.erase(key);
            table[mask << 16 | time] = value;
        }
    }
}

// Entries in time order: hour and minute first, then the day mask.
void NumberEntries(CompiledSchedule& table) {
    if (static_cast<int>(table.size()) > kMaxIndexedEntries) return;
    std::vector<std::uint32_t> keys;
    for (const auto& [key, value] : table) keys.push_back(key);
    std::sort(keys.begin(), keys.end(), [](std::uint32_t a, std::uint32_t b) {
        return (a & 0xFFFF) != (b & 0xFFFF) ? (a & 0xFFFF) < (b & 0xFFFF) : (a >> 16) < (b >> 16);
    });
    for (std::size_t i = 0; i < keys.size(); ++i) {
        std::uint32_t& value = table[keys[i]];
        value = (value & 0x00FFFFFF) | static_cast<std::uint32_t>(i) << 24;
    }
}

std::uint8_t Byte(std::uint32_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

std::uint16_t PeriodWord(const QDateTime& moment, bool bit0) {
    return static_cast<std::uint16_t>((bit0 ? 1 : 0) | (moment.date().month() & 0x0F) << 1 |
                                      (moment.date().day() & 0x1F) << 5 |
                                      (moment.time().minute() & 0x3F) << 10);
}

}  // namespace

CompiledSchedule CompileSchedule(const std::vector<ScheduleEventRow>& rows) {
    CompiledSchedule table;
    AddEvents(table, rows);
    CarryThroughTheWeek(table);
    MergeEqualDays(table);
    NumberEntries(table);
    return table;
}

protocol::Bytes ScheduleEntryPayload(std::uint32_t key, std::uint32_t value) {
    const std::uint8_t level = LevelOf(value);
    const std::uint16_t word = static_cast<std::uint16_t>(
        ((key >> 8) & 0x1F) | (key & 0x3F) << 5 | (level & 0x1F) << 11 | ((level >> 5) & 3) << 14);
    return {Byte(value >> 24), Byte((key >> 16) | (level & kSetsLevel ? 0x80 : 0)),
            Byte(word >> 8),   Byte(word),
            MaskOf(value),     StatesOf(value)};
}

protocol::Bytes ScheduleEndPayload(int count) {
    return ScheduleEntryPayload(0, static_cast<std::uint32_t>(count) << 24);
}

protocol::Bytes HolidayPayload(int index, const LockHoliday& h) {
    // A holiday running a daily schedule names the lock's day number of it.
    const int l = h.useSchedule ? (h.schedule + 1) % 7 : h.level;
    const std::uint16_t start = PeriodWord(h.start, true);
    const std::uint16_t end = PeriodWord(h.end, h.useSchedule);
    const std::uint16_t hours = static_cast<std::uint16_t>(
        (h.start.time().hour() & 0x1F) | (h.end.time().hour() & 0x1F) << 5 | (l & 0x1F) << 10 |
        ((l >> 5) & 1) << 14 | ((l >> 6) & 1 ? 0 : 1) << 15);
    return {Byte(static_cast<std::uint32_t>(index)),
            Byte(start >> 8),
            Byte(start),
            Byte(end >> 8),
            Byte(end),
            Byte(hours >> 8),
            Byte(hours),
            Byte(static_cast<std::uint32_t>(h.groupMask))};
}

protocol::Bytes HolidayEndPayload(int count) {
    return {Byte(static_cast<std::uint32_t>(count)), 0, 0, 0, 0, 0, 0, 0};
}

}  // namespace tandrel
