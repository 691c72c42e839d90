#include <gtest/gtest.h>

#include "desktop/admin/schedule_list.h"
#include "desktop/admin/time_schedule_sheet.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

using Node = ScheduleNode;

class ScheduleSheetTest : public FacilityTest {
  protected:
    void SetUp() override { NewFacility(); }

    // A saved schedule with one master event, one group event and one holiday.
    int Schedule(const QString& name) {
        auto sheet = CTimeScheduleSheet::NewSchedule(doc, sheetPrompter);
        sheet->SetName(name);
        EXPECT_EQ(sheet->Master().AddEvent(Node::Day(0), {"8a", 2, true, false}),
                  EntryOutcome::Accepted);
        EXPECT_EQ(sheet->Groups().AddEvent(Node::Day(0, 1), {"8:00 AM", true}),
                  EntryOutcome::Accepted);
        EXPECT_EQ(sheet->Holidays().Add(DailyHoliday("Xmas")), EntryOutcome::Accepted);
        EXPECT_TRUE(sheet->Ok());
        return sheet->ScheduleKey();
    }
    static HolidayEntry DailyHoliday(const QString& name, const QString& date = "12/25") {
        HolidayEntry e;
        e.name = name;
        e.startDate = date, e.startTime = "12:00 AM", e.endDate = date, e.endTime = "11:00 PM";
        e.mode = HolidayMode::DailySchedule;
        e.day = 6;
        return e;
    }
    std::unique_ptr<CTimeScheduleSheet> Open(int key) {
        auto sheet = CTimeScheduleSheet::Open(doc, sheetPrompter, key);
        EXPECT_TRUE(sheet);
        return sheet;
    }
    qint64 Count(const QString& table, const QString& where) {
        return IntOf(doc.Db(), "SELECT count(*) FROM \"" + table + "\" WHERE " + where);
    }
    qint64 Revision(int key) {
        return IntOf(doc.Db(), QStringLiteral("SELECT RevisionCounter FROM \"Time Schedule\" WHERE "
                                              "ScheduleKey = %1")
                                   .arg(key));
    }
    qint64 LockValue(int lock, const QString& column) {
        return IntOf(doc.Db(), QStringLiteral("SELECT \"%1\" FROM Locks WHERE \"Lock Key\" = %2")
                                   .arg(column)
                                   .arg(lock));
    }
    void SetLock(int lock, const QString& assignments) {
        Sql(doc.Db(), QStringLiteral("UPDATE Locks SET %1 WHERE \"Lock Key\" = %2")
                          .arg(assignments)
                          .arg(lock));
    }
    int AddLocation(const QString& name, int parent) {
        CFacilityDirectoryRecordset paths(doc.Db());
        paths.AddNew();
        const int key = paths.m_DirectoryKey;
        paths.m_NodeName = name;
        paths.m_RootIndex = parent;
        paths.Update();
        return key;
    }

    IconPrompter sheetPrompter;
};

TEST_F(ScheduleSheetTest, NewScheduleIsSavedWithItsRows) {
    auto sheet = CTimeScheduleSheet::NewSchedule(doc, sheetPrompter);
    EXPECT_EQ(sheet->Title(), "New Time Schedule Wizard");
    EXPECT_EQ(sheet->Name(), "New Time Schedule");
    EXPECT_TRUE(sheet->IsNew());
    EXPECT_EQ(sheet->Groups().Label(0), "1 - < Untitled >");
    Sql(doc.Db(), "DELETE FROM \"User Groups\" WHERE \"Group Key\" = 7");
    EXPECT_EQ(CTimeScheduleSheet::NewSchedule(doc, sheetPrompter)->Groups().Label(7),
              "8 - <Unassigned>");
    ASSERT_TRUE(sheet->Ok());
    const int empty = sheet->ScheduleKey();
    EXPECT_EQ(Revision(empty), 1);  // nothing but the name

    const int key = Schedule("Day Shift");
    EXPECT_EQ(Revision(key), 2);
    EXPECT_EQ(IntOf(doc.Db(), QStringLiteral("SELECT Event FROM \"Time Schedule Events\" WHERE "
                                             "SchedLink = %1 AND Schedule = 0")
                                  .arg(key)),
              8 | 2 << 11 | 1 << 14);
    EXPECT_EQ(IntOf(doc.Db(), QStringLiteral("SELECT Event FROM \"Time Schedule Events\" WHERE "
                                             "SchedLink = %1 AND Schedule = 1")
                                  .arg(key)),
              8 << 3 | 1 << 14 | 1 << 16);
    // The daily schedule is stored as the field says: UseSchedule with the day.
    EXPECT_EQ(TextOf(doc.Db(), QStringLiteral("SELECT Name || '|' || UseSchedule || '|' || "
                                              "Schedule FROM Holidays WHERE KeyLink = %1")
                                   .arg(key)),
              "Xmas|1|6");

    auto reopened = Open(key);
    EXPECT_EQ(reopened->Title(), "Time Schedule Properties - Day Shift");
    EXPECT_EQ(reopened->RevisionCounter(), 2);
    EXPECT_EQ(reopened->Master().Events().size(), 1u);
    EXPECT_EQ(reopened->Groups().EventsOf(1, 0).size(), 1u);
    EXPECT_EQ(HolidayRowOf(reopened->Holidays().Holidays().at(0)).access, "Use Sunday's");
    EXPECT_FALSE(reopened->Changed());
}

