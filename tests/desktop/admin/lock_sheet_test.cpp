#include "desktop/admin/lock_properties_sheet.h"
#include "desktop/admin/lock_user_sheet.h"
#include "desktop/admin/user_texts.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

class LockSheet : public FacilityTest {
  protected:
    void SetUp() override {
        NewFacility();
        CFacilityDirectoryRecordset paths(doc.Db());
        paths.AddNew();
        building = paths.m_DirectoryKey;
        paths.m_NodeName = "Building A";
        paths.m_RootIndex = 1;
        paths.Update();
        CMobileDevicesRecordset devices(doc.Db());
        devices.AddNew();
        device = devices.m_HPCKey;
        devices.m_Name = "Handheld";
        devices.Update();
    }

    int NewLock(const QString& name, int location, int deviceKey = 0) {
        auto sheet = CLockPropertiesSheet::NewLock(doc, prompter, location);
        sheet->Info().name = name;
        sheet->Info().deviceLink = deviceKey;
        EXPECT_TRUE(sheet->CheckInfoPage());
        EXPECT_TRUE(sheet->Save());
        return sheet->LockKey();
    }

    int NewUser(const QString& last, const QString& id, int type) {
        auto sheet = CLockUsersSheet::NewUser(doc, prompter);
        sheet->General() = {last, "Pat", "", kIdCode, id, "0", {}, type, 0, "123"};
        sheet->Groups().homeGroup = 0;
        EXPECT_TRUE(sheet->Save());
        return sheet->UserKey();
    }

    CLocksRecordset& Lock(int key) {
        locks_ = std::make_unique<CLocksRecordset>(doc.Db());
        locks_->SetCurrentIndex("PrimaryKey");
        EXPECT_TRUE(locks_->Seek("=", {key}));
        return *locks_;
    }

    int building = 0;
    int device = 0;
    std::unique_ptr<CLocksRecordset> locks_;
};

TEST_F(LockSheet, InfoPageChecks) {
    NewLock("Front", building);
    auto sheet = CLockPropertiesSheet::NewLock(doc, prompter, building);
    LockField field;
    auto expect = [&](const QString& message, LockField want) {
        prompter.Clear();
        EXPECT_FALSE(sheet->CheckInfoPage(&field));
        EXPECT_EQ(prompter.Shown(), QStringList{message});
        EXPECT_EQ(field, want);
    };
    sheet->Info().name = " ";
    expect(texts::kMustEnterLocation, LockField::Name);
    sheet->Info().name = "front";
    expect(texts::kLocationNameInUse, LockField::Name);
    sheet->Info().pathIndex = 1;  // the same name elsewhere is fine
    sheet->Info().openDelaySeconds = 2;
    expect(texts::kOpenDelayRange, LockField::OpenDelay);
    sheet->Info().openDelaySeconds = 31;
    expect(texts::kOpenDelayRange, LockField::OpenDelay);
    sheet->Info().openDelaySeconds = 30;
    sheet->Info().installDate = "13/45/2026";
    expect(texts::kInvalidDate, LockField::InstallDate);
    sheet->Info().installDate = "12/08/2026";
    sheet->Info().batteryInstallDate = "soon";
    expect(texts::kInvalidDate, LockField::BatteryInstallDate);
    sheet->Info().batteryInstallDate = "";
    EXPECT_TRUE(sheet->CheckInfoPage());
}

TEST_F(LockSheet, NamesAndNumbersFitTheirFields) {
    auto sheet = CLockPropertiesSheet::NewLock(doc, prompter, building);
    LockField field;
    auto expect = [&](const QString& message, LockField want) {
        prompter.Clear();
        EXPECT_FALSE(sheet->CheckInfoPage(&field)) << message.toStdString();
        EXPECT_EQ(prompter.Shown(), QStringList{message});
        EXPECT_EQ(field, want);
    };
    sheet->Info().name = QString(33, 'D');
    expect("Lock name can not be longer than 32 characters", LockField::Name);
    sheet->Info().name = "Front\nDoor";
    expect("Lock name can not contain tabs, line breaks or other control characters",
           LockField::Name);
    sheet->Info().name = "Front Door";
    sheet->Info().serialNumber = QString(21, '9');
    expect("Serial Number can not be longer than 20 characters", LockField::SerialNumber);
    sheet->Info().serialNumber = "SN\t1";  // a tab is data
    sheet->Info().modelNumber = QStringLiteral("M\x1b[2J");
    expect("Model Number can not contain control characters", LockField::ModelNumber);
    sheet->Info().modelNumber = QString(40, 'M');
    EXPECT_TRUE(sheet->CheckInfoPage());
}

