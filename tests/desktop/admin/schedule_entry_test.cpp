#include <gtest/gtest.h>

#include "desktop/admin/holidays.h"
#include "desktop/admin/schedule_entry.h"
#include "desktop/admin/schedule_events.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/support/qt_printers.h"

namespace tandrel::testing {
namespace {

const QString kBadTime = QStringLiteral("Unrecognized time format -- Use 'hh:mm am/pm'");
const QString kSelectLevel = QStringLiteral("You must select an access level");

ScheduleEvent Master(int day, int hour, int minute, int level, bool pin, bool noOverride) {
    ScheduleEvent e;
    e.day = day, e.hour = hour, e.minute = minute, e.level = level;
    e.pin = pin, e.noOverride = noOverride;
    return e;
}

ScheduleEvent Group(int group, int day, int hour, int minute, bool allow) {
    ScheduleEvent e;
    e.group = group, e.day = day, e.hour = hour, e.minute = minute, e.allow = allow;
    return e;
}

TEST(ScheduleEvents, PackIntoTheStoredBitLayout) {
    // Master: hour 0-4, minute 5-10, level 11-13, PIN 14, no override 15, day 16-23.
    const ScheduleEvent sunday = Master(6, 23, 59, 4, true, true);
    EXPECT_EQ(PackMasterEvent(sunday), 0x6E777);
    EXPECT_EQ(PackMasterEvent(Master(0, 0, 1, 0, false, false)), 0x20);
    EXPECT_EQ(UnpackMasterEvent(0x6E777), sunday);
    // Group: day 0-2, hour 3-7, minute 8-13, allow 14, group index 16-23.
    const ScheduleEvent saturday = Group(7, 5, 13, 45, true);
    EXPECT_EQ(PackGroupEvent(saturday), 0x76D6D);
    EXPECT_EQ(UnpackGroupEvent(0x76D6D), saturday);
    EXPECT_EQ(UnpackGroupEvent(PackGroupEvent(Group(0, 0, 0, 0, false))), Group(0, 0, 0, 0, false));
    EXPECT_EQ(EventRowKind(sunday), 0);
    EXPECT_EQ(EventRowKind(saturday), 1);

    // Values the editor cannot show are not taken for events.
    EXPECT_FALSE(UnpackMasterEvent(7 << 16));       // day 7
    EXPECT_FALSE(UnpackMasterEvent(24));            // hour 24
    EXPECT_FALSE(UnpackMasterEvent(60 << 5));       // minute 60
    EXPECT_FALSE(UnpackMasterEvent(5 << 11));       // level 5
    EXPECT_FALSE(UnpackGroupEvent(8 << 16));        // group 9
    EXPECT_FALSE(UnpackGroupEvent(7));              // day 7
    EXPECT_FALSE(UnpackGroupEvent(0x1000000 | 3));  // bits above the group
}

TEST(ScheduleEvents, DisplayTexts) {
    EXPECT_EQ(EventText(Master(0, 21, 0, 2, true, true)),
              "09:00 PM ID Required / PIN Required / No Manager Override");
    EXPECT_EQ(EventText(Master(0, 0, 5, 0, false, false)), "12:05 AM Unlock");
    EXPECT_EQ(EventText(Master(0, 12, 0, 1, false, true)),
              "12:00 PM Unlock with ID / No Manager Override");
    EXPECT_EQ(EventText(Master(0, 7, 30, 3, true, false)), "07:30 AM Facility Card / PIN Required");
    EXPECT_EQ(LevelName(4), "Lockout");
    EXPECT_EQ(EventText(Group(0, 0, 8, 0, true)), "08:00 AM Allow Access");
    EXPECT_EQ(EventText(Group(0, 0, 17, 15, false)), "05:15 PM Deny Access");
    EXPECT_EQ(DayNames().front(), "Monday");
    EXPECT_EQ(DayName(6), "Sunday");
    EXPECT_EQ(GroupLabel(0, "Staff"), "1 - Staff");
}

// Master events, group events and holiday start and end times are read by
// the one parser; the master box alone is 8 characters wide.
TEST(ScheduleEvents, EveryTimeBoxReadsTheSameForms) {
    struct Case {
        QString typed;
        int hour, minute;  // -1: refused
    };
    const Case cases[] = {
        {"9p", 21, 0},      {"9P", 21, 0},         {"12a", 0, 0},       {"12 am", 0, 0},
        {"12PM", 12, 0},    {"1  a", 1, 0},        {"9:30 pm", 21, 30}, {" 7:05 AM", 7, 5},
        {"12:00 AM", 0, 0}, {"21:15", 21, 15},     {"13p", -1, -1},     {"0a", -1, -1},
        {"9", -1, -1},      {"p", -1, -1},         {"", -1, -1},        {"9x", -1, -1},
        {"9pm x", -1, -1},  {"12:00 AMX", -1, -1}, {"25:00", -1, -1},   {"ab:cd", -1, -1},
        {"9:00:59", 9, 0},
    };
    for (const Case& c : cases) {
        for (const auto& read : {ReadTimeOfDay, ReadMasterEventTime}) {
            const std::optional<QTime> time = read(c.typed);
            if (c.hour < 0) {
                EXPECT_FALSE(time) << c.typed.toStdString();
                continue;
            }
            ASSERT_TRUE(time) << c.typed.toStdString();
            EXPECT_EQ(*time, QTime(c.hour, c.minute)) << c.typed.toStdString();
        }
    }
    EXPECT_EQ(ReadTimeOfDay("9:00:59 PM"), QTime(21, 0));  // seconds dropped
    EXPECT_FALSE(ReadMasterEventTime("9:00:59 PM"));       // wider than the box
}

TEST(ScheduleEvents, GroupEventsAndHolidaysTakeTheShortForm) {
    IconPrompter prompter;
    ScheduleEvent event = Group(0, 0, 8, 0, true);
    ASSERT_TRUE(CheckGroupEntry({"6p", false}, prompter, event));
    EXPECT_EQ(event.hour, 18);
    EXPECT_EQ(event.minute, 0);
    HolidayEntry entry;
    entry.name = "Eve";
    entry.startDate = "12/24", entry.startTime = "5p";
    entry.endDate = "12/26", entry.endTime = "8 AM";
    entry.level = 4;
    Holiday holiday;
    ASSERT_TRUE(CheckHolidayEntry(entry, prompter, holiday));
    EXPECT_EQ(holiday.start, QDateTime(QDate(2000, 12, 24), QTime(17, 0)));
    EXPECT_EQ(holiday.end, QDateTime(QDate(2000, 12, 26), QTime(8, 0)));
    EXPECT_TRUE(prompter.Shown().isEmpty());
}

TEST(ScheduleEvents, DialogChecksInOrderWithTheStopIcon) {
    IconPrompter prompter;
    ScheduleEvent event = Master(3, 1, 1, 1, false, false);
    EventField field = EventField::Level;
    // Both wrong: the time is reported first.
    EXPECT_FALSE(CheckMasterEntry({"9", -1, false, false}, prompter, event, &field));
    EXPECT_EQ(field, EventField::Time);
    EXPECT_FALSE(CheckMasterEntry({"9p", -1, false, false}, prompter, event, &field));
    EXPECT_EQ(field, EventField::Level);
    EXPECT_EQ(event, Master(3, 1, 1, 1, false, false));  // untouched on failure
    ASSERT_TRUE(CheckMasterEntry({"9p", 2, true, false}, prompter, event, &field));
    EXPECT_EQ(event, Master(3, 21, 0, 2, true, false));
    EXPECT_EQ(MasterEventEntry().time, "12:00 AM");  // offered for a new event

    EXPECT_FALSE(CheckGroupEntry({"9x", true}, prompter, event, &field));
    EXPECT_EQ(field, EventField::Time);
    EXPECT_FALSE(CheckGroupEntry({"9:00 PM", std::nullopt}, prompter, event, &field));
    EXPECT_EQ(field, EventField::Level);
    ASSERT_TRUE(CheckGroupEntry({"6:45 AM", false}, prompter, event, &field));
    EXPECT_EQ(event.hour, 6);
    EXPECT_FALSE(event.allow);
    EXPECT_EQ(prompter.Shown(), QStringList({kBadTime, kSelectLevel, kBadTime, kSelectLevel}));
    EXPECT_EQ(prompter.icons, std::vector<PromptIcon>(4, PromptIcon::Stop));
}

HolidayEntry Entry(const QString& start, const QString& startTime, const QString& end,
                   const QString& endTime) {
    HolidayEntry e;
    e.name = QStringLiteral("Break");
    e.startDate = start, e.startTime = startTime, e.endDate = end, e.endTime = endTime;
    e.level = 4;
    return e;
}

TEST(HolidayEntryChecks, EachFieldInOrderWithItsMessage) {
    IconPrompter prompter;
    struct Case {
        HolidayEntry entry;
        QString message;
        HolidayField field;
    };
    HolidayEntry noName = Entry("12/24", "5:00 PM", "12/26", "8:00 AM");
    noName.name = "   ";
    HolidayEntry noLevel = Entry("12/24", "5:00 PM", "12/26", "8:00 AM");
    noLevel.level = -1;
    HolidayEntry noDay = noLevel;
    noDay.mode = HolidayMode::DailySchedule;
    const Case cases[] = {
        {noName, "You must enter a name for the holiday", HolidayField::Name},
        {Entry("12/24/2026", "x", "", ""), "Unrecognized date format -- Use 'mm/dd'",
         HolidayField::StartDate},
        {Entry("02/30", "5:00 PM", "03/01", "8:00 AM"), "Unrecognized date format -- Use 'mm/dd'",
         HolidayField::StartDate},
        {Entry("12/24", "5x", "12/26", "8:00 AM"), kBadTime, HolidayField::StartTime},
        {Entry("12/24", "5:00 PM", "13/01", "8:00 AM"), "Unrecognized date format -- Use 'mm/dd'",
         HolidayField::EndDate},
        {Entry("12/24", "5:00 PM", "12/26", ""), kBadTime, HolidayField::EndTime},
        {Entry("12/24", "5:00 PM", "12/24", "17:00"),
         "Invallid holiday period --\nStart and end date/times\ncan not be the same",
         HolidayField::EndDate},
        {noLevel, kSelectLevel, HolidayField::Level},
        {noDay, "You must select a daily schedule", HolidayField::Day},
    };
    for (const Case& c : cases) {
        prompter.Clear();
        Holiday holiday;
        HolidayField field = HolidayField::Name;
        EXPECT_FALSE(CheckHolidayEntry(c.entry, prompter, holiday, &field)) << c.message;
        EXPECT_EQ(prompter.Shown(), QStringList{c.message});
        EXPECT_EQ(field, c.field) << c.message;
    }
    EXPECT_EQ(prompter.icons, std::vector<PromptIcon>(std::size(cases), PromptIcon::Stop));
}

// An end before the start runs over the new year only from an earlier
// month; earlier in the start's own month it is a slip that would make a
// holiday of almost a year.
TEST(HolidayEntryChecks, AnEndBeforeTheStartInItsMonthIsRefused) {
    IconPrompter prompter;
    Holiday h;
    HolidayField field = HolidayField::Name;
    for (auto [end, endTime] : {std::pair{"07/04", "6:00 AM"}, std::pair{"07/01", "11:00 PM"}}) {
        prompter.Clear();
        EXPECT_FALSE(
            CheckHolidayEntry(Entry("07/04", "6:00 PM", end, endTime), prompter, h, &field));
        EXPECT_EQ(prompter.Shown(),
                  QStringList{"Invalid holiday period --\nThe end comes before the start\n(a "
                              "period over the new year ends in an earlier month)"});
        EXPECT_EQ(field, HolidayField::EndDate);
    }
}

TEST(HolidayEntryChecks, NamesStayOnOneLineAndFitTheirField) {
    IconPrompter prompter;
    Holiday h;
    HolidayField field = HolidayField::StartDate;
    HolidayEntry entry = Entry("12/24", "5:00 PM", "12/26", "8:00 AM");
    entry.name = QString(33, 'x');
    EXPECT_FALSE(CheckHolidayEntry(entry, prompter, h, &field));
    EXPECT_EQ(field, HolidayField::Name);
    entry.name = "Christmas\tEve";
    EXPECT_FALSE(CheckHolidayEntry(entry, prompter, h, &field));
    EXPECT_EQ(prompter.Shown(),
              (QStringList{"Holiday name can not be longer than 32 characters",
                           "Holiday name can not contain tabs, line breaks or other control "
                           "characters"}));
    entry.name = QString(32, 'x');
    EXPECT_TRUE(CheckHolidayEntry(entry, prompter, h));
}

TEST(HolidayEntryChecks, PeriodInTwoThousandAndOverTheNewYear) {
    IconPrompter prompter;
    HolidayEntry entry = Entry("2/29", "11:59 pm", "03/01", "0:00");
    entry.name = "  Leap Day  ";
    entry.pin = true;
    entry.noOverride = true;
    entry.groupMask = 0x81;
    Holiday h;
    ASSERT_TRUE(CheckHolidayEntry(entry, prompter, h));
    EXPECT_EQ(h.name, "Leap Day");
    EXPECT_EQ(h.start, QDateTime(QDate(2000, 2, 29), QTime(23, 59)));
    EXPECT_EQ(h.end, QDateTime(QDate(2000, 3, 1), QTime(0, 0)));
    EXPECT_FALSE(h.useSchedule);
    EXPECT_EQ(h.level, 4 | 0x20 | 0x40);
    EXPECT_EQ(h.groupMask, 0x81);

    ASSERT_TRUE(CheckHolidayEntry(Entry("12/31", "6:00 PM", "01/01", "6:00 AM"), prompter, h));
    EXPECT_EQ(h.end, QDateTime(QDate(2001, 1, 1), QTime(6, 0)));
    ASSERT_TRUE(CheckHolidayEntry(Entry("11/30", "6:00 PM", "02/01", "6:00 AM"), prompter, h));
    EXPECT_EQ(h.end, QDateTime(QDate(2001, 2, 1), QTime(6, 0)));

    HolidayEntry daily = Entry("07/04", "12:00 AM", "07/05", "12:00 AM");
    daily.mode = HolidayMode::DailySchedule;
    daily.day = 6;
    ASSERT_TRUE(CheckHolidayEntry(daily, prompter, h));
    EXPECT_TRUE(h.useSchedule);
    EXPECT_EQ(h.day, 6);
    EXPECT_EQ(EntryOf(h).day, 6);
    EXPECT_EQ(EntryOf(h).startDate, "07/04");
    EXPECT_TRUE(prompter.Shown().isEmpty());

    const HolidayRow row = HolidayRowOf(h);
    EXPECT_EQ(row.start, "07/04 12:00 AM");
    EXPECT_EQ(row.end, "07/05 12:00 AM");
    EXPECT_EQ(row.access, "Use Sunday's");
    h.useSchedule = false;
    h.level = PackHolidayLevel(2, true, true);
    EXPECT_EQ(HolidayRowOf(h).access, "ID Required\\Pin Required\\No Manager Override");
}

}  // namespace
}  // namespace tandrel::testing