TEST_F(ScheduleSheetTest, InfoPageNameRules) {
    const int key = Schedule("Day Shift");
    auto other = CTimeScheduleSheet::NewSchedule(doc, sheetPrompter);
    sheetPrompter.Clear();
    other->SetName("  ");
    EXPECT_FALSE(other->CheckInfoPage());
    other->SetName("DAY SHIFT");  // the NameKey index ignores case
    EXPECT_FALSE(other->CheckInfoPage());
    other->SetName("Night\nShift");
    EXPECT_FALSE(other->CheckInfoPage());
    other->SetName(QString(33, 'N'));
    EXPECT_FALSE(other->CheckInfoPage());
    EXPECT_EQ(sheetPrompter.Shown(),
              QStringList({"You Must Enter a Name for the Time Schedule",
                           "Time Schedule Name Already In Use",
                           "Time schedule name can not contain tabs, line breaks or other "
                           "control characters",
                           "Time schedule name can not be longer than 32 characters"}));
    auto own = Open(key);
    own->SetName("DAY SHIFT");
    EXPECT_TRUE(own->CheckInfoPage());
    ASSERT_TRUE(own->Save());
    EXPECT_EQ(TextOf(doc.Db(), "SELECT Name FROM \"Time Schedule\""), "DAY SHIFT");
    EXPECT_EQ(Revision(key), 2);  // a new name is no change for the locks
}

TEST_F(ScheduleSheetTest, SaveBringsTheRowsInLineAndRaisesTheRevisionOnlyForChanges) {
    const int key = Schedule("Day Shift");
    const qint64 firstRow = IntOf(doc.Db(), "SELECT min(rowid) FROM \"Time Schedule Events\"");
    ASSERT_TRUE(Open(key)->Save());
    EXPECT_EQ(Revision(key), 2);

    auto sheet = Open(key);
    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(sheet->Master().Delete(Node::Event(0, 8, 0)));
    ASSERT_EQ(sheet->Master().AddEvent(Node::Day(3), {"5p", 4, false, false}),
              EntryOutcome::Accepted);
    ASSERT_EQ(sheet->Master().AddEvent(Node::Day(4), {"6p", 4, false, false}),
              EntryOutcome::Accepted);
    ASSERT_EQ(sheet->Holidays().Add(DailyHoliday("Fourth", "07/04")), EntryOutcome::Accepted);
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(sheet->RevisionCounter(), 3);
    EXPECT_EQ(Revision(key), 3);
    EXPECT_EQ(Count("Time Schedule Events", QStringLiteral("SchedLink = %1").arg(key)), 3);
    EXPECT_EQ(Count("Holidays", QStringLiteral("KeyLink = %1").arg(key)), 2);
    // The row of the deleted event took a new value rather than going.
    EXPECT_EQ(IntOf(doc.Db(), "SELECT min(rowid) FROM \"Time Schedule Events\""), firstRow);

    // Rows the editor cannot show (a day 9) or that repeat an event collapse
    // into the working copy and are dropped by the next save.
    Sql(doc.Db(), QStringLiteral("INSERT INTO \"Time Schedule Events\" (SchedLink, Schedule, "
                                 "Event) VALUES (%1, 0, %2), (%1, 0, %3)")
                      .arg(key)
                      .arg(9 << 16)
                      .arg(17 | 3 << 16 | 4 << 11));
    sheet = Open(key);
    EXPECT_EQ(sheet->Master().Events().size(), 2u);
    sheetPrompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    ASSERT_TRUE(sheet->Groups().Delete(Node::Root()));
    ASSERT_TRUE(sheet->Holidays().DeleteAll());
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(Revision(key), 4);
    EXPECT_EQ(Count("Time Schedule Events", "1"), 2);
    EXPECT_EQ(Count("Time Schedule Events", "Schedule = 1"), 0);
    EXPECT_EQ(Count("Holidays", "1"), 0);
}

