#include <gtest/gtest.h>

#include <QLocale>

#include "desktop/admin/date_entry.h"
#include "desktop/admin/group_list.h"
#include "desktop/admin/user_group_sheet.h"
#include "protocol/packed_date.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

const QDate kToday(2026, 3, 20);
const QString kDownload = QStringLiteral(
    "Warning:  The changes you have made\nwill require download to each lock\nin the facility "
    "to take affect.\n\nContinue?");
const QString kAdjusted = QStringLiteral(
    "Warning!: Next PIN effective date was\nadjusted to fit specified AutoCode interval.");
const QString kInvalidInterval = QStringLiteral(
    "Invalid AutoCode Interval\nValid intervals are 1 to 30 Days\nor 1 to 12 months.");

QString Short(int y, int m, int d) {
    return ShortDateText(QDate(y, m, d));
}

class UserGroupTest : public FacilityTest {
  protected:
    void SetUp() override { NewFacility(); }

    std::unique_ptr<CUserGroupSheet> Sheet(int key) {
        auto sheet = CUserGroupSheet::Open(doc, sheetPrompter, key, kToday);
        EXPECT_TRUE(sheet);
        return sheet;
    }
    void SetGroup(int key, bool autocode, int interval, int unit, int pinDate) {
        Sql(doc.Db(), QStringLiteral("UPDATE \"User Groups\" SET \"Autocode Enabled\" = %1, "
                                     "\"Autocode Interval\" = %2, \"Autocode Interval Type\" = "
                                     "%3, PINDate = %4 WHERE \"Group Key\" = %5")
                          .arg(autocode)
                          .arg(interval)
                          .arg(unit)
                          .arg(static_cast<std::int16_t>(pinDate))
                          .arg(key));
    }
    qint64 GroupValue(int key, const QString& column) {
        return IntOf(doc.Db(), QStringLiteral("SELECT \"%1\" FROM \"User Groups\" WHERE \"Group "
                                              "Key\" = %2")
                                   .arg(column)
                                   .arg(key));
    }
    qint64 GroupTableRevision() {
        return IntOf(doc.Db(), "SELECT UserGroupTableRevision FROM FacilityProperties");
    }

    IconPrompter sheetPrompter;
};

TEST_F(UserGroupTest, ListRowsShowNumbersAutocodeAndDates) {
    SetGroup(1, true, 7, 0, protocol::PackDate(2026, 3, 22));
    SetGroup(2, true, 1, 1, 0);                                // no date at all
    SetGroup(3, true, 1, 1, protocol::PackDate(2026, 2, 31));  // read as 1 March
    SetGroup(4, false, 1, 1, 0);
    Sql(doc.Db(),
        "UPDATE \"User Groups\" SET \"Group Name\" = 'Staff', Reference = 'North' "
        "WHERE \"Group Key\" = 1");
    EXPECT_EQ(GroupListHeaders(),
              QStringList({" Group", "User Group Name", "AutoCode", "Next PIN Date", "Reference"}));
    const auto rows = GroupListRows(*doc.m_pGroups, kToday);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(GroupListTexts(rows[0]), QStringList({"1", "< Untitled >", "No", "", ""}));
    EXPECT_EQ(GroupListTexts(rows[1]),
              QStringList({"2", "Staff", "Yes", Short(2026, 3, 22), "North"}));
    EXPECT_EQ(rows[2].nextPinDate, "< ERROR >");
    EXPECT_EQ(rows[3].nextPinDate, Short(2026, 3, 1));
    EXPECT_EQ(rows[4].nextPinDate, "");
    EXPECT_EQ(rows[7].group, "8");
    EXPECT_EQ(rows[7].key, 7);
}

TEST_F(UserGroupTest, TickingAutocodeStartsFromTheFirstOfTheMonth) {
    auto sheet = Sheet(0);
    EXPECT_EQ(sheet->GroupNumberText(), "1");
    EXPECT_FALSE(sheet->AutocodeControlsEnabled());
    sheet->SetUnit(IntervalUnit::Days);
    sheet->SetInterval(7);
    sheet->SetAutocode(true);
    EXPECT_TRUE(sheet->AutocodeControlsEnabled());
    // 1, 8, 15, 22 March: the first after the 20th.
    EXPECT_EQ(sheet->Page().nextPinDate, Short(2026, 3, 22));
    sheet->SetAutocode(false);
    EXPECT_EQ(sheet->Page().nextPinDate, "");
    sheet->SetUnit(IntervalUnit::Months);
    sheet->SetInterval(1);
    sheet->SetAutocode(true);
    EXPECT_EQ(sheet->Page().nextPinDate, Short(2026, 4, 1));
    EXPECT_TRUE(sheetPrompter.Shown().isEmpty());
}

