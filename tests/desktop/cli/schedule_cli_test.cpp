#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace tandrel::testing {
namespace {

using Result = CliResult;

class ScheduleCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", "--name", "Acme", "--folder", dir.Root().toStdString()}).exitCode,
                  0);
        ASSERT_EQ(Run({"schedule", "add", "Day Shift"}).out, "1\n");
    }
    // Questions are answered Yes, or from `typed` as on a terminal.
    Result Run(std::vector<std::string> args, const std::string& typed = {}) {
        std::vector<std::string> all = {"--settings", dir.Path("s.ini").toStdString()};
        if (typed.empty()) all.push_back("--yes");
        if (args[0] != "create")
            all.insert(all.end(), {"--file", dir.Path("Acme.qfd").toStdString()});
        all.insert(all.end(), args.begin(), args.end());
        return RunCapturing(all, typed);
    }
    QJsonObject Show(const std::string& schedule = "Day Shift") {
        Result r = Run({"--json", "schedule", "show", schedule});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    }
    QStringList Events(const std::string& schedule = "Day Shift") {
        QStringList events;
        for (const QJsonValue& v : Show(schedule)["events"].toArray())
            events << v["where"].toString() + ": " + v["event"].toString();
        return events;
    }
    TempDir dir;
};

TEST_F(ScheduleCli, AddCopyListAndDelete) {
    Result taken = Run({"schedule", "add", "day shift"});
    EXPECT_EQ(taken.exitCode, 1);
    EXPECT_TRUE(taken.Said("Time Schedule Name Already In Use"));
    ASSERT_EQ(Run({"schedule", "event", "add", "Day Shift", "--day", "Monday", "--time", "9p",
                   "--level", "ID Required", "--pin-required"})
                  .exitCode,
              0);
    ASSERT_EQ(Run({"schedule", "copy", "Day Shift", "Late Shift"}).out, "2\n");
    EXPECT_EQ(Events("Late Shift"), QStringList{"Monday: 09:00 PM ID Required / PIN Required"});
    EXPECT_EQ(Run({"schedule", "list"}).out, "1\tDay Shift\n2\tLate Shift\n");

    Result kept = Run({"schedule", "delete", "Day Shift"}, "n\n");
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_TRUE(kept.Said("Permanently delete 'Day Shift' time schedule?"));
    ASSERT_EQ(Run({"schedule", "delete", "1"}).exitCode, 0);
    EXPECT_EQ(Run({"schedule", "list"}).out, "2\tLate Shift\n");
    EXPECT_EQ(Run({"schedule", "show", "Day Shift"}).exitCode, 2);
}

TEST_F(ScheduleCli, EventsInTheDialogsInputForm) {
    ASSERT_EQ(Run({"schedule", "event", "add", "Day Shift", "--day", "monday", "--time", "8a",
                   "--level", "unlock", "--no-override"})
                  .exitCode,
              0);
    ASSERT_EQ(Run({"schedule", "event", "add", "Day Shift", "--group", "1", "--day", "Monday",
                   "--time", "8:00 AM", "--allow"})
                  .exitCode,
              0);
    struct Refusal {
        std::vector<std::string> args;
        std::string message;
    };
    const Refusal refusals[] = {
        {{"--day", "Monday", "--time", "8:00 AM", "--level", "Lockout"},
         "An event is already scheduled for 08:00 AM"},
        {{"--day", "Monday", "--time", "8", "--level", "Lockout"},
         "Unrecognized time format -- Use 'hh:mm am/pm'"},
        {{"--day", "Monday", "--time", "9a"}, "You must select an access level"},
        {{"--time", "9a", "--level", "Lockout"}, "You must first select\na day of the week."},
        {{"--group", "2", "--day", "Friday", "--time", "9x", "--deny"},
         "Unrecognized time format -- Use 'hh:mm am/pm'"},
    };
    for (const Refusal& r : refusals) {
        std::vector<std::string> args = {"schedule", "event", "add", "Day Shift"};
        args.insert(args.end(), r.args.begin(), r.args.end());
        Result result = Run(args);
        EXPECT_EQ(result.exitCode, 1) << r.message;
        EXPECT_TRUE(result.Said(r.message)) << result.err;
    }
    EXPECT_EQ(Run({"schedule", "event", "add", "Day Shift", "--group", "1", "--day", "Monday",
                   "--time", "9:00 AM", "--allow", "--deny"})
                  .exitCode,
              2);
    EXPECT_EQ(Events(), QStringList({"Monday: 08:00 AM Unlock / No Manager Override",
                                     "1 - < Untitled > : Monday: 08:00 AM Allow Access"}));
    EXPECT_EQ(Show()["revision"].toInt(), 3);

    Result gone = Run({"schedule", "event", "delete", "Day Shift", "--day", "Monday"});
    EXPECT_EQ(gone.exitCode, 0);
    EXPECT_TRUE(gone.Said("Delete all events from Monday's schedule?"));
    EXPECT_EQ(Events(), QStringList{"1 - < Untitled > : Monday: 08:00 AM Allow Access"});
    ASSERT_EQ(Run({"schedule", "event", "delete", "Day Shift", "--group", "all"}).exitCode, 0);
    EXPECT_TRUE(Events().isEmpty());
}

