#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/cli/csv_table.h"
#include "desktop/data/table_recordsets.h"
#include "platform/dao/database.h"
#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace tandrel::testing {
namespace {

// A facility with two locks, one user and audit rows as a collection
// leaves them.
class AuditCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", "--name", "Acme", "--folder", dir.Root().toStdString()}).exitCode,
                  0);
        ASSERT_EQ(Run({"lock", "add", "--name", "Front"}).out, "1\n");
        ASSERT_EQ(Run({"lock", "add", "--name", "Back"}).out, "2\n");
        const CliResult user = Run({"user", "add", "--last", "Lovelace", "--first", "Ada", "--id",
                                    "1234", "--type", "general", "--pin", "123"});
        ASSERT_EQ(user.out, "2\n") << user.err;

        auto db = dao::Database::Open(dir.Path("Acme.qfd"));
        CAuditDataRecordset audit(*db);
        auto add = [&](int lock, int key, int user, int event, QDateTime when, int level = 0,
                       int groups = 0) {
            audit.AddNew();
            audit.m_LockKey = lock;
            audit.m_AuditKey = key;
            audit.m_UserKey = user;
            audit.m_Event = static_cast<std::uint8_t>(event);
            audit.m_TimeStamp = when;
            audit.m_AccessLevel = static_cast<std::uint8_t>(level);
            audit.m_UserGroups = static_cast<std::uint8_t>(groups);
            audit.Update();
        };
        add(1, 10, 2, 3, At(14, 9, 0));
        add(2, 7, 0, 4, At(14, 9, 0));
        add(1, 11, 1, 5, At(15, 8, 30), 3, 0x81);
        add(9, 3, 77, 0x20, At(13, 23, 59));    // a lock and a user the facility lost
        add(2, 8, 2, 6, QDateTime(), 0, 0x0F);  // the lock's clock gave no real moment
    }
    static QDateTime At(int day, int hour, int minute) {
        return QDateTime(QDate(2026, 3, day), QTime(hour, minute));
    }
    CliResult Run(const std::vector<std::string>& args) { return RunOnFacility(dir, "Acme", args); }
    TempDir dir;
};

