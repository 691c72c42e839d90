#include <gtest/gtest.h>

#include "desktop/admin/autocode_pin.h"
#include "desktop/admin/location_path.h"
#include "desktop/admin/lock_pending.h"
#include "desktop/admin/pin_dates.h"
#include "desktop/admin/text_rules.h"
#include "desktop/admin/user_type.h"
#include "protocol/packed_date.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

std::uint16_t Packed(int y, int m, int d) {
    return protocol::PackDate(y, m, d);
}

TEST(AutocodePin, Vectors) {
    EXPECT_EQ(AutocodePin(2422, "1234", Packed(2026, 3, 22), 4), "0924");
    // An odd number of digits: the last one is paired with 0xF.
    EXPECT_EQ(AutocodePin(2422, "12345", Packed(2026, 3, 22), 6), "415044");
    EXPECT_EQ(AutocodePin(0xFFFF, "7", Packed(2026, 1, 1), 3), "059");
    EXPECT_EQ(AutocodePin(41154, "9876543210", Packed(2027, 12, 31), 6), "247335");
    // The PIN changes with the date and with the ID.
    EXPECT_NE(AutocodePin(2422, "1234", Packed(2026, 3, 29), 4), "0924");
    EXPECT_NE(AutocodePin(2422, "1235", Packed(2026, 3, 22), 4), "0924");
}

TEST(AutocodePin, EveryDigitIsDecimal) {
    for (int id = 0; id < 2000; id += 7) {
        QString pin = AutocodePin(static_cast<std::uint16_t>(id * 31), QString::number(id),
                                  Packed(2026, 1 + id % 12, 1 + id % 28), 6);
        ASSERT_EQ(pin.size(), 6);
        for (QChar c : pin) ASSERT_TRUE(c.isDigit()) << pin.toStdString();
    }
}

TEST(PinDates, OrdinalPutsYear99BeforeTheCentury) {
    EXPECT_LT(PackedDateOrdinal(Packed(1999, 12, 31)), PackedDateOrdinal(Packed(2000, 1, 1)));
    EXPECT_LT(PackedDateOrdinal(Packed(2026, 1, 31)), PackedDateOrdinal(Packed(2026, 2, 1)));
    EXPECT_LT(PackedDateOrdinal(Packed(2026, 12, 31)), PackedDateOrdinal(Packed(2027, 1, 1)));
}

TEST(PinDates, AddingDaysAndMonths) {
    EXPECT_EQ(AddInterval(Packed(2026, 3, 15), 7, IntervalUnit::Days), Packed(2026, 3, 22));
    EXPECT_EQ(AddInterval(Packed(2026, 3, 28), 7, IntervalUnit::Days), Packed(2026, 4, 4));
    EXPECT_EQ(AddInterval(Packed(2028, 2, 25), 7, IntervalUnit::Days), Packed(2028, 3, 3));
    EXPECT_EQ(AddInterval(Packed(2026, 2, 25), 7, IntervalUnit::Days), Packed(2026, 3, 4));
    EXPECT_EQ(AddInterval(Packed(2026, 12, 30), 5, IntervalUnit::Days), Packed(2027, 1, 4));
    EXPECT_EQ(AddInterval(Packed(2099, 12, 30), 5, IntervalUnit::Days), Packed(2000, 1, 4));
    EXPECT_EQ(AddInterval(Packed(2026, 1, 31), 1, IntervalUnit::Months), Packed(2026, 2, 31));
    EXPECT_EQ(AddInterval(Packed(2026, 11, 15), 3, IntervalUnit::Months), Packed(2027, 2, 15));
}

TEST(PinDates, NextPinDateSeries) {
    // AutoCode ticked on 20 March with 7 days: from 1 March, 1, 8, 15, 22.
    EXPECT_EQ(NextPinDate(Packed(2026, 3, 1), 7, IntervalUnit::Days, QDate(2026, 3, 20)),
              Packed(2026, 3, 22));
    // 31 January plus one month, seen on 5 February: "31 February", read as 1 March.
    auto next = NextPinDate(Packed(2026, 1, 31), 1, IntervalUnit::Months, QDate(2026, 2, 5));
    ASSERT_TRUE(next);
    EXPECT_EQ(*next, Packed(2026, 2, 31));
    EXPECT_EQ(UnpackToQDate(*next, QDate(2026, 2, 5)), QDate(2026, 3, 1));
    // Today itself is not after today.
    EXPECT_EQ(NextPinDate(Packed(2026, 3, 20), 7, IntervalUnit::Days, QDate(2026, 3, 20)),
              Packed(2026, 3, 27));
    EXPECT_FALSE(NextPinDate(Packed(2026, 3, 20), 0, IntervalUnit::Days, QDate(2026, 3, 20)));
}