TEST_F(ScheduleSheetTest, ChangesMarkTheEnrolledLocks) {
    const int key = Schedule("Day Shift");
    const int current = AddLock(doc.Db(), 1, 0, 1);
    const int pendingCurrent = AddLock(doc.Db(), 1, 2);
    const int fresh = AddLock(doc.Db(), 2, 1);
    const int removed = AddLock(doc.Db(), 4, 0);
    const int elsewhere = AddLock(doc.Db(), 1, 0);
    for (int lock : {current, pendingCurrent, fresh, removed})
        SetLock(lock, QStringLiteral("\"TS Link\" = %1, \"Downloaded TS Rev\" = 2").arg(key));

    ASSERT_TRUE(Open(key)->Save());  // nothing changed: no lock is touched
    EXPECT_EQ(MarksOf(doc.Db(), current), (LockMarks{0, 1, 1}));

    auto sheet = Open(key);
    ASSERT_EQ(sheet->Master().AddEvent(Node::Day(6), {"11p", 4, false, false}),
              EntryOutcome::Accepted);
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(MarksOf(doc.Db(), current), (LockMarks{2, 0, 3}));
    // A current lock whose counter is already 2 still needs state 3, or the
    // programming run would not send it the schedule.
    EXPECT_EQ(MarksOf(doc.Db(), pendingCurrent), (LockMarks{2, 0, 3}));
    EXPECT_EQ(MarksOf(doc.Db(), fresh), (LockMarks{2, 0, 2}));
    EXPECT_EQ(MarksOf(doc.Db(), removed), (LockMarks{0, 0, 4}));
    EXPECT_EQ(MarksOf(doc.Db(), elsewhere), (LockMarks{0, 0, 1}));
    EXPECT_EQ(LockValue(current, "Downloaded TS Rev"), 2);  // the lock still holds revision 2

    EXPECT_EQ(LockScheduleStatusOf(doc.Db(), current).schedule, "Day Shift");
    EXPECT_EQ(LockScheduleStatusOf(doc.Db(), current).status, "Pending Update");
    SetLock(current, "\"Downloaded TS Rev\" = 3");
    EXPECT_EQ(LockScheduleStatusOf(doc.Db(), current).status, "Current");
    SetLock(current, "\"Downloaded TS Rev\" = 3 + 32768");  // queued, not yet confirmed
    EXPECT_EQ(LockScheduleStatusOf(doc.Db(), current).status, "Pending Update");
    EXPECT_EQ(LockScheduleStatusOf(doc.Db(), elsewhere).schedule, "< None >");
    EXPECT_EQ(LockScheduleStatusOf(doc.Db(), elsewhere).status, "< None >");
}

