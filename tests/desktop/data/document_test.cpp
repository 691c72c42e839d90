#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "desktop/data/facility_schema.h"
#include "desktop/data/facility_texts.h"
#include "protocol/mixing.h"
#include "protocol/packed_date.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

TEST_F(FacilityTest, NewFacilityWritesItsFirstRows) {
    prompter.Answer(PromptAnswer::No);
    NewFacilityValues values;
    values.name = "Acme";
    values.facilityCode = "123";
    ASSERT_TRUE(doc.NewFacility(values, QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53))));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kAssignPasswordQuestion});
    EXPECT_TRUE(QFileInfo::exists(FacilityPath()));

    CFacilityPropertiesRecordset& p = *doc.m_pFacilityProperties;
    p.MoveFirst();
    EXPECT_EQ(p.m_Name, "Acme");
    EXPECT_EQ(p.m_FacilityCode, "123");
    EXPECT_EQ(p.m_Revision, 1);
    EXPECT_EQ(p.m_DBVersion, 11);
    EXPECT_EQ(p.m_CommCode, 2422);  // the code of "Acme" created 03/14 09:26:53
    EXPECT_EQ(p.m_IDCodeLength, 4);
    EXPECT_EQ(p.m_PINLength, 3);

    CLockUsersRecordset& users = *doc.m_pLockUsers;
    users.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(users.Seek("=", {0}));
    EXPECT_EQ(users.m_LastName, "ERROR");
    ASSERT_TRUE(users.Seek("=", {1}));
    EXPECT_EQ(users.m_LastName, "SYSTEM");
    EXPECT_EQ(users.m_RecordState, 0);
    EXPECT_EQ(users.m_GroupMask, 0);
    EXPECT_EQ(users.GetRecordCount(), 2);

    CGroupsRecordset& groups = *doc.m_pGroups;
    groups.SetCurrentIndex("PrimaryKey");
    int count = 0;
    for (groups.MoveFirst(); !groups.IsEOF(); groups.MoveNext(), ++count) {
        EXPECT_EQ(groups.m_GroupKey, count);
        EXPECT_EQ(groups.m_GroupName, "< Untitled >");
        auto date = protocol::UnpackDate(static_cast<std::uint16_t>(groups.m_PINDate), 2026);
        ASSERT_TRUE(date);
        EXPECT_EQ(date->month, 3);
        EXPECT_FALSE(groups.m_RecodeDate.isEmpty());
    }
    EXPECT_EQ(count, 8);

    CFacilityDirectoryRecordset& root = *doc.m_pFacilityDirectory;
    root.MoveFirst();
    EXPECT_EQ(root.m_NodeName, "Acme");
    EXPECT_EQ(root.m_RootIndex, -1);
    EXPECT_EQ(settings.CurrentDBPath(), FacilityPath());
}

TEST_F(FacilityTest, NewFacilityRefusesAnEmptyNameAndAnExistingFile) {
    NewFacility();
    NewFacilityValues values;
    EXPECT_FALSE(doc.NewFacility(values));
    values.name = "Acme";
    EXPECT_FALSE(doc.NewFacility(values));
    EXPECT_EQ(prompter.Shown(),
              (QStringList{texts::kMustEnterFacilityName, "'Acme' Facility already exists."}));
}

TEST_F(FacilityTest, TheTypedAndTheDerivedPasswordBothOpen) {
    NewFacility();
    prompter.NewPassword(PasswordEntry{"secret1", "secret1", false}).Answer(PromptAnswer::Yes);
    ASSERT_TRUE(doc.SetFacilityPassword());
    EXPECT_EQ(session.password, "6736secret1");
    EXPECT_EQ(prompter.Shown(),
              (QStringList{"[Set Facility Password]", texts::kLosePasswordQuestion}));

    for (QString typed : {"secret1", "6736secret1"}) {
        session.password.clear();
        prompter.Clear();
        prompter.Password(typed);
        EXPECT_TRUE(Reopen()) << typed.toStdString();
        EXPECT_EQ(session.password, "6736secret1");
        EXPECT_EQ(prompter.Shown(), QStringList{"[password prompt] Acme"});
    }
}

