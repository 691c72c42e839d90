#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "desktop/data/facility_schema.h"
#include "desktop/data/facility_texts.h"
#include "platform/dao/scratch_file.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

class Compaction : public FacilityTest {
  protected:
    void SetUp() override {
        NewFacility();
        dao::Database& db = doc.Db();
        CLockUsersRecordset users(db);
        for (auto [key, state] : std::vector<std::pair<int, int>>{
                 {2, 1}, {3, 1}, {7, 1}, {9, 1}, {11, 0}, {12, 0}, {13, 4}, {14, 4}}) {
            users.AddNew();
            users.m_UserKey = key;
            users.m_LastName = QString("User%1").arg(key);
            users.m_RecordState = static_cast<std::uint8_t>(state);
            users.m_PendingActionCounter = state == 4 ? 1 : 0;
            users.Update();
        }
        CTimeSchedulesRecordset schedules(db);
        for (auto [key, name] : std::vector<std::pair<int, QString>>{{1, "Day"}, {4, "Night"}}) {
            schedules.AddNew();
            schedules.m_ScheduleKey = key;
            schedules.m_Name = name;
            schedules.Update();
        }
        CScheduleEventsRecordset events(db);
        events.AddNew();
        events.m_SchedLink = 4;
        events.m_Event = 77;
        events.Update();
        CHolidaysRecordset holidays(db);
        holidays.AddNew();
        holidays.m_KeyLink = 4;
        holidays.m_Name = "New Year";
        holidays.m_StartDateTime = QDateTime(QDate(2027, 1, 1), QTime(0, 0));
        holidays.m_EndDateTime = QDateTime(QDate(2027, 1, 1), QTime(23, 59));
        holidays.m_UseSchedule = false;
        holidays.Update();
        CLocksRecordset locks(db);
        for (int key : {1, 2, 5}) {
            locks.AddNew();
            locks.m_LockKey = key;
            locks.m_TSLink = key == 2 ? 4 : 0;
            locks.Update();
        }
        CUsersToLocksRecordset enrolments(db);
        int slot = 0;
        for (auto [lock, user] :
             std::vector<std::pair<int, int>>{{1, 2}, {1, 3}, {1, 7}, {1, 9}, {2, 9}, {2, 14}}) {
            enrolments.AddNew();
            enrolments.m_LockIndex = lock;
            enrolments.m_LockUserIndex = static_cast<std::int16_t>(slot++);
            enrolments.m_UserIndex = user;
            enrolments.m_RecordState = user == 14 ? 4 : 1;
            enrolments.Update();
        }
        CAuditDataRecordset audit(db);
        int key = 0;
        for (auto [user, day] : std::vector<std::pair<int, int>>{
                 {7, 10}, {9, 11}, {9, 12}, {12, 13}, {11, 1}, {0, 14}}) {
            audit.AddNew();
            audit.m_LockKey = 1;
            audit.m_AuditKey = ++key;
            audit.m_UserKey = user;
            audit.m_TimeStamp = QDateTime(QDate(2026, 5, day), QTime(8, 0));
            audit.Update();
        }
    }

    std::map<int, QString> Users() {
        std::map<int, QString> users;
        CLockUsersRecordset& rs = *doc.m_pLockUsers;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) users[rs.m_UserKey] = rs.m_LastName;
        return users;
    }
    std::vector<int> AuditUsers() {
        std::vector<int> keys;
        CAuditDataRecordset& rs = *doc.m_pAuditData;
        rs.SetCurrentIndex("PrimaryKey");
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) keys.push_back(rs.m_UserKey);
        return keys;
    }
};

