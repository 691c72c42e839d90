#include <gtest/gtest.h>

#include "desktop/admin/schedule_event_pages.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/support/qt_printers.h"

namespace tandrel::testing {
namespace {

using Node = ScheduleNode;

const Node kMonday = Node::Day(0);

class MasterPageTest : public ::testing::Test {
  protected:
    void Add(int day, const QString& time, int level, bool pin = false, bool noOverride = false) {
        ASSERT_EQ(page.AddEvent(Node::Day(day), {time, level, pin, noOverride}),
                  EntryOutcome::Accepted);
    }
    QStringList Texts(int day) const {
        QStringList texts;
        for (const ScheduleEvent& e : page.EventsOf(kMasterGroup, day)) texts << EventText(e);
        return texts;
    }

    IconPrompter prompter;
    CScheduleMasterPage page{prompter};
};

TEST_F(MasterPageTest, NewEventsNeedADayAndAFreeMinute) {
    EXPECT_FALSE(page.NewEventDay(Node::Root()));
    EXPECT_EQ(prompter.Shown(), QStringList{"You must first select\na day of the week."});
    EXPECT_EQ(prompter.icons, std::vector<PromptIcon>{PromptIcon::Information});
    EXPECT_EQ(page.NewEventDay(kMonday), kMonday);
    Add(0, "8a", 0);
    EXPECT_EQ(page.NewEventDay(Node::Event(0, 8, 0)), kMonday);
    EXPECT_TRUE(page.Changed());

    prompter.Clear();
    prompter.icons.clear();
    EXPECT_EQ(page.AddEvent(kMonday, {"8:00 AM", 4, false, false}), EntryOutcome::Refused);
    EXPECT_EQ(prompter.Shown(), QStringList{"An event is already scheduled for 08:00 AM"});
    EXPECT_EQ(prompter.icons, std::vector<PromptIcon>{PromptIcon::Exclamation});
    EXPECT_EQ(Texts(0), QStringList{"08:00 AM Unlock"});
    // Another day, or a minute later, is free.
    Add(1, "8a", 4);
    Add(0, "8:01 AM", 4);
    EXPECT_EQ(Texts(0), QStringList({"08:00 AM Unlock", "08:01 AM Lockout"}));
    EXPECT_EQ(page.AddEvent(kMonday, {"8", 4, false, false}), EntryOutcome::KeepOpen);
    EXPECT_EQ(page.NodeText(Node::Root()), "Master Access Level Schedule");
    EXPECT_EQ(page.NodeText(Node::Day(2)), "Wednesday");
    EXPECT_EQ(page.NodeText(Node::Event(0, 8, 1)), "08:01 AM Lockout");
}

TEST_F(MasterPageTest, EditingTheTimeAsksBeforeReplacing) {
    Add(0, "8a", 0);
    Add(0, "5p", 4);
    // Level and flags only: no question.
    ASSERT_EQ(page.EditEvent(Node::Event(0, 8, 0), {"8:00 AM", 2, true, false}),
              EntryOutcome::Accepted);
    EXPECT_TRUE(prompter.Shown().isEmpty());
    EXPECT_EQ(page.EditEvent(Node::Event(0, 8, 0), {"5:00 PM", 2, true, false}),
              EntryOutcome::Refused);
    EXPECT_EQ(prompter.Shown(), QStringList{"An event is already scheduled for 05:00 PM"});

    prompter.Clear();
    const QString question = QStringLiteral(
        "Replace scheduled event: '08:00 AM ID Required / PIN Required'\nWith: '09:30 AM ID "
        "Required / PIN Required'?");
    prompter.Answer(PromptAnswer::No).Answer(PromptAnswer::Yes);
    EXPECT_EQ(page.EditEvent(Node::Event(0, 8, 0), {"9:30 am", 2, true, false}),
              EntryOutcome::Refused);
    EXPECT_EQ(Texts(0), QStringList({"08:00 AM ID Required / PIN Required", "05:00 PM Lockout"}));
    EXPECT_EQ(page.EditEvent(Node::Event(0, 8, 0), {"9:30 am", 2, true, false}),
              EntryOutcome::Accepted);
    EXPECT_EQ(Texts(0), QStringList({"09:30 AM ID Required / PIN Required", "05:00 PM Lockout"}));
    EXPECT_EQ(prompter.Shown(), QStringList({question, question}));

    prompter.Clear();
    EXPECT_EQ(page.EditEvent(Node::Event(0, 8, 0), {"9:30 am", 2, true, false}),
              EntryOutcome::Refused);
    EXPECT_EQ(prompter.Shown(), QStringList{"Could not modify schedulued event"});
}

TEST_F(MasterPageTest, DeleteAsksForEventDayAndRoot) {
    Add(0, "8a", 0);
    Add(0, "5p", 4);
    Add(2, "5p", 4);
    prompter.Answer(PromptAnswer::No)
        .Answer(PromptAnswer::Yes)
        .Answer(PromptAnswer::Yes)
        .Answer(PromptAnswer::Yes);
    EXPECT_FALSE(page.Delete(Node::Event(0, 8, 0)));
    EXPECT_TRUE(page.Delete(Node::Event(0, 8, 0)));
    EXPECT_EQ(Texts(0), QStringList{"05:00 PM Lockout"});
    EXPECT_TRUE(page.Delete(kMonday));
    EXPECT_TRUE(Texts(0).isEmpty());
    EXPECT_FALSE(page.Delete(Node::Event(0, 8, 0)));  // nothing selected there
    EXPECT_TRUE(page.Delete(Node::Root()));
    EXPECT_TRUE(page.Events().empty());
    EXPECT_EQ(prompter.Shown(),
              QStringList({"Delete event:\n'08:00 AM Unlock'?", "Delete event:\n'08:00 AM Unlock'?",
                           "Delete all events from Monday's schedule?",
                           "Delete all events from Master schedule?"}));
}

TEST_F(MasterPageTest, PastingMondayOntoTheRootReplacesTheOtherSixDays) {
    Add(0, "8a", 1, true, false);
    Add(0, "6p", 4, false, true);
    Add(3, "12p", 0);
    Add(6, "1a", 2);
    EXPECT_FALSE(page.Copy(Node::Root()));
    EXPECT_FALSE(page.CanPaste(Node::Root()));  // nothing copied yet
    ASSERT_TRUE(page.Copy(kMonday));
    EXPECT_FALSE(page.CanPaste(Node::Event(0, 8, 0)));
    prompter.Clear();
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(page.Paste(Node::Root()));
    EXPECT_EQ(prompter.Shown(),
              QStringList{"Replace all daily schedules\nwith a copy of Monday's schedule?"});
    const QStringList monday = {"08:00 AM Unlock with ID / PIN Required",
                                "06:00 PM Lockout / No Manager Override"};
    for (int day = 0; day < 7; ++day) EXPECT_EQ(Texts(day), monday) << day;
    EXPECT_EQ(page.Events().size(), 14u);
    for (const ScheduleEvent& e : page.EventsOf(kMasterGroup, 4)) EXPECT_EQ(e.day, 4);
}

TEST_F(MasterPageTest, DayAndEventPastes) {
    Add(0, "8a", 1);
    Add(1, "9a", 2, true, true);
    ASSERT_TRUE(page.Copy(Node::Day(1)));
    // An empty target day is replaced without a question.
    ASSERT_TRUE(page.Paste(Node::Day(2)));
    EXPECT_EQ(Texts(2), Texts(1));
    prompter.Answer(PromptAnswer::No).Answer(PromptAnswer::Yes);
    EXPECT_FALSE(page.Paste(kMonday));
    EXPECT_EQ(Texts(0), QStringList{"08:00 AM Unlock with ID"});
    ASSERT_TRUE(page.Paste(kMonday));
    EXPECT_EQ(Texts(0), Texts(1));
    EXPECT_EQ(prompter.Shown(),
              QStringList(2, "Replace Monday's schedule with\na copy of Tuesday's?"));

    prompter.Clear();
    Add(5, "9a", 0);
    ASSERT_TRUE(page.Copy(Node::Event(1, 9, 0)));
    ASSERT_TRUE(page.Paste(Node::Day(4)));  // no question
    ASSERT_TRUE(page.Paste(Node::Day(5)));  // the 9:00 event there is replaced
    EXPECT_EQ(Texts(5), QStringList{"09:00 AM ID Required / PIN Required / No Manager Override"});
    EXPECT_TRUE(prompter.Shown().isEmpty());
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(page.Paste(Node::Root()));
    EXPECT_EQ(prompter.Shown(),
              QStringList{"Copy event '09:00 AM ID Required / PIN Required / No Manager "
                          "Override' to all days?"});
    for (int day = 0; day < 7; ++day) EXPECT_EQ(page.EventsOf(kMasterGroup, day).size(), 1u);
    // A copied event that is gone can no longer be pasted.
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(page.Delete(Node::Event(1, 9, 0)));
    EXPECT_FALSE(page.CanPaste(Node::Day(1)));
}

class GroupsPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QStringList labels;
        for (int g = 0; g < 8; ++g) labels << GroupLabel(g, g == 0 ? "Staff" : "< Untitled >");
        page.SetGroupLabels(labels);
    }
    void Add(int group, int day, const QString& time, bool allow) {
        ASSERT_EQ(page.AddEvent(Node::Day(day, group), {time, allow}), EntryOutcome::Accepted);
    }
    int Count(int group, int day) const {
        return static_cast<int>(page.EventsOf(group, day).size());
    }
    // Copies and pastes, answering Yes to the question when one is expected.
    QStringList Pasting(const Node& source, const Node& target, bool asks = true) {
        prompter.Clear();
        if (asks) prompter.Answer(PromptAnswer::Yes);
        EXPECT_TRUE(page.Copy(source));
        EXPECT_TRUE(page.Paste(target));
        return prompter.Shown();
    }