TEST_F(ScheduleCli, PasteOntoADayAGroupAndAll) {
    ASSERT_EQ(Run({"schedule", "event", "add", "Day Shift", "--day", "Monday", "--time", "7a",
                   "--level", "Unlock with ID"})
                  .exitCode,
              0);
    Result all = Run({"schedule", "paste", "Day Shift", "--day", "Monday", "--to", "all"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(Events().size(), 7);
    EXPECT_EQ(Events().last(), "Sunday: 07:00 AM Unlock with ID");
    EXPECT_EQ(Run({"schedule", "paste", "Day Shift", "--day", "Monday", "--time", "7a", "--to",
                   "Monday", "--to-group", "1"})
                  .exitCode,
              2);  // master events stay on the master page

    ASSERT_EQ(Run({"schedule", "event", "add", "Day Shift", "--group", "3", "--day", "Friday",
                   "--time", "6:30 PM", "--deny"})
                  .exitCode,
              0);
    Result group = Run({"schedule", "paste", "Day Shift", "--group", "3", "--day", "Friday",
                        "--time", "6:30 PM", "--to-group", "4"});
    ASSERT_EQ(group.exitCode, 0);
    EXPECT_TRUE(group.Said("Copy '06:30 PM Deny Access' to all days in\n'4 - < Untitled >'?"));
    ASSERT_EQ(Run({"schedule", "paste", "Day Shift", "--group", "3", "--day", "Friday", "--to",
                   "Tuesday", "--to-group", "8"})
                  .exitCode,
              0);
    const QStringList events = Events();
    EXPECT_EQ(events.filter("4 - < Untitled > : ").size(), 7);
    EXPECT_TRUE(events.contains("8 - < Untitled > : Tuesday: 06:30 PM Deny Access"));
    EXPECT_EQ(events.size(), 7 + 1 + 7 + 1);
}

TEST_F(ScheduleCli, EveryTimeFieldTakesTheShortForm) {
    ASSERT_EQ(Run({"schedule", "event", "add", "Day Shift", "--day", "Monday", "--time", "8a",
                   "--level", "Unlock"})
                  .exitCode,
              0);
    Result group = Run({"schedule", "event", "add", "Day Shift", "--group", "2", "--day", "Friday",
                        "--time", "6p", "--deny"});
    ASSERT_EQ(group.exitCode, 0) << group.err;
    Result holiday =
        Run({"schedule", "holiday", "add", "Day Shift", "--name", "Eve", "--start", "12/24",
             "--start-time", "5p", "--end", "12/26", "--end-time", "8a", "--level", "Lockout"});
    ASSERT_EQ(holiday.exitCode, 0) << holiday.err;
    EXPECT_EQ(Events(), QStringList({"Monday: 08:00 AM Unlock",
                                     "2 - < Untitled > : Friday: 06:00 PM Deny Access"}));
    const QJsonObject eve = Show()["holidays"].toArray()[0].toObject();
    EXPECT_EQ(eve["start"].toString(), "12/24 05:00 PM");
    EXPECT_EQ(eve["end"].toString(), "12/26 08:00 AM");

    Result backwards =
        Run({"schedule", "holiday", "add", "Day Shift", "--name", "Slip", "--start", "07/04",
             "--start-time", "6p", "--end", "07/04", "--end-time", "6a", "--level", "Lockout"});
    EXPECT_EQ(backwards.exitCode, 1);
    EXPECT_TRUE(backwards.Said("The end comes before the start"));
    EXPECT_EQ(Show()["holidays"].toArray().size(), 1);
}

TEST_F(ScheduleCli, HolidaysAndEnrolment) {
    const std::vector<std::string> add = {"schedule", "holiday", "add", "Day Shift"};
    auto holiday = [&](std::vector<std::string> args) {
        std::vector<std::string> all = add;
        all.insert(all.end(), args.begin(), args.end());
        return Run(all);
    };
    ASSERT_EQ(holiday({"--name", "Eve", "--start", "12/24", "--start-time", "8:00 AM", "--end",
                       "12/24", "--end-time", "11:59 PM", "--level", "Lockout", "--groups", "1,3"})
                  .exitCode,
              0);
    Result overlap = holiday({"--name", "Day", "--start", "12/24", "--start-time", "11:59 PM",
                              "--end", "12/26", "--end-time", "8:00 AM", "--daily", "Sunday"});
    EXPECT_EQ(overlap.exitCode, 1);
    EXPECT_TRUE(overlap.Said("Overlapping holiday periods are not permitted"));
    ASSERT_EQ(holiday({"--name", "Day", "--start", "12/25", "--start-time", "12:00 AM", "--end",
                       "12/26", "--end-time", "8:00 AM", "--daily", "Sunday"})
                  .exitCode,
              0);
    const QJsonArray holidays = Show()["holidays"].toArray();
    ASSERT_EQ(holidays.size(), 2);
    EXPECT_EQ(holidays[0]["access"].toString(), "Lockout");
    EXPECT_EQ(holidays[1]["access"].toString(), "Use Sunday's");
    EXPECT_EQ(holidays[1]["end"].toString(), "12/26 08:00 AM");
    Result deleted = Run({"schedule", "holiday", "delete", "Day Shift", "Eve"});
    EXPECT_EQ(deleted.exitCode, 0);
    EXPECT_TRUE(deleted.Said("Delete 'Eve' holiday?"));
    EXPECT_TRUE(Run({"schedule", "holiday", "clear", "Day Shift"}).Said("Clear entire holiday"));
    Result empty = Run({"schedule", "holiday", "clear", "Day Shift"});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_TRUE(empty.Said("Holiday list is empty"));

    ASSERT_EQ(Run({"location", "add", "\\East\\"}).exitCode, 0);
    ASSERT_EQ(Run({"lock", "add", "--name", "Front"}).exitCode, 0);
    ASSERT_EQ(Run({"lock", "add", "--name", "Back", "--location", "\\East\\"}).exitCode, 0);
    ASSERT_EQ(Run({"schedule", "enrol", "Day Shift", "\\East\\", "Front"}).exitCode, 0);
    const QJsonArray locks = Show()["locks"].toArray();
    ASSERT_EQ(locks.size(), 2);
    EXPECT_EQ(locks[0]["status"].toString(), "Pending Update");
    ASSERT_EQ(Run({"schedule", "remove", "Day Shift", "\\"}).exitCode, 0);
    EXPECT_TRUE(Show()["locks"].toArray().isEmpty());
}

}  // namespace
}  // namespace tandrel::testing