TEST_F(Compaction, UserKeysCloseTheirGapsAndEverythingFollows) {
    ASSERT_TRUE(doc.Compact(std::nullopt));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kCompactedSuccessfully});
    EXPECT_EQ(
        prompter.ProgressTexts(),
        (QStringList{texts::kCompactingTitle, "", texts::kCompactingUserGroups,
                     texts::kCompactingDirectory, texts::kCompactingUsers, texts::kCopyingDevices,
                     texts::kCompactingSchedules, texts::kCompactingLocks,
                     texts::kCompactingEnrolments, texts::kCopyingAudit, texts::kCompactingTitle,
                     texts::kCompletingCompaction}));
    // A removed user named in the audit data (11, 12) stays; 13 (deleted,
    // no lock left) goes; 14 still waits for removal from a lock. Gaps are
    // filled from the top: 14 -> 4, 12 -> 5, 11 -> 6, 7 stays, 9 -> 8.
    std::map<int, QString> users = Users();
    EXPECT_EQ(users, (std::map<int, QString>{{0, "ERROR"},
                                             {1, "SYSTEM"},
                                             {2, "User2"},
                                             {3, "User3"},
                                             {4, "User14"},
                                             {5, "User12"},
                                             {6, "User11"},
                                             {7, "User7"},
                                             {8, "User9"}}));
    // Newest first: the events of users 0, 11, 12, 9, 9, 7.
    EXPECT_EQ(AuditUsers(), (std::vector<int>{0, 6, 5, 8, 8, 7}));
    CUsersToLocksRecordset& enrolments = *doc.m_pUsersToLocks;
    std::vector<std::pair<int, int>> links;
    for (enrolments.MoveFirst(); !enrolments.IsEOF(); enrolments.MoveNext()) {
        links.emplace_back(enrolments.m_LockIndex, enrolments.m_UserIndex);
    }
    EXPECT_EQ(links,
              (std::vector<std::pair<int, int>>{{1, 2}, {1, 3}, {1, 7}, {1, 8}, {2, 8}, {2, 4}}));
    // Lock keys stay; schedule 4 becomes 2 and its lock, events and holidays follow.
    CLocksRecordset& locks = *doc.m_pLocks;
    std::vector<std::pair<int, int>> lockLinks;
    for (locks.MoveFirst(); !locks.IsEOF(); locks.MoveNext()) {
        lockLinks.emplace_back(locks.m_LockKey, locks.m_TSLink);
    }
    EXPECT_EQ(lockLinks, (std::vector<std::pair<int, int>>{{1, 0}, {2, 2}, {5, 0}}));
    doc.m_pScheduleEvents->MoveFirst();
    EXPECT_EQ(doc.m_pScheduleEvents->m_SchedLink, 2);
    doc.m_pHolidays->MoveFirst();
    EXPECT_EQ(doc.m_pHolidays->m_KeyLink, 2);
    doc.m_pTimeSchedules->SetCurrentIndex("NameKey");
    ASSERT_TRUE(doc.m_pTimeSchedules->Seek("=", {"Night"}));
    EXPECT_EQ(doc.m_pTimeSchedules->m_ScheduleKey, 2);

    EXPECT_TRUE(QFileInfo::exists(CompactionBackupFile(FacilityPath())));
    EXPECT_TRUE(dao::ScratchFilesBeside(FacilityPath()).isEmpty());
    // The previous file is kept whole as the backup.
    auto backup = dao::Database::Open(CompactionBackupFile(FacilityPath()));
    EXPECT_EQ(backup->OpenTable("Users")->RecordCount(), 10);
}

TEST_F(Compaction, APurgeDropsOldEventsAndTheRemovedUsersOnlyTheyNamed) {
    ASSERT_TRUE(doc.Compact(QDate(2026, 5, 12)));
    // Events of 12, 13 and 14 May stay; user 11's only event is gone, so is
    // 11: kept are 2, 3, 7, 9, 12, 14, placed as 2, 3, 7, 6, 5, 4.
    std::map<int, QString> users = Users();
    EXPECT_EQ(users, (std::map<int, QString>{{0, "ERROR"},
                                             {1, "SYSTEM"},
                                             {2, "User2"},
                                             {3, "User3"},
                                             {4, "User14"},
                                             {5, "User12"},
                                             {6, "User9"},
                                             {7, "User7"}}));
    EXPECT_EQ(AuditUsers(), (std::vector<int>{0, 5, 6}));
}