TEST_F(FacilityTest, ThreeWrongPasswordsOrCancelEndTheOpen) {
    NewFacility();
    prompter.NewPassword(PasswordEntry{"secret1", "secret1", true}).Answer(PromptAnswer::Yes);
    ASSERT_TRUE(doc.SetFacilityPassword());
    EXPECT_EQ(session.password, "secret1");
    session.password.clear();
    prompter.Clear();
    prompter.Password("wrong1").Password("wrong2").Password("wrong3");
    EXPECT_FALSE(Reopen());
    EXPECT_EQ(prompter.Shown().count(texts::kInvalidFacilityPassword), 3);
    EXPECT_TRUE(prompter.AllAnswersUsed());
    prompter.Clear();
    prompter.Password(std::nullopt);
    EXPECT_FALSE(doc.OpenFacility(FacilityPath()));
    prompter.Password(QString());
    EXPECT_FALSE(doc.OpenFacility(FacilityPath()));
    EXPECT_FALSE(prompter.Shown().contains(texts::kInvalidFacilityPassword));
}

TEST_F(FacilityTest, PasswordDialogChecks) {
    NewFacility();
    // Removing the password of a facility without one asks nothing.
    prompter.NewPassword(PasswordEntry{"", "", false});
    EXPECT_TRUE(doc.SetFacilityPassword());
    EXPECT_EQ(prompter.Shown(), QStringList{"[Set Facility Password]"});
    prompter.Clear();
    prompter.NewPassword(PasswordEntry{"abcde", "abcde", false})
        .NewPassword(PasswordEntry{"abcdefghijklmno", "abcdefghijklmno", false})
        .NewPassword(PasswordEntry{"abcdefg", "abcdefh", false})
        .NewPassword(PasswordEntry{"abcdefghijklmn", "abcdefghijklmn", false})
        .Answer(PromptAnswer::No)
        .NewPassword(PasswordEntry{"abcdefghijklmn", "abcdefghijklmn", false})
        .Answer(PromptAnswer::Yes);
    EXPECT_TRUE(doc.SetFacilityPassword());
    EXPECT_EQ(prompter.Shown().count(texts::kPasswordLength), 2);
    EXPECT_EQ(prompter.Shown().count(texts::kConfirmationMismatch), 1);
    // Only the leading characters of a 14-character password take effect.
    EXPECT_EQ(session.password, "52752abcdefghi");
    prompter.Clear();
    prompter.NewPassword(PasswordEntry{"", "", false}).Answer(PromptAnswer::Yes);
    EXPECT_TRUE(doc.SetFacilityPassword());
    EXPECT_EQ(prompter.Shown(),
              (QStringList{"[Set Facility Password]", texts::kRemovePasswordQuestion}));
    EXPECT_TRUE(session.password.isEmpty());
    EXPECT_TRUE(FileBytes(FacilityPath()).startsWith("SQLite format 3"));
}

TEST_F(FacilityTest, CompatibleSecretIsSetAsTypedAfterTheWarning) {
    NewFacility();
    prompter.NewPassword(PasswordEntry{"secret-pw", "secret-pw", true}).Answer(PromptAnswer::Yes);
    EXPECT_TRUE(doc.SetFacilityPassword());
    EXPECT_EQ(prompter.Shown(),
              (QStringList{"[Set Facility Password]", texts::kCompatibilityWarning,
                           texts::kLosePasswordQuestion}));
    EXPECT_EQ(session.password, "secret-pw");
}

// Sets DBVersion of a closed facility file.
void SetVersion(const QString& path, int version) {
    auto db = dao::Database::Open(path);
    db->ExecuteSql("UPDATE FacilityProperties SET DBVersion = " + std::to_string(version));
}

TEST_F(FacilityTest, VersionsThatCannotBeOpened) {
    NewFacility();
    doc.CloseFacility();
    const QString path = FacilityPath();
    struct Case {
        std::function<void()> damage;
        QString message;
    };
    std::vector<Case> cases = {
        {[&] { SetVersion(path, 12); }, texts::kFormatNotSupported},
        {[&] { SetVersion(path, 6); }, texts::kOlderNotConvertible},
        {[&] { SetVersion(path, 0); }, texts::kFormatUnrecognized},
        {[&] { dao::Database::Open(path)->ExecuteSql("DELETE FROM FacilityProperties"); },
         texts::kFormatUnrecognized},
    };
    for (const Case& c : cases) {
        c.damage();
        QByteArray before = FileBytes(path);
        prompter.Clear();
        EXPECT_FALSE(doc.OpenFacility(path));
        EXPECT_EQ(prompter.Shown(), QStringList{c.message});
        EXPECT_FALSE(doc.IsOpen());
        EXPECT_EQ(FileBytes(path), before);
    }
}

TEST_F(FacilityTest, AFacilityPropertiesLayoutThatDiffersIsAnError) {
    auto db = dao::Database::Create(FacilityPath("Odd"));
    dao::TableDef properties = FacilityTable(kFacilityPropertiesTable);
    properties.fields[1].size = 50;
    db->CreateTable(properties);
    auto rs = db->OpenTable(kFacilityPropertiesTable);
    rs->AddNew();
    rs->Update();
    db.reset();
    EXPECT_FALSE(doc.OpenFacility(FacilityPath("Odd")));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kErrorInFacilityDatabase});
}