TEST_F(LockSheet, ANewLockWithASmallCapacityCountsItsUsers) {
    const int prog = NewUser("Prog", "1111", kProgrammer);
    auto sheet = CLockPropertiesSheet::NewLock(doc, prompter, building);
    sheet->Info().name = "Closet";
    sheet->Info().userCapacity = 50;
    EXPECT_EQ(sheet->FreeSlots(), 50);
    ASSERT_TRUE(sheet->CheckInfoPage());
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(Lock(sheet->LockKey()).m_EnrolledUserCounter, 0);
    sheet->EnrolUsers({prog});
    EXPECT_EQ(sheet->FreeSlots(), 49);
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(Lock(sheet->LockKey()).m_EnrolledUserCounter, 1);
}

TEST_F(LockSheet, CapacityHoldsEveryEnrolmentTheLockKeeps) {
    const int lock = NewLock("Vault", building);
    std::vector<int> users;
    for (const char* id : {"1111", "2222", "3333"})
        users.push_back(NewUser(QStringLiteral("U%1").arg(id), id, kProgrammer));
    {
        auto sheet = CLockPropertiesSheet::EditLock(doc, prompter, lock);
        sheet->EnrolUsers(users);
        ASSERT_TRUE(sheet->Save());  // slots 0, 1 and 2
    }
    auto sheet = CLockPropertiesSheet::EditLock(doc, prompter, lock);
    LockField field = LockField::Name;
    auto refused = [&](int capacity, const QString& message) {
        prompter.Clear();
        sheet->Info().userCapacity = capacity;
        EXPECT_FALSE(sheet->CheckInfoPage(&field)) << capacity;
        EXPECT_EQ(prompter.Shown(), QStringList{message});
        EXPECT_EQ(field, LockField::UserCapacity);
    };
    refused(0, "User capacity must be from 1 to 2000 users.");
    refused(2001, "User capacity must be from 1 to 2000 users.");
    refused(2, "User capacity can not be less than 3: lock user slot 2 is in use.");
    // Dropping the user of the first slot leaves the third slot in use.
    EXPECT_TRUE(sheet->RemoveUsers({users[0]}));
    refused(2, "User capacity can not be less than 3: lock user slot 2 is in use.");
    // Enrolments added on the page need slots as well.
    sheet->Info().userCapacity = 2000;
    sheet->EnrolUsers({users[0], NewUser("Fourth", "4444", kGeneral)});
    refused(3, "User capacity can not be less than the 4 users enrolled in this lock.");
    sheet->Info().userCapacity = 4;
    ASSERT_TRUE(sheet->CheckInfoPage());
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(Lock(lock).m_UserCapacity, 4);
    EXPECT_EQ(Lock(lock).m_EnrolledUserCounter, 4);
}

TEST_F(LockSheet, ANewLockGetsItsPathAndDeviceState) {
    int underRoot = NewLock("Gate", 1);
    int inside = NewLock("Door", building, device);
    EXPECT_EQ(Lock(underRoot).m_FullPath, "\\");
    EXPECT_EQ(Lock(underRoot).m_DeviceLinkState, 1);
    CLocksRecordset& door = Lock(inside);
    EXPECT_EQ(door.m_FullPath, "\\Building A\\");
    EXPECT_EQ(door.m_DeviceLinkState, 2);
    EXPECT_EQ(door.m_DownloadedTSRev, 0);
    CMobileDevicesRecordset devices(doc.Db());
    devices.MoveFirst();
    EXPECT_EQ(devices.m_RecordState, 3);
}

TEST_F(LockSheet, PastingACopiedLockPrefillsANewOne) {
    int source = NewLock("Door", building, device);
    auto sheet = CLockPropertiesSheet::PasteLock(doc, prompter, source, 1);
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->IsNew());
    EXPECT_EQ(sheet->Info().name, "Door");
    EXPECT_EQ(sheet->Info().deviceLink, device);
    EXPECT_EQ(sheet->Info().pathIndex, 1);
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(Lock(sheet->LockKey()).m_FullPath, "\\");
    EXPECT_FALSE(CLockPropertiesSheet::PasteLock(doc, prompter, 999, 1));
}

