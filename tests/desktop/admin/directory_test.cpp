#include "desktop/admin/directory_texts.h"
#include "desktop/admin/facility_directory.h"
#include "desktop/admin/lock_user_sheet.h"
#include "desktop/admin/user_list.h"
#include "desktop/admin/user_list_ops.h"
#include "desktop/admin/user_texts.h"
#include "tests/desktop/data/facility_fixture.h"

namespace tandrel::testing {
namespace {

class Directory : public FacilityTest {
  protected:
    void SetUp() override {
        NewFacility();
        ASSERT_TRUE(dir_.Load());
    }
    int Add(int parent, const QString& name) {
        auto key = dir_.AddLocation(parent, name);
        EXPECT_TRUE(key) << name.toStdString();
        return key.value_or(-1);
    }
    int AddLock(const QString& name, int location, int device = 0) {
        CLocksRecordset locks(doc.Db());
        locks.AddNew();
        int key = locks.m_LockKey;
        locks.m_Name = name;
        locks.m_PathIndex = location;
        locks.m_FullPath = dir_.Path(location);
        locks.m_DeviceLink = device;
        locks.m_DeviceLinkState = 1;
        locks.Update();
        return key;
    }
    int AddDevice() {
        CMobileDevicesRecordset devices(doc.Db());
        devices.AddNew();
        int key = devices.m_HPCKey;
        devices.m_Name = "Handheld";
        devices.Update();
        return key;
    }
    CLocksRecordset& Lock(int key) {
        locks_ = std::make_unique<CLocksRecordset>(doc.Db());
        locks_->SetCurrentIndex("PrimaryKey");
        EXPECT_TRUE(locks_->Seek("=", {key}));
        return *locks_;
    }
    // Makes the next update of one lock fail inside the engine.
    void FailUpdatesOfLock(int key) {
        doc.Db().ExecuteSql(
            "CREATE TEMP TRIGGER qx_fail BEFORE UPDATE ON \"Locks\" WHEN "
            "old.\"Lock Key\" = " +
            std::to_string(key) + " BEGIN SELECT RAISE(ABORT, 'injected'); END");
    }

    FacilityDirectory dir_{doc, prompter};
    std::unique_ptr<CLocksRecordset> locks_;
};

TEST_F(Directory, PathsDepthsAndItemValues) {
    int a = Add(1, "Building A");
    int east = Add(a, "East");
    EXPECT_EQ(dir_.Path(1), "\\");
    EXPECT_EQ(dir_.Path(east), "\\Building A\\East\\");
    EXPECT_EQ(dir_.Depth(east), 2);
    EXPECT_EQ(DirectoryItemValue(east, false), 0x10000u + static_cast<unsigned>(east));
    EXPECT_EQ(DirectoryItemValue(1, true), 1u);
    AddLock("Zulu", a);
    AddLock("Alpha", a);
    std::vector<DirectoryListEntry> list = dir_.ListOf(a);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(list[0].location);
    EXPECT_EQ(list[1].text, "Alpha");
    EXPECT_EQ(list[2].text, "Zulu");
    // A reload places every level again.
    FacilityDirectory again(doc, prompter);
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Path(east), "\\Building A\\East\\");
}

TEST_F(Directory, AMissingParentOrACycleFailsTheWholeLoad) {
    int a = Add(1, "A");
    doc.Db().ExecuteSql(
        "UPDATE \"Lock Paths\" SET \"Root Index\" = 999 WHERE \"Directory Key\" = " +
        std::to_string(a));
    EXPECT_FALSE(dir_.Load());
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kDirectoryLoadError});
    EXPECT_FALSE(dir_.IsLoaded());
    int b = a + 1;
    doc.Db().ExecuteSql(
        "INSERT INTO \"Lock Paths\" (\"Directory Key\", \"Node Name\", \"Root Index\") "
        "VALUES (" +
        std::to_string(b) + ", 'B', " + std::to_string(a) + ")");
    doc.Db().ExecuteSql("UPDATE \"Lock Paths\" SET \"Root Index\" = " + std::to_string(b) +
                        " WHERE \"Directory Key\" = " + std::to_string(a));
    prompter.Clear();
    EXPECT_FALSE(dir_.Load());
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kDirectoryLoadError});
}