TEST_F(ScheduleSheetTest, EnrolmentPageActsOnRootFolderAndLock) {
    const int root = 1;
    const int building = AddLocation("Building", root);
    const int floor = AddLocation("Floor", building);
    const int lobby = AddLock(doc.Db(), 1, 0);
    const int office = AddLock(doc.Db(), 1, 0);
    const int store = AddLock(doc.Db(), 1, 0);
    SetLock(office, QStringLiteral("\"Path Index\" = %1").arg(floor));
    SetLock(store, QStringLiteral("\"Path Index\" = %1").arg(building));
    const int other = Schedule("Night");
    SetLock(store, QStringLiteral("\"TS Link\" = %1, \"Downloaded TS Rev\" = 2").arg(other));
    const int key = Schedule("Day");

    auto sheet = Open(key);
    CScheduleEnrollPage& page = sheet->Enrollment();
    using Kind = EnrolmentNode::Kind;
    EXPECT_EQ(page.LocksAt({Kind::Location, building}), (std::vector<int>{office, store}));
    page.Enroll({Kind::Location, building});
    EXPECT_TRUE(page.IsEnrolled(office) && page.IsEnrolled(store) && !page.IsEnrolled(lobby));
    page.Remove({Kind::Lock, office});
    page.Enroll({Kind::Lock, lobby});
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(LockValue(lobby, "TS Link"), key);
    EXPECT_EQ(LockValue(store, "TS Link"), key);  // moved from the other schedule
    EXPECT_EQ(LockValue(store, "Downloaded TS Rev"), 0);
    EXPECT_EQ(LockValue(office, "TS Link"), 0);
    EXPECT_EQ(MarksOf(doc.Db(), store), (LockMarks{2, 0, 3}));
    EXPECT_EQ(MarksOf(doc.Db(), office), (LockMarks{0, 0, 1}));  // never enrolled: untouched
    EXPECT_EQ(LockScheduleStatusOf(doc.Db(), store).status, "Pending Update");

    // Removing at the root takes this schedule's locks only.
    SetLock(office, QStringLiteral("\"TS Link\" = %1").arg(other));
    auto again = Open(key);
    again->Enrollment().Remove({Kind::Root, 0});
    ASSERT_TRUE(again->Save());
    EXPECT_EQ(Count("Locks", QStringLiteral("\"TS Link\" = %1").arg(key)), 0);
    EXPECT_EQ(LockValue(office, "TS Link"), other);
}

TEST_F(ScheduleSheetTest, CopiedScheduleStartsWithTheSourcesEventsAndHolidays) {
    const int source = Schedule("Day Shift");
    auto copy = CTimeScheduleSheet::CopySchedule(doc, sheetPrompter, source);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Name(), "New Time Schedule");
    EXPECT_TRUE(copy->Master().Changed() && copy->Groups().Changed() && copy->Holidays().Changed());
    copy->SetName("Day Shift");
    EXPECT_FALSE(copy->Ok());
    copy->SetName("Late Shift");
    ASSERT_TRUE(copy->Ok());
    const int key = copy->ScheduleKey();
    EXPECT_NE(key, source);
    EXPECT_EQ(Count("Time Schedule Events", QStringLiteral("SchedLink = %1").arg(key)), 2);
    EXPECT_EQ(Count("Time Schedule Events", QStringLiteral("SchedLink = %1").arg(source)), 2);
    EXPECT_EQ(Count("Holidays", QStringLiteral("KeyLink = %1").arg(key)), 1);

    const auto rows = ScheduleListRows(doc.Db());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "Day Shift");
    EXPECT_EQ(rows[1].key, key);
    EXPECT_EQ(ScheduleListHeaders(), QStringList{"Time Schedule Name"});

    sheetPrompter.Clear();
    EXPECT_FALSE(CTimeScheduleSheet::CopySchedule(doc, sheetPrompter, 99));
    EXPECT_FALSE(CTimeScheduleSheet::Open(doc, sheetPrompter, 99));
    EXPECT_EQ(sheetPrompter.Shown(),
              QStringList(2, "Unexpected database error.\nCan not continue."));
}

TEST_F(ScheduleSheetTest, AFailedSaveLeavesTheDatabaseAsItWas) {
    const int key = Schedule("Day Shift");
    const int lock = AddLock(doc.Db(), 1, 0);
    SetLock(lock, QStringLiteral("\"TS Link\" = %1").arg(key));
    auto sheet = Open(key);
    ASSERT_EQ(sheet->Master().AddEvent(Node::Day(6), {"11p", 4, false, false}),
              EntryOutcome::Accepted);
    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(sheet->Holidays().DeleteAll());
    sheet->SetName("Renamed");
    const QString before = Snapshot(doc.Db());
    FailUpdatesOf(doc.Db(), "Locks", "1");
    sheetPrompter.Clear();
    EXPECT_FALSE(sheet->Save());
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{"Error Updating Database,\nCan Not Continue."});
    EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Stop);
    EXPECT_EQ(Snapshot(doc.Db()), before);
    EXPECT_EQ(sheet->RevisionCounter(), 2);
    EXPECT_TRUE(sheet->Changed());  // the sheet keeps its edits
}

