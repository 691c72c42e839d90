#pragma once

#include "desktop/exchange/lock_programmer.h"
#include "desktop/exchange/program_collection.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/desktop/data/facility_fixture.h"
#include "tests/desktop/exchange/memory_program_store.h"

namespace tandrel::testing {

// Keeps what a progress window would have shown.
class RecordingProgress : public Progress {
  public:
    void SetText(const QString& text) override { texts.push_back(text); }
    void SetRange(int maximum) override { range = maximum; }
    void SetPosition(int position) override { this->position = position; }
    QStringList texts;
    int range = 0, position = 0;
};

// A facility with revisions past their first values, a device programming
// file in memory, and short ways to add schedules and read lock columns.
class ProgrammingTest : public FacilityTest {
  protected:
    void SetUp() override {
        NewFacility();
        Sql(db(), "UPDATE FacilityProperties SET Revision = 5, UserGroupTableRevision = 7");
    }

    dao::Database& db() { return doc.Db(); }

    int Run(const std::vector<int>& locks) {
        LockProgrammer programmer(db(), store, prompter);
        return programmer.Run(locks, progress);
    }
    int Collect() {
        ProgramCollector collector(db(), store, prompter);
        return collector.Collect(progress);
    }

    qint64 LockValue(int lock, const QString& column) {
        return IntOf(db(), QStringLiteral("SELECT \"%1\" FROM Locks WHERE \"Lock Key\" = %2")
                               .arg(column)
                               .arg(lock));
    }
    void SetLock(int lock, const QString& assignments) {
        Sql(db(), QStringLiteral("UPDATE Locks SET %1 WHERE \"Lock Key\" = %2")
                      .arg(assignments)
                      .arg(lock));
    }
    qint64 EnrolmentValue(int lock, int user, const QString& column) {
        return IntOf(db(), QStringLiteral("SELECT \"%1\" FROM \"Users to Locks\" WHERE \"Lock "
                                          "Index\" = %2 AND \"User Index\" = %3")
                               .arg(column)
                               .arg(lock)
                               .arg(user));
    }

    // A schedule with the given level and group events; returns its key.
    int AddSchedule(const std::vector<ScheduleEventRow>& events, int revision = 3) {
        CTimeSchedulesRecordset schedules(db());
        schedules.AddNew();
        const int key = schedules.m_ScheduleKey;
        schedules.m_Name = QStringLiteral("Schedule %1").arg(key);
        schedules.m_RevisionCounter = static_cast<std::int16_t>(revision);
        schedules.Update();
        CScheduleEventsRecordset rows(db());
        for (const ScheduleEventRow& e : events) {
            rows.AddNew();
            rows.m_SchedLink = key;
            rows.m_Schedule = static_cast<std::uint8_t>(e.schedule);
            rows.m_Event = static_cast<std::int32_t>(e.event);
            rows.Update();
        }
        return key;
    }
    void AddHoliday(int schedule, const QDateTime& start, const QDateTime& end) {
        CHolidaysRecordset rows(db());
        rows.AddNew();
        rows.m_KeyLink = schedule;
        rows.m_Name = QStringLiteral("Holiday");
        rows.m_StartDateTime = start;
        rows.m_EndDateTime = end;
        rows.m_UseSchedule = false;
        rows.m_Schedule = 6;
        rows.m_Level = 1;
        rows.Update();
    }

    MemoryProgramStore store;
    RecordingProgress progress;
};

using protocol::Bytes;

inline std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value);
}

// A level event: level at hour:minute on a day (0 Monday).
inline ScheduleEventRow LevelAt(int day, int hour, int minute, int level) {
    return {0, static_cast<std::uint32_t>(hour | minute << 5 | level << 11 | day << 16)};
}
// A group event: group (0-7) on or off at hour:minute on a day.
inline ScheduleEventRow GroupAt(int day, int hour, int minute, int group, bool on) {
    return {1, static_cast<std::uint32_t>(day | hour << 3 | minute << 8 | (on ? 1 << 14 : 0) |
                                          group << 16)};
}

}  // namespace tandrel::testing
