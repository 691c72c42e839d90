#include "desktop/exchange/lock_programmer.h"
#include "desktop/exchange/programming_texts.h"
#include "platform/dao/error.h"
#include "protocol/lock_command_codes.h"

namespace tandrel {

namespace texts = programming_texts;

namespace {

std::vector<LockHoliday> ReadHolidays(CHolidayListQuerySet& query) {
    std::vector<LockHoliday> rows;
    for (query.MoveFirst(); !query.IsEOF(); query.MoveNext()) {
        LockHoliday row;
        row.start = query.m_StartDateTime;
        row.end = query.m_EndDateTime;
        row.useSchedule = query.m_UseSchedule;
        row.schedule = query.m_Schedule;
        row.level = query.m_Level;
        row.groupMask = query.m_GroupMask;
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

int LockProgrammer::Compile(int scheduleKey, CompiledSchedule& table) {
    table.clear();
    if (scheduleKey == 0) return 0;
    try {
        if (!schedules_.FindByKey(scheduleKey)) dao::Throw(dao::kErrNoCurrentRecord);
        events_.SetParam(QStringLiteral("TS KEY"), QString::number(scheduleKey));
        events_.Requery();
        std::vector<ScheduleEventRow> rows;
        for (events_.MoveFirst(); !events_.IsEOF(); events_.MoveNext())
            rows.push_back({events_.m_Schedule, static_cast<std::uint32_t>(events_.m_Event)});
        table = CompileSchedule(rows);
    } catch (const dao::Error& e) {
        prompter_.Message(e.Description(), PromptIcon::Exclamation);
        return -1;
    }
    return static_cast<int>(table.size());
}

int LockProgrammer::DownloadSchedule(int scheduleKey, int scheduleCapacity, int holidayCapacity,
                                     Progress* progress) {
    if (progress) progress->SetText(texts::kCompilingSchedule);
    CompiledSchedule table;
    const int entries = Compile(scheduleKey, table);
    if (entries < 0) {
        prompter_.Message(texts::kCompileFailed, PromptIcon::Stop);
        return kErrShown;
    }
    if (entries > scheduleCapacity) {
        prompter_.Message(texts::kScheduleTooLarge, PromptIcon::Stop);
        return kErrShown;
    }
    // The holiday query lives for this download only.
    CHolidayListQuerySet holidayQuery(db_);
    holidayQuery.SetParam(QStringLiteral("TS LINK"), QString::number(scheduleKey));
    holidayQuery.Requery();
    const std::vector<LockHoliday> holidays = ReadHolidays(holidayQuery);
    const int holidayCount = static_cast<int>(holidays.size());
    if (holidayCount > holidayCapacity) {
        prompter_.Message(texts::kHolidaysTooMany, PromptIcon::Stop);
        return kErrShown;
    }

    int position = 0;
    if (progress) {
        progress->SetText(texts::kDownloadingSchedule);
        progress->SetRange(holidayCount + entries + 2);
    }
    auto queue = [&](int code, const protocol::Bytes& payload) {
        const int error = Queue(code, payload);
        if (error == 0 && progress) progress->SetPosition(++position);
        return error;
    };
    for (const auto& [key, value] : table) {
        if (int error =
                queue(protocol::LOCK_COMMAND_CODE_WRITE_SCHED, ScheduleEntryPayload(key, value)))
            return error;
    }
    if (entries < scheduleCapacity) {
        if (int error = queue(protocol::LOCK_COMMAND_CODE_WRITE_SCHED, ScheduleEndPayload(entries)))
            return error;
    }
    for (int i = 0; i < holidayCount; ++i) {
        if (int error =
                queue(protocol::LOCK_COMMAND_CODE_WRITE_HOLIDAY, HolidayPayload(i, holidays[i])))
            return error;
    }
    if (holidayCount < holidayCapacity)
        return queue(protocol::LOCK_COMMAND_CODE_WRITE_HOLIDAY, HolidayEndPayload(holidayCount));
    return 0;
}

}  // namespace tandrel