    IconPrompter prompter;
    CScheduleGroupsPage page{prompter};
};

TEST_F(GroupsPageTest, MasterAndGroupEventsAtOneMinuteCoexist) {
    CScheduleMasterPage master(prompter);
    ASSERT_EQ(master.AddEvent(kMonday, {"8:00 AM", 0, false, false}), EntryOutcome::Accepted);
    Add(0, 0, "8:00 AM", true);
    Add(1, 0, "8:00 AM", false);  // another group at the same minute
    EXPECT_EQ(page.AddEvent(Node::Day(0, 0), {"8:00 am", false}), EntryOutcome::Refused);
    EXPECT_EQ(master.AddEvent(kMonday, {"8a", 3, false, false}), EntryOutcome::Refused);
    EXPECT_EQ(prompter.Shown(), QStringList(2, "An event is already scheduled for 08:00 AM"));
    EXPECT_EQ(master.Events().size(), 1u);
    EXPECT_EQ(page.Events().size(), 2u);

    prompter.Clear();
    EXPECT_FALSE(page.NewEventDay(Node::GroupNode(0)));
    EXPECT_EQ(prompter.Shown(), QStringList{"You must first select\na day of the week."});
    // A group event keeps its time when edited; no question is asked.
    ASSERT_EQ(page.EditEvent(Node::Event(0, 8, 0, 0), {"9:15 AM", false}), EntryOutcome::Accepted);
    EXPECT_EQ(page.NodeText(Node::Event(0, 9, 15, 0)), "09:15 AM Deny Access");
    EXPECT_EQ(page.NodeText(Node::GroupNode(0)), "1 - Staff");
    EXPECT_EQ(page.NodeText(Node::Root()), "User Group Access Schedules");
}