TEST_F(Directory, SixLevelsBelowTheRootAndNoMore) {
    int at = 1;
    for (int level = 1; level <= 5; ++level) at = Add(at, QString("Level %1").arg(level));
    EXPECT_TRUE(dir_.CanAddLocation(at));  // depth 5
    at = Add(at, "Level 6");
    EXPECT_FALSE(dir_.CanAddLocation(at));  // depth 6
    EXPECT_EQ(prompter.Shown(), QStringList{"Facility paths can not excede 6 locations in depth"});
    EXPECT_FALSE(ExplorerMenuFor(dir_, at, false).newLocation);
    EXPECT_TRUE(ExplorerMenuFor(dir_, 1, false).newLocation);
}

TEST_F(Directory, SiblingNamesAreUnique) {
    int a = Add(1, "A");
    int b = Add(1, "B");
    Add(a, "East");
    EXPECT_FALSE(dir_.AddLocation(a, "east"));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kLocationNameInUseRestart});
    EXPECT_TRUE(dir_.AddLocation(b, "East"));
    prompter.Clear();
    EXPECT_FALSE(dir_.RenameLocation(b, "A"));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kLocationNameInUseRestart});
}

// A name that would split a path, break a line or not fit its field is
// refused whether the location is new or renamed; nothing is written.
TEST_F(Directory, LocationNamesAreOneLevelOfAPath) {
    const int a = Add(1, "Building A");
    const QString before = dir_.Path(a);
    const struct {
        QString name;
        QString message;
    } cases[] = {
        {"  ", "You Must Enter a Location Name"},
        {"East\\Wing", "Location name can not contain \"\\\": it separates the levels of a path"},
        {"East\nWing",
         "Location name can not contain tabs, line breaks or other control characters"},
        {QString(33, 'E'), "Location name can not be longer than 32 characters"},
    };
    for (const auto& c : cases) {
        prompter.Clear();
        EXPECT_FALSE(dir_.AddLocation(1, c.name)) << c.name.toStdString();
        EXPECT_FALSE(dir_.RenameLocation(a, c.name)) << c.name.toStdString();
        EXPECT_EQ(prompter.Shown(), QStringList({c.message, c.message}));
    }
    EXPECT_EQ(dir_.Path(a), before);
    EXPECT_EQ(dir_.Children(1).size(), 1u);
    EXPECT_EQ(CFacilityDirectoryRecordset(doc.Db()).GetRecordCount(), 2);
    EXPECT_TRUE(dir_.RenameLocation(a, QString(32, 'B')));
}

TEST_F(Directory, RenamingRewritesEveryPathBelowAndFlagsTheDevices) {
    int device = AddDevice();
    int a = Add(1, "A");
    int deep = Add(Add(Add(a, "B"), "C"), "D");
    int top = AddLock("Top", a, device);
    int low = AddLock("Low", deep);
    int elsewhere = AddLock("Else", Add(1, "Other"));
    ASSERT_TRUE(dir_.RenameLocation(a, "North"));
    EXPECT_EQ(Lock(top).m_FullPath, "\\North\\");
    EXPECT_EQ(Lock(top).m_DeviceLinkState, 3);
    EXPECT_EQ(Lock(low).m_FullPath, "\\North\\B\\C\\D\\");
    EXPECT_EQ(Lock(elsewhere).m_FullPath, "\\Other\\");
    CMobileDevicesRecordset devices(doc.Db());
    devices.MoveFirst();
    EXPECT_EQ(devices.m_RecordState, 3);
    EXPECT_EQ(dir_.Path(deep), "\\North\\B\\C\\D\\");
}