TEST_F(Compaction, InteractivePurgeDialogRules) {
    QDate today(2026, 6, 1);
    QStringList offered;
    std::deque<std::optional<PurgeEntry>> entries = {
        PurgeEntry{true, ""}, PurgeEntry{true, "31.05.2026"},
        PurgeEntry{true, "05/30/2026"},  // two days back: the recent-data question
        PurgeEntry{true, "06/02/2026"},  // tomorrow: everything
    };
    auto ask = [&](const PurgeEntry& shown) -> std::optional<PurgeEntry> {
        offered << shown.dateText;
        auto next = entries.front();
        entries.pop_front();
        return next;
    };
    prompter.Answer(PromptAnswer::No).Answer(PromptAnswer::Yes);
    ASSERT_TRUE(doc.CompactInteractive(ask, today));
    EXPECT_EQ(prompter.Shown(), (QStringList{texts::kPurgeDateMissing, texts::kPurgeDateUnreadable,
                                             texts::kPurgeRecentQuestion, texts::kPurgeAllQuestion,
                                             texts::kCompactedSuccessfully}));
    EXPECT_EQ(offered.first(), "03/03/2026");  // 90 days back by default
    EXPECT_TRUE(AuditUsers().empty());
    EXPECT_EQ(settings.PurgeDialog().dateSpanDays, -1);
    // The next dialog offers tomorrow.
    offered.clear();
    entries = {std::nullopt};
    EXPECT_FALSE(doc.CompactInteractive(ask, today));
    EXPECT_EQ(offered, QStringList{"06/02/2026"});
}

TEST_F(FacilityTest, CompactionTurnsUsers2_3_7_9Into2_3_4_5) {
    NewFacility();
    CLockUsersRecordset users(doc.Db());
    for (int key : {2, 3, 7, 9}) {
        users.AddNew();
        users.m_UserKey = key;
        users.m_LastName = QString("User%1").arg(key);
        users.Update();
    }
    CUsersToLocksRecordset enrolments(doc.Db());
    CAuditDataRecordset audit(doc.Db());
    for (int key : {7, 9}) {
        enrolments.AddNew();
        enrolments.m_LockIndex = 1;
        enrolments.m_LockUserIndex = static_cast<std::int16_t>(key);
        enrolments.m_UserIndex = key;
        enrolments.Update();
        audit.AddNew();
        audit.m_LockKey = 1;
        audit.m_AuditKey = key;
        audit.m_UserKey = key;
        audit.Update();
    }
    ASSERT_TRUE(doc.Compact(std::nullopt)) << prompter.Shown().join("|");
    CLockUsersRecordset& after = *doc.m_pLockUsers;
    after.SetCurrentIndex("PrimaryKey");
    QStringList names;
    for (after.Seek("=", {2}); !after.IsEOF(); after.MoveNext()) names << after.m_LastName;
    EXPECT_EQ(names, (QStringList{"User2", "User3", "User9", "User7"}));
    CUsersToLocksRecordset& moved = *doc.m_pUsersToLocks;
    moved.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(moved.Seek("=", {1, 9}));
    EXPECT_EQ(moved.m_UserIndex, 4);
    CAuditDataRecordset& events = *doc.m_pAuditData;
    events.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(events.Seek("=", {1, 7}));
    EXPECT_EQ(events.m_UserKey, 5);
}