TEST_F(UserGroupTest, UnitChangeSetsTheRangeAndChecksTheDateAgain) {
    auto sheet = Sheet(0);
    sheet->SetUnit(IntervalUnit::Days);
    EXPECT_EQ(sheet->IntervalMaximum(), 30);
    sheet->SetInterval(20);
    sheet->SetUnit(IntervalUnit::Months);
    EXPECT_EQ(sheet->IntervalMaximum(), 12);
    EXPECT_EQ(sheet->Page().interval, 1);  // 20 months is out of range
    sheet->SetInterval(12);
    sheet->SetUnit(IntervalUnit::Days);
    EXPECT_EQ(sheet->Page().interval, 12);
    EXPECT_TRUE(sheetPrompter.Shown().isEmpty());  // AutoCode off: no date to check

    // Ticked with 12 months, the date is a year away; 12 days cannot reach it.
    sheet->SetUnit(IntervalUnit::Months);
    sheet->SetAutocode(true);
    sheet->SetNextPinDateText(Short(2026, 12, 1));
    sheet->SetUnit(IntervalUnit::Days);
    EXPECT_EQ(sheet->Page().nextPinDate, Short(2026, 4, 1));
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{kAdjusted});
}

TEST_F(UserGroupTest, EnteredDateMustLieWithinOneInterval) {
    auto sheet = Sheet(0);
    sheet->SetUnit(IntervalUnit::Days);
    sheet->SetInterval(7);
    sheet->SetAutocode(true);
    struct Case {
        QString typed;
        QString kept;
        bool warned;
    };
    const Case cases[] = {
        {Short(2026, 3, 20), Short(2026, 3, 27), true},   // today
        {Short(2026, 3, 1), Short(2026, 3, 27), true},    // earlier
        {Short(2026, 3, 28), Short(2026, 3, 27), true},   // past one interval
        {Short(2026, 3, 21), Short(2026, 3, 21), false},  // tomorrow
        {Short(2026, 3, 27), Short(2026, 3, 27), false},  // exactly one interval
        {"2026-03-25", "2026-03-25", false},              // ISO is read too
    };
    for (const Case& c : cases) {
        sheetPrompter.Clear();
        sheet->SetNextPinDateText(c.typed);
        GroupField field = GroupField::Name;
        EXPECT_TRUE(sheet->CheckNextPinDate(&field)) << c.typed;
        EXPECT_EQ(sheet->Page().nextPinDate, c.kept);
        EXPECT_EQ(sheetPrompter.Shown(), c.warned ? QStringList{kAdjusted} : QStringList{});
    }
    sheetPrompter.Clear();
    sheet->SetNextPinDateText("soon");
    GroupField field = GroupField::Name;
    EXPECT_FALSE(sheet->CheckNextPinDate(&field));
    EXPECT_EQ(field, GroupField::NextPinDate);
    EXPECT_EQ(sheet->Page().nextPinDate, "soon");
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{"Unrecognized date format."});
    EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Exclamation);
}

TEST_F(UserGroupTest, LeavingThePageChecksNameIntervalAndDate) {
    auto sheet = Sheet(0);
    struct Case {
        IntervalUnit unit;
        int interval;
        bool accepted;
    };
    const Case cases[] = {{IntervalUnit::Days, 0, false},   {IntervalUnit::Days, 1, true},
                          {IntervalUnit::Days, 30, true},   {IntervalUnit::Days, 31, false},
                          {IntervalUnit::Months, 0, false}, {IntervalUnit::Months, 12, true},
                          {IntervalUnit::Months, 13, false}};
    for (const Case& c : cases) {
        sheetPrompter.Clear();
        sheet->SetUnit(c.unit);
        sheet->SetInterval(c.interval);
        GroupField field = GroupField::Name;
        EXPECT_EQ(sheet->CheckPage(&field), c.accepted) << c.interval;
        if (!c.accepted) {
            EXPECT_EQ(field, GroupField::Interval);
            EXPECT_EQ(sheetPrompter.Shown(), QStringList{kInvalidInterval});
        }
    }
    sheet->SetInterval(0);
    sheet->SetName("  ");
    GroupField field = GroupField::Interval;
    sheetPrompter.Clear();
    EXPECT_FALSE(sheet->CheckPage(&field));
    EXPECT_EQ(field, GroupField::Name);
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{"You Must Enter a User Group Name"});

    sheet->SetName("Staff");
    sheet->SetInterval(3);
    sheet->SetNextPinDateText("31/31/31");
    sheetPrompter.Clear();
    EXPECT_FALSE(sheet->CheckPage(&field));
    EXPECT_EQ(field, GroupField::NextPinDate);
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{"Invallid date format."});
    EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Exclamation);
    EXPECT_FALSE(sheet->Ok());  // OK runs the same checks and writes nothing
    EXPECT_EQ(GroupValue(0, "Autocode Interval"), 1);
}