TEST_F(Directory, AFailedRenameChangesNothing) {
    int a = Add(1, "A");
    int first = AddLock("First", a);
    int second = AddLock("Second", Add(a, "B"));
    FailUpdatesOfLock(second);
    EXPECT_FALSE(dir_.RenameLocation(a, "North"));
    EXPECT_EQ(prompter.Shown().size(), 1);
    EXPECT_EQ(Lock(first).m_FullPath, "\\A\\");
    EXPECT_EQ(dir_.Name(a), "A");
    CFacilityDirectoryRecordset paths(doc.Db());
    paths.SetCurrentIndex("PrimaryKey");
    paths.Seek("=", {a});
    EXPECT_EQ(paths.m_NodeName, "A");
}

TEST_F(Directory, LocationKeysStayBelow65535) {
    doc.Db().ExecuteSql(
        "INSERT INTO \"Lock Paths\" (\"Directory Key\", \"Node Name\", \"Root "
        "Index\") VALUES (65534, 'Last', 1)");
    ASSERT_TRUE(dir_.Load());
    EXPECT_FALSE(dir_.AddLocation(1, texts::kNewLocationName));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kOutOfKeys});
    EXPECT_EQ(CFacilityDirectoryRecordset(doc.Db()).GetRecordCount(), 2);
}

TEST_F(Directory, OnlyEmptyLocationsAreDeleted) {
    int a = Add(1, "A");
    int b = Add(1, "B");
    AddLock("Only", a);
    EXPECT_FALSE(dir_.DeleteLocation(a));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kLocationNotEmpty});
    Add(b, "Inner");
    EXPECT_FALSE(dir_.DeleteLocation(b));
    int empty = Add(1, "Empty");
    EXPECT_TRUE(dir_.DeleteLocation(empty));
    EXPECT_FALSE(dir_.Contains(empty));
    FacilityDirectory again(doc, prompter);
    ASSERT_TRUE(again.Load());
    EXPECT_FALSE(again.Contains(empty));
}

TEST_F(Directory, LockDisplayNamesAreCutToFifty) {
    EXPECT_EQ(LockDisplayName("\\A\\", "Door"), "\\A\\Door");
    QString path = "\\" + QString(40, 'x') + "\\";
    QString shown = LockDisplayName(path, "Front Door");
    EXPECT_EQ(shown, path.left(50 - 10 - 4) + "...\\Front Door");
    EXPECT_EQ(shown.size(), 50);
}

TEST_F(Directory, RemovingALockTakesItsEnrolmentsAndAuditData) {
    int device = AddDevice();
    int a = Add(1, "A");
    int lock = AddLock("Door", a, device);
    int other = AddLock("Gate", a);
    auto sheet = CLockUsersSheet::NewUser(doc, prompter);
    sheet->General() = {"Ada", "Pat", "", kIdCode, "1234", "0", {}, kGeneral, 0, "123"};
    sheet->Groups().homeGroup = 0;
    ASSERT_TRUE(sheet->Enrol({lock}));
    ASSERT_TRUE(sheet->Save());
    int user = sheet->UserKey();
    doc.Db().ExecuteSql(
        "UPDATE \"Users to Locks\" SET \"Record State\" = 1, \"Download User Rev Number\" = 1");
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(DeleteUser(doc, prompter, user));  // now pending removal from the lock
    CAuditDataRecordset audit(doc.Db());
    for (int k = 1; k <= 3; ++k) {
        for (int l : {lock, other}) {
            audit.AddNew();
            audit.m_LockKey = l;
            audit.m_AuditKey = k;
            audit.Update();
        }
    }
    prompter.Clear();
    prompter.Answer(PromptAnswer::Yes);
    bool usersRemoved = false;
    ASSERT_TRUE(dir_.RemoveLock(lock, &usersRemoved));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::RemoveLockQuestion("\\A\\Door")});
    EXPECT_TRUE(usersRemoved);
    EXPECT_EQ(CUsersToLocksRecordset(doc.Db()).GetRecordCount(), 0);
    EXPECT_EQ(audit.GetRecordCount(), 3);
    CLocksRecordset locks(doc.Db());
    EXPECT_EQ(locks.GetRecordCount(), 1);
    CLockUsersRecordset users(doc.Db());
    users.SetCurrentIndex("PrimaryKey");
    users.Seek("=", {user});
    EXPECT_EQ(users.m_RecordState, 0);
    EXPECT_EQ(users.m_PendingActionCounter, 0);
    CMobileDevicesRecordset devices(doc.Db());
    devices.MoveFirst();
    EXPECT_EQ(devices.m_RecordState, 3);
}