TEST_F(AuditCli, ListsNewestFirstWithNames) {
    const CliResult r = Run({"audit", "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Front\t2026-03-15 08:30\tSYSTEM\tSet Access Level\tlevel 3, groups 0x81\n"
              "Front\t2026-03-14 09:00\tLovelace, Ada\tEntry\n"
              "Back\t2026-03-14 09:00\t-\tAttempt\n"
              "9\t2026-03-13 23:59\t77\t32\n"
              "Back\t-\tLovelace, Ada\tSet Group Access\tgroups 0x0f\n");
}

TEST_F(AuditCli, FiltersByLockUserAndTime) {
    EXPECT_EQ(Run({"audit", "list", "--lock", "Back"}).out,
              "Back\t2026-03-14 09:00\t-\tAttempt\n"
              "Back\t-\tLovelace, Ada\tSet Group Access\tgroups 0x0f\n");
    EXPECT_EQ(Run({"audit", "list", "--lock", "9"}).out, "9\t2026-03-13 23:59\t77\t32\n");
    EXPECT_EQ(Run({"audit", "list", "--user", "Lovelace", "--lock", "1"}).out,
              "Front\t2026-03-14 09:00\tLovelace, Ada\tEntry\n");
    EXPECT_EQ(Run({"audit", "list", "--since", "2026-03-14 09:00"}).out,
              "Front\t2026-03-15 08:30\tSYSTEM\tSet Access Level\tlevel 3, groups 0x81\n"
              "Front\t2026-03-14 09:00\tLovelace, Ada\tEntry\n"
              "Back\t2026-03-14 09:00\t-\tAttempt\n");
    EXPECT_EQ(Run({"audit", "list", "--since", "2026-03-15"}).out.find("Entry"), std::string::npos);
    EXPECT_EQ(Run({"audit", "list", "--since", "14/03/2026"}).exitCode, 2);
    EXPECT_EQ(Run({"audit", "list", "--lock", "Side"}).exitCode, 2);
    EXPECT_EQ(Run({"audit", "show"}).exitCode, 2);
}

TEST_F(AuditCli, JsonGivesOneObjectPerEvent) {
    const CliResult r = Run({"--json", "audit", "list", "--user", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonArray list = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).array();
    ASSERT_EQ(list.size(), 1);
    const QJsonObject e = list[0].toObject();
    EXPECT_EQ(e["lock"].toInt(), 1);
    EXPECT_EQ(e["lockName"].toString(), "Front");
    EXPECT_EQ(e["auditKey"].toInt(), 11);
    EXPECT_EQ(e["time"].toString(), "2026-03-15T08:30:00");
    EXPECT_EQ(e["user"].toInt(), 1);
    EXPECT_EQ(e["userName"].toString(), "SYSTEM");
    EXPECT_EQ(e["event"].toInt(), 5);
    EXPECT_EQ(e["eventName"].toString(), "Set Access Level");
    EXPECT_EQ(e["accessLevel"].toInt(), 3);
    EXPECT_EQ(e["userGroups"].toInt(), 0x81);

    const QJsonArray lost =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(Run({"--json", "audit", "list", "--lock", "9"}).out))
            .array();
    ASSERT_EQ(lost.size(), 1);
    EXPECT_TRUE(lost[0].toObject()["lockName"].isNull());
    EXPECT_TRUE(lost[0].toObject()["userName"].isNull());
    EXPECT_EQ(lost[0].toObject()["eventName"].toString(), "32");
    EXPECT_FALSE(lost[0].toObject().contains("accessLevel"));
}

TEST_F(AuditCli, UntilIncludesTheDayOrMinuteGiven) {
    const std::string front14 = "Front\t2026-03-14 09:00\tLovelace, Ada\tEntry\n";
    const std::string back14 = "Back\t2026-03-14 09:00\t-\tAttempt\n";
    const std::string lost13 = "9\t2026-03-13 23:59\t77\t32\n";
    EXPECT_EQ(Run({"audit", "list", "--until", "2026-03-14"}).out, front14 + back14 + lost13);
    EXPECT_EQ(Run({"audit", "list", "--until", "2026-03-14 09:00"}).out, front14 + back14 + lost13);
    EXPECT_EQ(Run({"audit", "list", "--until", "2026-03-14 08:59"}).out, lost13);
    EXPECT_EQ(Run({"audit", "list", "--since", "2026-03-14", "--until", "2026-03-14"}).out,
              front14 + back14);
    EXPECT_EQ(Run({"audit", "list", "--until", "2026-02-30"}).exitCode, 2);
}

TEST_F(AuditCli, LimitStopsAfterThatManyEvents) {
    EXPECT_EQ(Run({"audit", "list", "--limit", "2"}).out,
              "Front\t2026-03-15 08:30\tSYSTEM\tSet Access Level\tlevel 3, groups 0x81\n"
              "Front\t2026-03-14 09:00\tLovelace, Ada\tEntry\n");
    EXPECT_EQ(Run({"audit", "list", "--limit", "0"}).out, "");
    EXPECT_EQ(Run({"--json", "audit", "list", "--limit", "0"}).out, "[]\n");
    const QJsonArray one =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(
                Run({"--json", "audit", "list", "--limit", "1", "--lock", "Back"}).out))
            .array();
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one[0].toObject()["auditKey"].toInt(), 7);
    EXPECT_EQ(Run({"audit", "list", "--limit", "-1"}).exitCode, 2);
    EXPECT_EQ(Run({"audit", "list", "--limit", "many"}).exitCode, 2);
}