TEST_F(GroupsPageTest, DeleteQuestions) {
    Add(0, 0, "8:00 AM", true);
    Add(0, 1, "8:00 AM", true);
    Add(2, 1, "8:00 AM", true);
    prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes).Answer(PromptAnswer::No);
    prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    EXPECT_TRUE(page.Delete(Node::Event(0, 8, 0, 0)));
    EXPECT_TRUE(page.Delete(Node::Day(1, 0)));
    EXPECT_FALSE(page.Delete(Node::GroupNode(2)));
    EXPECT_EQ(Count(2, 1), 1);
    EXPECT_TRUE(page.Delete(Node::GroupNode(2)));
    EXPECT_TRUE(page.Delete(Node::Root()));
    EXPECT_EQ(prompter.Shown(), QStringList({"Delete event:\n'08:00 AM Allow Access'?",
                                             "Delete all events from\n1 - Staff : Tuesday's "
                                             "schedule?",
                                             "Delete all events from\n'3 - < Untitled >' schedule?",
                                             "Delete all events from\n'3 - < Untitled >' schedule?",
                                             "Delete all events from all schedules?"}));
}

TEST_F(GroupsPageTest, PastesOntoTheRoot) {
    Add(0, 0, "8:00 AM", true);
    Add(0, 0, "5:00 PM", false);
    Add(0, 2, "7:00 AM", true);
    EXPECT_EQ(Pasting(Node::GroupNode(0), Node::Root()),
              QStringList{"Replace all group schedules\nwith a copy of '1 - Staff'?"});
    for (int g = 0; g < 8; ++g) {
        EXPECT_EQ(Count(g, 0), 2);
        EXPECT_EQ(Count(g, 2), 1);
        EXPECT_EQ(page.EventsOf(g, 0)[1].group, g);
    }
    EXPECT_EQ(Pasting(Node::Day(0, 0), Node::Root()),
              QStringList{"Replace all daily schedules with a copy of\n'1 - Staff : Monday'?"});
    for (int g = 0; g < 8; ++g) {
        for (int d = 0; d < 7; ++d) EXPECT_EQ(Count(g, d), 2) << g << d;
    }
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(page.Delete(Node::Root()));
    Add(3, 4, "6:00 AM", true);
    EXPECT_EQ(Pasting(Node::Event(4, 6, 0, 3), Node::Root()),
              QStringList{"Copy event '06:00 AM Allow Access' to all schedules?"});
    EXPECT_EQ(page.Events().size(), 56u);
    EXPECT_TRUE(page.Events()[55].allow);
}