TEST_F(Directory, AFailedRemovalChangesNothing) {
    int lock = AddLock("Door", 1);
    CAuditDataRecordset audit(doc.Db());
    audit.AddNew();
    audit.m_LockKey = lock;
    audit.m_AuditKey = 1;
    audit.Update();
    doc.Db().ExecuteSql(
        "CREATE TEMP TRIGGER qx_fail BEFORE DELETE ON \"Locks\" BEGIN SELECT "
        "RAISE(ABORT, 'injected'); END");
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_FALSE(dir_.RemoveLock(lock));
    EXPECT_EQ(prompter.Shown().last(), texts::kRemoveLockError);
    EXPECT_EQ(audit.GetRecordCount(), 1);
    EXPECT_EQ(CLocksRecordset(doc.Db()).GetRecordCount(), 1);
}

TEST_F(Directory, RefreshAsksThenRefreshesTheChosenLocks) {
    int a = Add(1, "A");
    int inside = AddLock("Inside", Add(a, "B"));
    int outside = AddLock("Outside", 1);
    doc.Db().ExecuteSql("UPDATE \"Locks\" SET \"Record State\" = 1");
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(dir_.RefreshLocation(a));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kRefreshLocationQuestion});
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(dir_.RefreshLocation(a));
    EXPECT_EQ(Lock(inside).m_RecordState, 2);
    EXPECT_EQ(Lock(outside).m_RecordState, 1);
    prompter.Clear();
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(dir_.RefreshLocks({outside}));
    EXPECT_EQ(prompter.Shown(), QStringList{texts::kRefreshLocksQuestion});
    EXPECT_EQ(Lock(outside).m_RecordState, 2);
}

TEST_F(Directory, CopiedLockAndMenus) {
    EXPECT_FALSE(ExplorerMenuFor(dir_, 1, false).pasteLock);
    int lock = AddLock("Door", 1);
    dir_.CopyLock(lock);
    EXPECT_TRUE(ExplorerMenuFor(dir_, 1, true).pasteLock);
    EXPECT_TRUE(ExplorerMenuFor(dir_, 1, true).lockCommands);
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_TRUE(dir_.RemoveLock(lock));
    EXPECT_FALSE(dir_.CanPasteLock());
}

TEST_F(Directory, UserListRowsAndCaptions) {
    doc.Db().ExecuteSql(
        "UPDATE \"FacilityProperties\" SET \"Contact2Name\" = NULL, \"ReferenceName\" = 'Badge'");
    EXPECT_EQ(UserListHeaders(doc), (QStringList{" Lock User Name", "ID Media", "Home Group",
                                                 "Contact1", "Contact 2", "Badge"}));
    CLockUsersRecordset users(doc.Db());
    users.AddNew();
    users.m_LastName = "Lovelace";
    users.m_FirstName = "Ada";
    users.m_MiddleInitial = "B";
    users.m_CardMedia = true;
    users.m_CardMediaType = 2;
    users.m_HomeGroup = 2;
    users.m_RecordState = 4;
    users.Update();
    std::vector<UserListRow> rows = UserListRows(doc);
    ASSERT_EQ(rows.size(), 1u);  // users 0 and 1 are never listed
    EXPECT_EQ(rows[0].name, "Lovelace, Ada B.");
    EXPECT_EQ(rows[0].idMedia, "Prox Card");
    EXPECT_EQ(rows[0].homeGroup, "3 - < Untitled >");
    EXPECT_TRUE(rows[0].deleted);
}

}  // namespace
}  // namespace tandrel::testing