TEST_F(FacilityTest, FilesThatAreNoFacilityGiveAMessageAndStayUntouched) {
    NewFacility();
    doc.CloseFacility();
    QByteArray whole = FileBytes(FacilityPath());
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.Path(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    };
    write("random.qfd", QByteArray(10000, '\x5a'));
    write("cut.qfd", whole.left(whole.size() / 3));
    {
        dao::sqlite::Connection other;
        other.Open(dir.Path("other.qfd"), true);
        other.Exec("CREATE TABLE t(x)");
    }
    for (QString name : {"random.qfd", "cut.qfd", "other.qfd"}) {
        QByteArray before = FileBytes(dir.Path(name));
        prompter.Clear();
        EXPECT_FALSE(doc.OpenFacility(dir.Path(name))) << name.toStdString();
        ASSERT_EQ(prompter.Shown().size(), 1) << name.toStdString();
        EXPECT_FALSE(prompter.Shown()[0].isEmpty());
        EXPECT_EQ(FileBytes(dir.Path(name)), before);
    }
    // A facility another program holds open.
    auto holder = dao::Database::Open(FacilityPath());
    prompter.Clear();
    EXPECT_FALSE(doc.OpenFacility(FacilityPath()));
    EXPECT_EQ(prompter.Shown(), QStringList{dao::ErrorText(dao::kErrFileInUse, FacilityPath())});
}

TEST_F(FacilityTest, ARenamedFileOffersToTakeTheNewName) {
    NewFacility();
    CMobileDevicesRecordset devices(doc.Db());
    devices.AddNew();
    devices.m_Name = "Handheld";
    devices.Update();
    doc.CloseFacility();
    ASSERT_TRUE(QFile::rename(FacilityPath(), FacilityPath("Main")));
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(doc.OpenFacility(FacilityPath("Main")));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kFacilityRenamedQuestion});
    doc.m_pFacilityProperties->MoveFirst();
    EXPECT_EQ(doc.m_pFacilityProperties->m_Name, "Main");
    doc.m_pFacilityDirectory->MoveFirst();
    EXPECT_EQ(doc.m_pFacilityDirectory->m_NodeName, "Main");
    doc.m_pMobileDevices->MoveFirst();
    EXPECT_EQ(doc.m_pMobileDevices->m_RecordState, 3);
    prompter.Clear();
    EXPECT_TRUE(Reopen());
    EXPECT_TRUE(prompter.Shown().isEmpty());
}

TEST_F(FacilityTest, ForceRefreshMarksTheLockAndItsCurrentEnrolments) {
    NewFacility();
    GeneratorOptions options;
    options.locks = 2;
    options.users = 3;
    options.enrolments = 6;
    GenerateFacilityData(doc.Db(), options);
    ASSERT_TRUE(doc.ForceRefresh({1}));
    CLocksRecordset& locks = *doc.m_pLocks;
    locks.SetCurrentIndex("PrimaryKey");
    ASSERT_TRUE(locks.Seek("=", {1}));
    EXPECT_EQ(locks.m_RecordState, 2);
    EXPECT_EQ(locks.m_PendingActionCounter, 2);
    EXPECT_EQ(locks.m_DataDownloadedFlag, 0);
    EXPECT_EQ(locks.m_DownloadedFacilityRev, 0);
    EXPECT_TRUE(locks.m_RebuildUserList);
    ASSERT_TRUE(locks.Seek("=", {2}));
    EXPECT_EQ(locks.m_RecordState, 1);
    CUsersToLocksRecordset& enrolments = *doc.m_pUsersToLocks;
    for (enrolments.MoveFirst(); !enrolments.IsEOF(); enrolments.MoveNext()) {
        EXPECT_EQ(enrolments.m_RecordState, enrolments.m_LockIndex == 1 ? 3 : 1);
    }
    CLockUsersRecordset& users = *doc.m_pLockUsers;
    int pending = 0;
    for (users.MoveFirst(); !users.IsEOF(); users.MoveNext())
        pending += users.m_PendingActionCounter;
    EXPECT_EQ(pending, 3);
    prompter.Clear();
    EXPECT_FALSE(doc.ForceRefresh({99}));
    EXPECT_EQ(prompter.Shown(), QStringList{"Error retrieving lock record-- Can Not Continue"});
}

}  // namespace
}  // namespace tandrel::testing