TEST_F(LockSheet, StatusTexts) {
    EXPECT_EQ(BatteryJudgement(5400), "High");
    EXPECT_EQ(BatteryJudgement(5399), "Normal");
    EXPECT_EQ(BatteryJudgement(4400), "Normal");
    EXPECT_EQ(BatteryJudgement(4100), "Low");
    EXPECT_EQ(BatteryJudgement(4099), "REPLACE!");
    int key = NewLock("Door", building, device);
    EXPECT_EQ(CLockPropertiesSheet::EditLock(doc, prompter, key)->Status().device,
              "Handheld < Pending Enrollment >");
    CLocksRecordset& l = Lock(key);
    l.Edit();
    l.m_LastProgramDate = QDateTime(QDate(2026, 12, 8), QTime(15, 7));
    l.m_SupplyVolts = 4500;
    l.m_HardwareClass = 2;
    l.m_FirmwareVersion = 3 * 256 + 5;
    l.m_DeviceLink = 0;
    l.Update();
    LockStatusTexts status = CLockPropertiesSheet::EditLock(doc, prompter, key)->Status();
    EXPECT_EQ(status.device, "< None >");
    EXPECT_EQ(status.lastProgramDate, "12/08/26   03:07 PM");
    EXPECT_EQ(status.battery, "Normal");
    EXPECT_EQ(status.hardwareClass, "2");
    EXPECT_EQ(status.firmwareVersion, "3.05");
}

TEST_F(LockSheet, TheKeyLimitRefusesLock65535) {
    CLocksRecordset locks(doc.Db());
    locks.AddNew();
    locks.m_LockKey = 65534;
    locks.Update();
    auto sheet = CLockPropertiesSheet::NewLock(doc, prompter, 1);
    EXPECT_FALSE(sheet->Save());
    EXPECT_EQ(prompter.Shown().last(), texts::kOutOfKeys);
    EXPECT_EQ(locks.GetRecordCount(), 1);
}

TEST_F(LockSheet, UserEnrollmentPage) {
    int lock = NewLock("Vault", building);
    int prog = NewUser("Prog", "1111", kProgrammer);
    int general = NewUser("Gen", "2222", kGeneral);
    int third = NewUser("Third", "3333", kGeneral);
    CLocksRecordset& l = Lock(lock);
    l.Edit();
    l.m_UserCapacity = 2;
    l.Update();

    auto sheet = CLockPropertiesSheet::EditLock(doc, prompter, lock);
    EXPECT_FALSE(sheet->CheckUserPage());
    EXPECT_EQ(prompter.Shown().last(), texts::kNeedProgrammer);
    prompter.Clear();
    sheet->EnrolUsers({prog, general, third});
    EXPECT_EQ(prompter.Shown(),
              QStringList{"Unable to enroll: Third, Pat\nLock user list is full."});
    EXPECT_TRUE(sheet->CheckUserPage());
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(sheet->RemoveUsers({prog, general}));
    EXPECT_EQ(
        prompter.Shown().last(),
        "Unable to remove: Prog, Pat\nUser is last remaining enrolled Programmer ID -- Continue?");
    ASSERT_TRUE(sheet->Save());

    CLocksRecordset& saved = Lock(lock);
    EXPECT_EQ(saved.m_PgmIDCount, 1);
    EXPECT_EQ(saved.m_EnrolledUserCounter, 2);
    EXPECT_EQ(saved.m_PendingActionCounter, 2);
    CUsersToLocksRecordset rows(doc.Db());
    EXPECT_EQ(rows.GetRecordCount(), 2);
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
        EXPECT_EQ(rows.m_RecordState, kPendingEnrolment);
        EXPECT_EQ(rows.m_DownloadUserRevNumber, 0);
    }
    CLockUsersRecordset users(doc.Db());
    users.SetCurrentIndex("PrimaryKey");
    users.Seek("=", {general});
    EXPECT_EQ(users.m_PendingActionCounter, 1);
    EXPECT_EQ(users.m_EnrolledLockCounter, 1);

    // A user pending removal from the facility offers no actions.
    doc.Db().ExecuteSql("UPDATE \"Users\" SET \"Record State\" = 4 WHERE \"User Key\" = " +
                        std::to_string(third));
    auto again = CLockPropertiesSheet::EditLock(doc, prompter, lock);
    prompter.Clear();
    EXPECT_FALSE(again->UserActionsAllowed(third));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kUserPendingRemoval});
    // Removing a pending enrolment that never reached the lock drops it.
    EXPECT_TRUE(again->RemoveUsers({general}));
    ASSERT_TRUE(again->Save());
    EXPECT_EQ(CUsersToLocksRecordset(doc.Db()).GetRecordCount(), 1);
    users.Seek("=", {general});
    EXPECT_EQ(users.m_PendingActionCounter, 0);
    EXPECT_EQ(users.m_EnrolledLockCounter, 0);
}