TEST_F(AuditCli, EventByNameInAnyCaseOrByNumber) {
    EXPECT_EQ(Run({"audit", "list", "--event", "entry"}).out,
              "Front\t2026-03-14 09:00\tLovelace, Ada\tEntry\n");
    EXPECT_EQ(Run({"audit", "list", "--event", "SET GROUP ACCESS"}).out,
              "Back\t-\tLovelace, Ada\tSet Group Access\tgroups 0x0f\n");
    EXPECT_EQ(Run({"audit", "list", "--event", "4"}).out, "Back\t2026-03-14 09:00\t-\tAttempt\n");
    EXPECT_EQ(Run({"audit", "list", "--event", "32"}).out, "9\t2026-03-13 23:59\t77\t32\n");
    EXPECT_EQ(Run({"audit", "list", "--event", "Log On"}).out, "");
    const CliResult unknown = Run({"audit", "list", "--event", "Opened"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.Said("Log On, Entry, Attempt"));
    EXPECT_EQ(Run({"audit", "list", "--event", "256"}).exitCode, 2);
}

TEST_F(AuditCli, CsvHasAHeaderAndQuotesWhatNeedsIt) {
    ASSERT_EQ(Run({"lock", "edit", "Front", "--name", "Front, \"Main\""}).exitCode, 0);
    const CliResult r = Run({"audit", "list", "--csv", "--lock", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto rows = ParseCsv(r.out);
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_EQ((*rows)[0], (CsvRow{"lock", "lockName", "auditKey", "time", "user", "userName",
                                  "event", "eventName", "accessLevel", "userGroups"}));
    EXPECT_EQ((*rows)[1], (CsvRow{"1", "Front, \"Main\"", "11", "2026-03-15T08:30:00", "1",
                                  "SYSTEM", "5", "Set Access Level", "3", "129"}));
    EXPECT_EQ((*rows)[2], (CsvRow{"1", "Front, \"Main\"", "10", "2026-03-14T09:00:00", "2",
                                  "Lovelace, Ada", "3", "Entry", "", ""}));
    const auto lost = ParseCsv(Run({"audit", "list", "--csv", "--lock", "9"}).out);
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->back(),
              (CsvRow{"9", "", "3", "2026-03-13T23:59:00", "77", "", "32", "32", "", ""}));
    const auto undated = ParseCsv(Run({"audit", "list", "--csv", "--event", "6"}).out);
    ASSERT_TRUE(undated);
    EXPECT_EQ(undated->back()[3], "");
    EXPECT_EQ(Run({"--json", "audit", "list", "--csv"}).exitCode, 2);
}

// A key that names no lock and no audit rows is told, as every look-up
// that finds nothing; audit rows alone still name a lock or user.
TEST_F(AuditCli, KeysWithoutLockUserOrEventsAreToldOf) {
    const CliResult lock = Run({"audit", "list", "--lock", "99"});
    EXPECT_EQ(lock.exitCode, 2);
    EXPECT_EQ(lock.out, "");
    EXPECT_EQ(lock.err, "tandrel-cli: no lock named '99'\n");
    const CliResult user = Run({"--json", "audit", "list", "--user", "99"});
    EXPECT_EQ(user.exitCode, 2);
    EXPECT_EQ(user.out, "");
    EXPECT_EQ(user.err, "tandrel-cli: no user named '99'\n");
    EXPECT_EQ(Run({"audit", "list", "--user", "77"}).out, "9\t2026-03-13 23:59\t77\t32\n");
    EXPECT_EQ(Run({"audit", "list", "--user", "0"}).out, "Back\t2026-03-14 09:00\t-\tAttempt\n");
    // A lock without events yet lists nothing, and that is no failure.
    ASSERT_EQ(Run({"lock", "add", "--name", "Side"}).exitCode, 0);
    const CliResult quiet = Run({"audit", "list", "--lock", "3"});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out, "");
}

}  // namespace
}  // namespace tandrel::testing
