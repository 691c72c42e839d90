#include <gtest/gtest.h>

#include "desktop/admin/holidays.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/support/qt_printers.h"

namespace tandrel::testing {
namespace {

const QString kOverlap = QStringLiteral("Overlapping holiday periods are not permitted");

HolidayEntry Period(const QString& name, const QString& start, const QString& startTime,
                    const QString& end, const QString& endTime) {
    HolidayEntry e;
    e.name = name;
    e.startDate = start, e.startTime = startTime, e.endDate = end, e.endTime = endTime;
    e.level = 4;
    return e;
}

class HolidayPageTest : public ::testing::Test {
  protected:
    EntryOutcome Add(const HolidayEntry& entry) {
        prompter.Clear();
        return page.Add(entry);
    }
    QStringList Names() const {
        QStringList names;
        for (const Holiday& h : page.Holidays()) names << h.name;
        return names;
    }

    IconPrompter prompter;
    CScheduleHolidayPage page{prompter};
};

TEST_F(HolidayPageTest, TheThirtyThirdHolidayIsRefused) {
    for (int i = 0; i < 32; ++i) {
        const QString date = QDate(2000, 1, 1).addDays(i).toString("MM/dd");
        ASSERT_EQ(Add(Period(QString::number(i), date, "1:00 AM", date, "2:00 AM")),
                  EntryOutcome::Accepted)
            << i;
    }
    EXPECT_TRUE(page.Changed());
    EXPECT_FALSE(page.CanAdd());
    EXPECT_EQ(Add(Period("33", "12/01", "1:00 AM", "12/02", "1:00 AM")), EntryOutcome::Refused);
    EXPECT_EQ(prompter.Shown(), QStringList{"The holiday list is full"});
    EXPECT_EQ(prompter.icons.back(), PromptIcon::Exclamation);
    EXPECT_EQ(page.Holidays().size(), 32u);
}

TEST_F(HolidayPageTest, PeriodsMeetingAtAMinuteOverlap) {
    ASSERT_EQ(Add(Period("Eve", "12/20", "8:00 AM", "12/24", "11:59 PM")), EntryOutcome::Accepted);
    EXPECT_EQ(Add(Period("Day", "12/24", "11:59 PM", "12/26", "8:00 AM")), EntryOutcome::KeepOpen);
    EXPECT_EQ(prompter.Shown(), QStringList{kOverlap});
    ASSERT_EQ(Add(Period("Day", "12/25", "12:00 AM", "12/26", "8:00 AM")), EntryOutcome::Accepted);
    // Inside another, and around another.
    EXPECT_EQ(Add(Period("In", "12/21", "8:00 AM", "12/22", "8:00 AM")), EntryOutcome::KeepOpen);
    EXPECT_EQ(Add(Period("Around", "12/01", "8:00 AM", "12/28", "8:00 AM")),
              EntryOutcome::KeepOpen);
    EXPECT_EQ(prompter.Shown(), QStringList{kOverlap});
    EXPECT_EQ(Names(), QStringList({"Eve", "Day"}));
}

TEST_F(HolidayPageTest, APeriodOverTheNewYearMeetsEarlyJanuary) {
    ASSERT_EQ(Add(Period("Turn", "12/31", "6:00 PM", "01/02", "6:00 AM")), EntryOutcome::Accepted);
    EXPECT_EQ(Add(Period("First", "01/01", "9:00 AM", "01/01", "5:00 PM")), EntryOutcome::KeepOpen);
    EXPECT_EQ(prompter.Shown(), QStringList{kOverlap});
    ASSERT_EQ(Add(Period("Later", "01/02", "6:01 AM", "01/03", "5:00 PM")), EntryOutcome::Accepted);
    // Listed by start: January first.
    EXPECT_EQ(Names(), QStringList({"Later", "Turn"}));
}

TEST_F(HolidayPageTest, NamesAreUniqueCaseSensitively) {
    ASSERT_EQ(Add(Period("Xmas", "12/25", "12:00 AM", "12/26", "12:00 AM")),
              EntryOutcome::Accepted);
    EXPECT_EQ(Add(Period(" Xmas ", "07/04", "12:00 AM", "07/05", "12:00 AM")),
              EntryOutcome::KeepOpen);
    EXPECT_EQ(prompter.Shown(), QStringList{"Holiday name already in use"});
    ASSERT_EQ(Add(Period("XMAS", "07/04", "12:00 AM", "07/05", "12:00 AM")),
              EntryOutcome::Accepted);

    // Renaming one to the other's name is refused; its own name and period
    // are not in its way.
    const int july = page.IndexOf("XMAS");
    prompter.Clear();
    HolidayField field = HolidayField::Day;
    HolidayEntry renamed = EntryOf(page.Holidays()[july]);
    renamed.name = "Xmas";
    EXPECT_EQ(page.Edit(july, renamed, &field), EntryOutcome::KeepOpen);
    EXPECT_EQ(field, HolidayField::Name);
    EXPECT_EQ(prompter.Shown(), QStringList{"Holiday name already in use"});
    renamed.name = "Fourth";
    renamed.endDate = "07/06";
    ASSERT_EQ(page.Edit(july, renamed), EntryOutcome::Accepted);
    EXPECT_EQ(Names(), QStringList({"Fourth", "Xmas"}));
    EXPECT_EQ(page.Holidays()[0].end.date(), QDate(2000, 7, 6));
    EXPECT_EQ(page.IndexOf("XMAS"), -1);
}

TEST_F(HolidayPageTest, AnEndOnTheTwentyNinthOfFebruaryCannotMoveIntoTwoThousandOne) {
    EXPECT_EQ(Add(Period("Leap", "03/01", "8:00 AM", "02/29", "8:00 AM")), EntryOutcome::Refused);
    EXPECT_EQ(prompter.Shown(), QStringList{"Error adding holiday -- can not continue"});
    EXPECT_EQ(prompter.icons.back(), PromptIcon::Stop);
    EXPECT_TRUE(page.Holidays().empty());
    ASSERT_EQ(Add(Period("Leap", "02/28", "8:00 AM", "02/29", "8:00 AM")), EntryOutcome::Accepted);
}

TEST_F(HolidayPageTest, DeleteAndDeleteAll) {
    EXPECT_FALSE(page.DeleteAll());
    EXPECT_EQ(prompter.Shown(), QStringList{"Holiday list is empty"});
    ASSERT_EQ(Add(Period("A", "01/01", "1:00 AM", "01/01", "2:00 AM")), EntryOutcome::Accepted);
    ASSERT_EQ(Add(Period("B", "02/01", "1:00 AM", "02/01", "2:00 AM")), EntryOutcome::Accepted);
    prompter.Answer(PromptAnswer::No).Answer(PromptAnswer::Yes);
    prompter.Answer(PromptAnswer::No).Answer(PromptAnswer::Yes);
    EXPECT_FALSE(page.Delete(1));
    EXPECT_TRUE(page.Delete(1));
    EXPECT_EQ(Names(), QStringList{"A"});
    EXPECT_FALSE(page.DeleteAll());
    EXPECT_TRUE(page.DeleteAll());
    EXPECT_TRUE(page.Holidays().empty());
    EXPECT_EQ(prompter.Shown(),
              QStringList({"Delete 'B' holiday?", "Delete 'B' holiday?",
                           "Clear entire holiday list?", "Clear entire holiday list?"}));
}

}  // namespace
}  // namespace tandrel::testing