TEST_F(LockSheet, ANewScheduleOrOpenDelayReachesACurrentLock) {
    int key = NewLock("Door", building);
    CTimeSchedulesRecordset schedules(doc.Db());
    schedules.AddNew();
    int schedule = schedules.m_ScheduleKey;
    schedules.m_Name = "Office";
    schedules.Update();
    doc.Db().ExecuteSql(
        "UPDATE \"Locks\" SET \"Record State\" = 1, \"Pending Action Counter\" = 0, "
        "\"Downloaded TS Rev\" = 1");
    auto sheet = CLockPropertiesSheet::EditLock(doc, prompter, key);
    sheet->Info().tsLink = schedule;
    ASSERT_TRUE(sheet->Save());
    CLocksRecordset& lock = Lock(key);
    EXPECT_EQ(lock.m_DownloadedTSRev, 0);
    EXPECT_EQ(lock.m_RecordState, 3);
    EXPECT_EQ(lock.m_PendingActionCounter, 2);
    // A name alone is not lock data.
    doc.Db().ExecuteSql(
        "UPDATE \"Locks\" SET \"Record State\" = 1, \"Pending Action Counter\" = 0");
    auto renamed = CLockPropertiesSheet::EditLock(doc, prompter, key);
    renamed->Info().name = "Front Door";
    ASSERT_TRUE(renamed->Save());
    EXPECT_EQ(Lock(key).m_RecordState, 1);
    EXPECT_EQ(Lock(key).m_PendingActionCounter, 0);
}

TEST_F(LockSheet, EditingALockOnADeviceFlagsTheDevice) {
    int key = NewLock("Door", building, device);
    doc.Db().ExecuteSql(
        "UPDATE \"Locks\" SET \"Device Link State\" = 1; UPDATE \"Handheld PCs\" SET \"Record "
        "State\" = 1");
    auto sheet = CLockPropertiesSheet::EditLock(doc, prompter, key);
    sheet->Info().openDelaySeconds = 10;
    ASSERT_TRUE(sheet->Save());
    EXPECT_EQ(Lock(key).m_DeviceLinkState, 3);
    EXPECT_EQ(Lock(key).m_OpenDelaySeconds, 10);
    CMobileDevicesRecordset devices(doc.Db());
    devices.MoveFirst();
    EXPECT_EQ(devices.m_RecordState, 3);
}

TEST_F(LockSheet, SaveFailuresNameWhatWentWrongAndChangeNothing) {
    int lock = NewLock("Vault", building);
    int prog = NewUser("Prog", "1111", kProgrammer);
    int gone = NewUser("Gone", "2222", kGeneral);
    auto expectFailure = [&](const std::function<void(CLockPropertiesSheet&)>& prepare,
                             const QString& message) {
        auto sheet = CLockPropertiesSheet::EditLock(doc, prompter, lock);
        prepare(*sheet);
        std::int64_t rowsBefore = CUsersToLocksRecordset(doc.Db()).GetRecordCount();
        prompter.Clear();
        EXPECT_FALSE(sheet->Save());
        EXPECT_EQ(prompter.Shown(), QStringList{message});
        EXPECT_EQ(CUsersToLocksRecordset(doc.Db()).GetRecordCount(), rowsBefore);
    };
    expectFailure(
        [&](CLockPropertiesSheet& s) {
            s.EnrolUsers({prog, gone});
            doc.Db().ExecuteSql("DELETE FROM \"Users\" WHERE \"User Key\" = " +
                                std::to_string(gone));
        },
        "User Data Not Found\nCan Not Continue.");
    expectFailure(
        [&](CLockPropertiesSheet& s) {
            s.EnrolUsers({prog});
            doc.Db().ExecuteSql("UPDATE \"Users\" SET \"Record State\" = 4 WHERE \"User Key\" = " +
                                std::to_string(prog));
        },
        "Invalid User Enrollment Transaction\nCan Not Continue.");
    doc.Db().ExecuteSql("UPDATE \"Users\" SET \"Record State\" = 1");
    {
        auto sheet = CLockPropertiesSheet::EditLock(doc, prompter, lock);
        sheet->EnrolUsers({prog});
        ASSERT_TRUE(sheet->Save());
    }
    expectFailure(
        [&](CLockPropertiesSheet& s) {
            s.SetUserType(prog, kProgrammer, 1, false);
            doc.Db().ExecuteSql("DELETE FROM \"Users to Locks\"");
        },
        "User Enrollment Data Not Found\nCan Not Continue.");
    expectFailure(
        [&](CLockPropertiesSheet& s) {
            s.Info().name = "Renamed";
            doc.Db().ExecuteSql("DELETE FROM \"Locks\"");
        },
        "Lock User Enrollment Error\nCan Not Continue.");
    auto orphan = CLockPropertiesSheet::NewLock(doc, prompter, 999);
    prompter.Clear();
    EXPECT_FALSE(orphan->Save());
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kFailedQuery});
}

}  // namespace
}  // namespace tandrel::testing