TEST_F(UserGroupTest, NamesStayOnOneLineAndTextsFitTheirFields) {
    auto sheet = Sheet(2);
    GroupField field = GroupField::Interval;
    sheet->SetName("Night\r\nShift");
    EXPECT_FALSE(sheet->CheckPage(&field));
    EXPECT_EQ(field, GroupField::Name);
    sheet->SetName(QString(33, 'N'));
    EXPECT_FALSE(sheet->CheckPage(&field));
    sheet->SetName("Night Shift");
    sheet->SetReference(QString(33, 'r'));
    EXPECT_FALSE(sheet->CheckPage(&field));
    EXPECT_EQ(field, GroupField::Reference);
    EXPECT_EQ(sheetPrompter.Shown(),
              QStringList({"User group name can not contain tabs, line breaks or other control "
                           "characters",
                           "User group name can not be longer than 32 characters",
                           "Reference can not be longer than 32 characters"}));
    sheet->SetReference("Ward\t3");
    EXPECT_TRUE(sheet->Ok());
    EXPECT_EQ(GroupKeyOfNumber(1), 0);
    EXPECT_EQ(GroupKeyOfNumber(8), 7);
    EXPECT_EQ(GroupKeyOfNumber(0), std::nullopt);
    EXPECT_EQ(GroupKeyOfNumber(9), std::nullopt);
}

TEST_F(UserGroupTest, RenamingAloneAsksNothingAndRefreshesNames) {
    const int lock = AddLock(doc.Db(), 1, 0);
    auto sheet = Sheet(2);
    int notified = 0;
    sheet->SetGroupNamesChanged([&] { ++notified; });
    sheet->SetName("Cleaners");
    sheet->SetReference("Night shift");
    sheet->SetInterval(5);  // AutoCode is off: nothing a lock holds
    ASSERT_TRUE(sheet->Ok());
    EXPECT_TRUE(sheetPrompter.Shown().isEmpty());
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(
        TextOf(doc.Db(), "SELECT \"Group Name\" FROM \"User Groups\" WHERE \"Group Key\" = 2"),
        "Cleaners");
    EXPECT_EQ(GroupValue(2, "Autocode Interval"), 5);
    EXPECT_EQ(GroupTableRevision(), 1);
    EXPECT_EQ(MarksOf(doc.Db(), lock), (LockMarks{0, 0, 1}));
    // The same name again: saved without a notification.
    auto again = Sheet(2);
    again->SetGroupNamesChanged([&] { ++notified; });
    ASSERT_TRUE(again->Ok());
    EXPECT_EQ(notified, 1);
}

TEST_F(UserGroupTest, SwitchingAutocodeOnAsksAndMarksLocks) {
    const int current = AddLock(doc.Db(), 1, 0, 1);
    const int handed = AddLock(doc.Db(), 3, 1);  // programming on a device, unconfirmed
    const int fresh = AddLock(doc.Db(), 2, 1);
    const int removed = AddLock(doc.Db(), 4, 0);
    auto sheet = Sheet(1);
    sheet->SetUnit(IntervalUnit::Days);
    sheet->SetInterval(7);
    sheet->SetAutocode(true);
    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(sheet->Ok());
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{kDownload});
    EXPECT_EQ(sheetPrompter.icons, std::vector{PromptIcon::Exclamation});
    EXPECT_EQ(sheetPrompter.defaults, std::vector{PromptAnswer::No});
    EXPECT_EQ(GroupTableRevision(), 2);
    EXPECT_EQ(GroupValue(1, "Autocode Enabled"), 1);
    EXPECT_EQ(GroupValue(1, "Autocode Interval"), 7);
    EXPECT_EQ(GroupValue(1, "Autocode Interval Type"), 0);
    EXPECT_EQ(static_cast<std::uint16_t>(GroupValue(1, "PINDate")),
              protocol::PackDate(2026, 3, 22));
    EXPECT_EQ(MarksOf(doc.Db(), current), (LockMarks{2, 0, 3}));
    EXPECT_EQ(MarksOf(doc.Db(), handed), (LockMarks{2, 0, 3}));
    EXPECT_EQ(MarksOf(doc.Db(), fresh), (LockMarks{2, 0, 2}));
    EXPECT_EQ(MarksOf(doc.Db(), removed), (LockMarks{0, 0, 4}));
    const auto rows = GroupListRows(*doc.m_pGroups, kToday);
    EXPECT_EQ(rows[1].nextPinDate, Short(2026, 3, 22));
}