// Runs a compaction in a child process that dies at `step`.
bool CompactionKilledAt(const QString& facility, const QString& folder, const char* step) {
    pid_t child = fork();
    if (child == 0) {
        dao::Database::SetStepHook([step](const char* at) {
            if (QByteArray(at) == step) _exit(42);
        });
        AppSettings settings(folder + "/child.ini");
        FacilitySession session{folder, {}, {}};
        ScriptedPrompter prompter;
        CTDXDoc doc(session, settings, prompter);
        if (!doc.OpenFacility(facility)) _exit(1);
        doc.Compact(std::nullopt);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 42;
}

TEST_F(Compaction, AProcessKilledAtAnyStepLeavesTheFacilityWhole) {
    const QString path = FacilityPath();
    doc.CloseFacility();
    for (const char* step :
         {"compact:work-created", "compact:copied", "compact:earlier-backup-kept",
          "compact:backup-saved", "compact:replaced", "compact:closed"}) {
        ASSERT_TRUE(CompactionKilledAt(path, dir.Root(), step)) << step;
        auto db = dao::Database::Open(path);
        EXPECT_GE(db->OpenTable("Users")->RecordCount(), 8) << step;
        EXPECT_EQ(db->OpenTable("Audit Data")->RecordCount(), 6) << step;
        // The killed run's work file is gone once the facility is opened.
        EXPECT_TRUE(dao::ScratchFilesBeside(path).isEmpty()) << step;
    }
    // A compaction that runs through afterwards still works.
    ASSERT_TRUE(doc.OpenFacility(path));
    EXPECT_TRUE(doc.Compact(std::nullopt));
}

// A version 10 facility: current tables less the fields added since, user
// types coded in bits 4-5.
void MakeVersion10(const QString& path) {
    auto db = dao::Database::Create(path);
    for (dao::TableDef table : FacilityTables()) {
        if (table.name == "Users") table.fields.pop_back();  // no CardMediaType yet
        if (table.name == "FacilityProperties") table.fields.resize(27);
        db->CreateTable(table);
    }
    for (const dao::QueryDef& q : FacilityQueries()) db->CreateQueryDef(q);
    auto p = db->OpenTable("FacilityProperties");
    p->AddNew();
    p->SetValue("Name", "Old");
    p->SetValue("DBVersion", 10);
    p->Update();
    auto root = db->OpenTable("Lock Paths");
    root->AddNew();
    root->SetValue("Node Name", "Old");
    root->SetValue("Root Index", -1);
    root->Update();
    auto users = db->OpenTable("Users");
    for (auto [key, type, rights, card] :
         std::vector<std::tuple<int, int, int, bool>>{{2, 2, 3, true}, {3, 0, 1, false}}) {
        users->AddNew();
        users->SetValue("User Key", key);
        users->SetValue("Last Name", QString("User%1").arg(key));
        users->SetValue("User Type", type);
        users->SetValue("Rights", rights);
        users->SetValue("Card Media", card);
        users->Update();
    }
    auto locks = db->OpenTable("Locks");
    locks->AddNew();
    locks->SetValue("Record State", 1);
    locks->SetValue("Pending Action Counter", 0);
    locks->Update();
    auto enrolments = db->OpenTable("Users to Locks");
    // (user, old byte, follows defaults): 2 defaults; 3 its own type 1, rights 5.
    for (auto [user, byte, defaults] :
         std::vector<std::tuple<int, int, bool>>{{2, 0x23, true}, {3, 0x15, false}}) {
        enrolments->AddNew();
        enrolments->SetValue("Lock Index", 1);
        enrolments->SetValue("Lock User Index", user);
        enrolments->SetValue("User Index", user);
        enrolments->SetValue("User Type", byte);
        enrolments->SetValue("Use Type Defaults", defaults);
        enrolments->SetValue("Record State", 1);
        enrolments->Update();
    }
}

TEST_F(FacilityTest, AVersion10FacilityIsConvertedRecodedRefreshedAndCompacted) {
    MakeVersion10(FacilityPath("Old"));
    prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    ASSERT_TRUE(doc.OpenFacility(FacilityPath("Old")));
    EXPECT_EQ(
        prompter.Shown(),
        (QStringList{texts::kConvertQuestion, texts::kBackupQuestion, texts::kPermanentQuestion,
                     texts::kConvertedSuccessfully, texts::kCompactedSuccessfully}));
    EXPECT_TRUE(IsValidFacilityProperties(doc.Db()));
    doc.m_pFacilityProperties->MoveFirst();
    EXPECT_EQ(doc.m_pFacilityProperties->m_DBVersion, 11);
    CLockUsersRecordset& users = *doc.m_pLockUsers;
    users.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(users.Seek("=", {2}));
    EXPECT_EQ(users.m_CardMediaType, 1);
    ASSERT_TRUE(users.Seek("=", {3}));
    EXPECT_EQ(users.m_CardMediaType, 0);
    CUsersToLocksRecordset& enrolments = *doc.m_pUsersToLocks;
    enrolments.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(enrolments.Seek("=", {1, 2}));
    EXPECT_EQ(enrolments.m_UserType, 2 * 32 + 3);  // from the user's defaults
    EXPECT_EQ(enrolments.m_RecordState, 3);        // the forced refresh
    ASSERT_TRUE(enrolments.Seek("=", {1, 3}));
    EXPECT_EQ(enrolments.m_UserType, 1 * 32 + 5);  // its own type, moved to bits 5-6
    doc.m_pLocks->MoveFirst();
    EXPECT_EQ(doc.m_pLocks->m_RecordState, 2);
    EXPECT_TRUE(QFileInfo::exists(CompactionBackupFile(FacilityPath("Old"))));
}

TEST_F(FacilityTest, DecliningAConversionLeavesTheFileAlone) {
    MakeVersion10(FacilityPath("Old"));
    QFile f(FacilityPath("Old"));
    f.open(QIODevice::ReadOnly);
    QByteArray before = f.readAll();
    f.close();
    prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::No);
    EXPECT_FALSE(doc.OpenFacility(FacilityPath("Old")));
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), before);
}

}  // namespace
}  // namespace tandrel::testing