TEST_F(ScheduleSheetTest, SaveFailureMessages) {
    const int day = Schedule("Day Shift");
    const int night = Schedule("Night");
    const int lock = AddLock(doc.Db(), 1, 0);
    auto gone = Open(day);
    auto enrolling = Open(night);
    enrolling->Enrollment().Enroll({EnrolmentNode::Kind::Lock, lock});
    // The schedule, and the lock, deleted behind the sheets.
    Sql(doc.Db(), QStringLiteral("DELETE FROM \"Time Schedule\" WHERE ScheduleKey = %1").arg(day));
    Sql(doc.Db(), "DELETE FROM Locks");
    sheetPrompter.Clear();
    EXPECT_FALSE(gone->Save());
    EXPECT_FALSE(enrolling->Save());
    // A name taken meanwhile: the unique index refuses it.
    auto late = CTimeScheduleSheet::NewSchedule(doc, sheetPrompter);
    late->SetName("Night");
    const QString before = Snapshot(doc.Db());
    EXPECT_FALSE(late->Save());
    EXPECT_TRUE(late->IsNew());
    EXPECT_EQ(Snapshot(doc.Db()), before);
    EXPECT_EQ(sheetPrompter.Shown(),
              QStringList({"Error Retrieving Time Schedule Record", "Error Retrieving Lock Data.",
                           "Unexpected database error.\nCan not continue."}));
}

TEST_F(ScheduleSheetTest, ScheduleKeysStayBelow65535) {
    Sql(doc.Db(),
        "INSERT INTO \"Time Schedule\" (ScheduleKey, Name, RevisionCounter) VALUES (65534, 'Last', "
        "1)");
    auto sheet = CTimeScheduleSheet::NewSchedule(doc, sheetPrompter);
    const QString before = Snapshot(doc.Db());
    EXPECT_FALSE(sheet->Ok());
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{"Out of Database Record Keys --\nRepair / "
                                                 "Compact the Facility and Try Again"});
    EXPECT_EQ(Snapshot(doc.Db()), before);
    EXPECT_TRUE(sheet->IsNew());
}

TEST_F(ScheduleSheetTest, DeletingAScheduleUnlinksItsLocks) {
    const int key = Schedule("Day Shift");
    const int kept = Schedule("Night");
    const int current = AddLock(doc.Db(), 1, 0, 1);
    const int fresh = AddLock(doc.Db(), 2, 1);
    for (int lock : {current, fresh})
        SetLock(lock, QStringLiteral("\"TS Link\" = %1, \"Downloaded TS Rev\" = 2").arg(key));
    const QString question = QStringLiteral("Permanently delete 'Day Shift' time schedule?");

    sheetPrompter.Clear();
    sheetPrompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(DeleteTimeSchedule(doc, sheetPrompter, key));
    EXPECT_EQ(sheetPrompter.defaults.back(), PromptAnswer::No);
    EXPECT_EQ(Count("Time Schedule", "1"), 2);

    sheetPrompter.Answer(PromptAnswer::Yes);
    const QString before = Snapshot(doc.Db());
    FailUpdatesOf(doc.Db(), "Locks", QStringLiteral("NEW.\"Lock Key\" = %1").arg(fresh));
    EXPECT_FALSE(DeleteTimeSchedule(doc, sheetPrompter, key));
    EXPECT_EQ(Snapshot(doc.Db()), before);
    Sql(doc.Db(), "DROP TRIGGER qx_fail");

    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(DeleteTimeSchedule(doc, sheetPrompter, key));
    EXPECT_EQ(
        sheetPrompter.Shown(),
        QStringList({question, question,
                     "Unexpected error in database transaction, can not continue.", question}));
    EXPECT_EQ(Count("Time Schedule", "1"), 1);
    EXPECT_EQ(Count("Time Schedule Events", QStringLiteral("SchedLink = %1").arg(key)), 0);
    EXPECT_EQ(Count("Holidays", QStringLiteral("KeyLink = %1").arg(key)), 0);
    EXPECT_EQ(Count("Time Schedule Events", QStringLiteral("SchedLink = %1").arg(kept)), 2);
    EXPECT_EQ(Count("Locks", "\"TS Link\" <> 0 OR \"Downloaded TS Rev\" <> 0"), 0);
    EXPECT_EQ(MarksOf(doc.Db(), current), (LockMarks{2, 0, 3}));
    EXPECT_EQ(MarksOf(doc.Db(), fresh), (LockMarks{1, 0, 2}));
}

}  // namespace
}  // namespace tandrel::testing