TEST_F(UserGroupTest, DecliningTheDownloadKeepsEverything) {
    AddLock(doc.Db(), 1, 0);
    const QString before = Snapshot(doc.Db());
    auto sheet = Sheet(0);
    sheet->SetName("Renamed too");
    sheet->SetAutocode(true);
    sheetPrompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(sheet->Ok());
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{kDownload});
    EXPECT_EQ(Snapshot(doc.Db()), before);
    // The sheet stays open with its page as edited, and can be saved.
    EXPECT_EQ(sheet->Page().name, "Renamed too");
    sheetPrompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(sheet->Save());
    EXPECT_EQ(GroupTableRevision(), 2);
}

TEST_F(UserGroupTest, ChangesWhileOnAskAndClearingKeepsTheStoredDate) {
    const std::uint16_t stored = protocol::PackDate(2026, 4, 10);
    SetGroup(0, true, 1, 1, stored);
    auto sheet = Sheet(0);
    EXPECT_EQ(sheet->Page().nextPinDate, Short(2026, 4, 10));
    ASSERT_TRUE(sheet->Ok());  // nothing a lock holds changed
    EXPECT_TRUE(sheetPrompter.Shown().isEmpty());

    // A new next PIN date is part of the locks' PIN table entry.
    sheet->SetNextPinDateText(Short(2026, 4, 2));
    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(sheet->Ok());
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{kDownload});
    EXPECT_EQ(GroupTableRevision(), 2);

    sheet->SetInterval(2);
    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(sheet->Ok());
    EXPECT_EQ(GroupTableRevision(), 3);

    sheet->SetAutocode(false);
    sheetPrompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(sheet->Ok());
    EXPECT_EQ(GroupTableRevision(), 4);
    EXPECT_EQ(GroupValue(0, "Autocode Enabled"), 0);
    EXPECT_EQ(static_cast<std::uint16_t>(GroupValue(0, "PINDate")), protocol::PackDate(2026, 4, 2));
}

TEST_F(UserGroupTest, DatabaseErrorsRollTheWholeSaveBack) {
    AddLock(doc.Db(), 1, 0);
    const int second = AddLock(doc.Db(), 1, 0);
    AddLock(doc.Db(), 1, 0);
    const QString before = Snapshot(doc.Db());
    FailUpdatesOf(doc.Db(), "Locks", QStringLiteral("NEW.\"Lock Key\" = %1").arg(second));
    auto sheet = Sheet(0);
    sheet->SetName("Guards");
    sheet->SetAutocode(true);
    sheetPrompter.Answer(PromptAnswer::Yes);
    EXPECT_FALSE(sheet->Ok());
    EXPECT_EQ(sheetPrompter.Shown(),
              QStringList({kDownload, "Error Updating Database, Can Not Continue."}));
    EXPECT_EQ(sheetPrompter.icons.back(), PromptIcon::Stop);
    EXPECT_EQ(Snapshot(doc.Db()), before);
    EXPECT_EQ(doc.m_pGroups->m_GroupName, "< Untitled >");

    // A group that vanished after the sheet opened.
    Sql(doc.Db(), "DROP TRIGGER qx_fail");
    Sql(doc.Db(), "DELETE FROM \"User Groups\" WHERE \"Group Key\" = 0");
    sheetPrompter.Clear();
    EXPECT_FALSE(sheet->Save());
    EXPECT_EQ(sheetPrompter.Shown(), QStringList{"Error Updating Database, Can Not Continue."});
    EXPECT_FALSE(CUserGroupSheet::Open(doc, sheetPrompter, 0, kToday));
}

TEST(DateEntry, TwoDigitYearsLiveInThisCentury) {
    const QDate today(2026, 3, 20);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(ShortDateText(QDate(2026, 3, 22)), "3/22/26");
    EXPECT_EQ(ParseDateEntry("3/22/26", today), QDate(2026, 3, 22));
    EXPECT_EQ(ParseDateEntry("3/22/2026", today), QDate(2026, 3, 22));
    EXPECT_EQ(ParseDateEntry("12/31/99", today), QDate(2099, 12, 31));
    EXPECT_EQ(ParseDateEntry("1/2/26", QDate(2126, 5, 1)), QDate(2126, 1, 2));
    QLocale::setDefault(QLocale::system());
    EXPECT_EQ(ParseDateEntry(ShortDateText(QDate(2026, 12, 24)), today), QDate(2026, 12, 24));
    EXPECT_EQ(ParseDateEntry("2027-01-05", today), QDate(2027, 1, 5));
    EXPECT_FALSE(ParseDateEntry("", today).isValid());
    EXPECT_FALSE(ParseDateEntry("2026-02-30", today).isValid());
}

}  // namespace
}  // namespace tandrel::testing