TEST(LockPending, EventsFromEveryNormalisedValue) {
    EXPECT_EQ(NormalisedPendingCounter(0, 1), 2);
    EXPECT_EQ(NormalisedPendingCounter(5, 0), 1);
    EXPECT_EQ(NormalisedPendingCounter(-3, 0), 0);
    for (int n : {0, 1, 2}) {
        EXPECT_EQ(PendingCounterAfter(LockEvent::Queued, n), 1);
        EXPECT_EQ(PendingCounterAfter(LockEvent::Purged, n), 2);
    }
    EXPECT_EQ(PendingCounterAfter(LockEvent::Collected, 0), 0);
    EXPECT_EQ(PendingCounterAfter(LockEvent::Collected, 1), 0);
    EXPECT_EQ(PendingCounterAfter(LockEvent::Collected, 2), 2);
}

TEST(UserTypes, BytesNamesAndStates) {
    EXPECT_EQ(TypeByte(kProgrammer, 3), 0x43);
    EXPECT_TRUE(IsProgrammerByte(0x43 | kUseDefaultsBit));
    EXPECT_EQ(UserTypeName(kService), "Service");
    EXPECT_EQ(EnrolmentStateText(kPendingRemoval), " User is Pending Removal");
    EXPECT_EQ(EnrolmentStateText(0), " Not Enrolled");
}

TEST(TextRules, ControlCharactersAndLineBreaks) {
    for (const QString& text :
         {QString(QChar(0)), QStringLiteral("a\x7F"), QStringLiteral("\u0085"),
          QStringLiteral("a\rb"), QStringLiteral("a\nb")}) {
        EXPECT_TRUE(HasControlCharacter(text)) << text.toStdString();
        EXPECT_FALSE(IsOneLine(text)) << text.toStdString();
    }
    // A tab is data in a free text, but breaks a name's line.
    EXPECT_FALSE(HasControlCharacter("Room\t12"));
    EXPECT_FALSE(IsOneLine("Room\t12"));
    EXPECT_FALSE(HasControlCharacter(QStringLiteral("a\u2029b")));
    EXPECT_FALSE(IsOneLine(QStringLiteral("a\u2029b")));
    EXPECT_TRUE(IsOneLine(QStringLiteral("Zo\u00EB O'Brien-M\u00FCller")));

    EXPECT_EQ(ColumnSize({"Users", "Last Name"}), 20);
    EXPECT_EQ(ColumnSize({"Lock Paths", "Node Name"}), 32);
    EXPECT_EQ(NameProblem("Name", QString(32, 'x'), {"Locks", "Name"}), std::nullopt);
    EXPECT_EQ(NameProblem("Name", QString(33, 'x'), {"Locks", "Name"}),
              "Name can not be longer than 32 characters");
    EXPECT_EQ(TextProblem("Model", "M\t1", {"Locks", "Model Number"}), std::nullopt);
}

TEST_F(FacilityTest, LocationPathsFollowTheParents) {
    NewFacility();
    CFacilityDirectoryRecordset paths(doc.Db());
    auto add = [&](const QString& name, int parent) {
        paths.AddNew();
        int key = paths.m_DirectoryKey;
        paths.m_NodeName = name;
        paths.m_RootIndex = parent;
        paths.Update();
        return key;
    };
    int a = add("Building A", 1);
    int east = add("East", a);
    int orphan = add("Lost", 999);
    int loopOne = add("Loop1", 0);
    int loopTwo = add("Loop2", loopOne);
    paths.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(paths.Seek("=", {loopOne}));
    paths.Edit();
    paths.m_RootIndex = loopTwo;
    paths.Update();
    EXPECT_EQ(LocationFullPath(doc.Db(), 1), "\\");
    EXPECT_EQ(LocationFullPath(doc.Db(), a), "\\Building A\\");
    EXPECT_EQ(LocationFullPath(doc.Db(), east), "\\Building A\\East\\");
    EXPECT_FALSE(LocationFullPath(doc.Db(), orphan));
    EXPECT_FALSE(LocationFullPath(doc.Db(), loopTwo));
}

}  // namespace
}  // namespace tandrel::testing