TEST_F(GroupsPageTest, PastesOntoAGroupAndADay) {
    Add(0, 0, "8:00 AM", true);
    Add(1, 3, "9:00 AM", false);
    EXPECT_EQ(Pasting(Node::GroupNode(0), Node::GroupNode(1)),
              QStringList{"Replace all schedules in '2 - < Untitled >'\nwith a copy of "
                          "'1 - Staff'?"});
    EXPECT_EQ(Count(1, 0), 1);
    EXPECT_EQ(Count(1, 3), 0);
    EXPECT_EQ(Pasting(Node::Day(0, 1), Node::GroupNode(1)),
              QStringList{"Replace all daily schedules in\n'2 - < Untitled >'\nwith a copy "
                          "of\n'2 - < Untitled > : Monday'?"});
    for (int d = 0; d < 7; ++d) EXPECT_EQ(Count(1, d), 1);
    EXPECT_EQ(Count(2, 0), 0);
    Add(4, 6, "11:00 PM", false);
    EXPECT_EQ(Pasting(Node::Event(6, 23, 0, 4), Node::GroupNode(5)),
              QStringList{"Copy '11:00 PM Deny Access' to all days in\n'6 - < Untitled >'?"});
    for (int d = 0; d < 7; ++d) EXPECT_FALSE(page.EventsOf(5, d).at(0).allow);

    // Onto a day: the question only when the day has events.
    EXPECT_EQ(Pasting(Node::Day(6, 4), Node::Day(1, 7), false), QStringList{});
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(page.Paste(Node::Day(1, 1)));
    EXPECT_EQ(prompter.Shown(),
              QStringList{"Replace '2 - < Untitled > : Tuesday'\nwith a copy of 5 - < Untitled "
                          "> : Sunday'?"});
    EXPECT_EQ(EventText(page.EventsOf(1, 1).at(0)), "11:00 PM Deny Access");
    EXPECT_EQ(page.EventsOf(7, 1).at(0).group, 7);
    EXPECT_EQ(Pasting(Node::Event(0, 8, 0, 0), Node::Day(2, 6), false), QStringList{});
    EXPECT_TRUE(page.EventsOf(6, 2).at(0).allow);
    EXPECT_EQ(page.EventsOf(6, 2).at(0).group, 6);
    EXPECT_FALSE(page.CanPaste(Node::Event(2, 8, 0, 6)));
}

}  // namespace
}  // namespace tandrel::testing
