#include "desktop/exchange/audit_texts.h"
#include "desktop/exchange/network_transport.h"
#include "tests/desktop/exchange/audit_fixture.h"

namespace tandrel::testing {
namespace {

using namespace protocol;

const QDateTime kMorning = At(2026, 3, 14, 9, 26);

class AuditImport : public AuditTest {
  protected:
    // A lock with one user in slot `slot`; returns the user's key.
    int LockWithUser(int& lock) {
        lock = AddLock(db(), 1, 0);
        const int user = AddUser(db(), "1234", "4321");
        Enrol(db(), lock, user, 1);  // the user's key is its slot
        return user;
    }
};

TEST_F(AuditImport, EventsBecomeRowsWithTheirUsersLevelsAndGroups) {
    int lock = 0;
    const int user = LockWithUser(lock);
    AddBlock(lock, 500,
             {Event(kAuditEntry, user, kMorning), Event(kAuditAttempt, 99, kMorning.addSecs(60)),
              Event(kAuditRemoteEntry, kAuditNoUserSlot, kMorning),
              Event(kAuditKeyOnly, user, kMorning),  // takes key 497, is no event
              Event(kAuditSetAccessLevel, user, kMorning, 3, 0x81),
              Event(kAuditSetGroupAccess, user, kMorning, 0, 0x0F), Event(0x20, user, kMorning),
              Event(kAuditSetClock, user, At(2026, 12, 31, 23, 59))});

    ASSERT_EQ(Collect(), 0);
    const QVariant t = Stored(kMorning);
    EXPECT_EQ(Rows(), (std::vector<AuditRow>{
                          {lock, 500, user, 3, t, 0, 0},
                          {lock, 499, 0, 4, Stored(kMorning.addSecs(60)), 0, 0},
                          {lock, 498, 1, 12, t, 0, 0},
                          {lock, 496, user, 5, t, 3, 0x81},
                          {lock, 495, user, 6, t, 0, 0x0F},
                          {lock, 494, user, 0x20, t, 0, 0},
                          {lock, 493, user, 14, Stored(At(2026, 12, 31, 23, 59)), 0, 0},
                      }));
    EXPECT_EQ(BlocksLeft(), 0);
    EXPECT_TRUE(prompts.Shown().isEmpty());
    EXPECT_EQ(progress.texts, QStringList{audit_texts::kCollecting});
    EXPECT_EQ(progress.range, 20);
    EXPECT_EQ(progress.position, 10);

    // The recordset reads the times back as the lock logged them.
    CAuditDataRecordset audit(db());
    audit.SetCurrentIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(audit.Seek(QStringLiteral("="), {lock, 493}));
    EXPECT_EQ(audit.m_TimeStamp, At(2026, 12, 31, 23, 59));
}

TEST_F(AuditImport, AnEventTimeTheClockCannotShowIsLeftUnknown) {
    const int lock = AddLock(db(), 1, 0);
    AuditEvent april31 = Event(kAuditEntry, 5, kMorning);
    april31.dateWord = PackDate(2026, 4, 31);
    AuditEvent hour25 = Event(kAuditEntry, 5, kMorning);
    hour25.hour = 25;
    AddBlock(lock, 2, {april31, hour25});

    ASSERT_EQ(Collect(), 0);
    const std::vector<AuditRow> rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].time.isNull());
    EXPECT_TRUE(rows[1].time.isNull());
    CAuditDataRecordset audit(db());
    audit.SetCurrentIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(audit.Seek(QStringLiteral("="), {lock, 2}));
    EXPECT_FALSE(audit.m_TimeStamp.isValid());
}

TEST_F(AuditImport, ShortBlocksAndLockAddressZeroAreDeletedUnparsed) {
    const int lock = AddLock(db(), 1, 0);
    AddBlock(lock, Bytes{0, 0, 0, 9});
    AddBlock(lock, Bytes{});
    AddBlock(0, 50, {Event(kAuditEntry, 1, kMorning), Status(3000, kMorning)});
    const QString before = Snapshot(db());

    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(Snapshot(db()), before);
    EXPECT_EQ(BlocksLeft(), 0);
    EXPECT_EQ(progress.range, 40);
    EXPECT_TRUE(prompts.Shown().isEmpty());
}

TEST_F(AuditImport, AStatusEntryCutShortEndsTheBlock) {
    const int lock = AddLock(db(), 1, 0);
    Bytes block = EncodeAuditBlock(7, {Event(kAuditEntry, 1, kMorning), Status(3000, kMorning)});
    block.resize(block.size() - 5);
    AddBlock(lock, block);

    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_EQ(LockValue(lock, "Supply Volts"), 6000);
    EXPECT_EQ(BlocksLeft(), 0);
}

TEST_F(AuditImport, AnEventAlreadyStoredIsNotAddedAgain) {
    int lock = 0;
    const int user = LockWithUser(lock);
    const int other = AddLock(db(), 1, 0);
    const std::vector<AuditItem> first = {Event(kAuditEntry, user, kMorning),
                                          Event(kAuditAttempt, user, kMorning)};
    AddBlock(lock, 10, first);
    AddBlock(lock, 9, {Event(kAuditAntitamper, 0, kMorning), Event(kAuditLogOn, user, kMorning)});
    AddBlock(other, 10, {Event(kAuditKeyEntry, 0, kMorning)});

    ASSERT_EQ(Collect(), 0);
    const QVariant t = Stored(kMorning);
    const std::vector<AuditRow> expected = {{lock, 10, user, 3, t, 0, 0},
                                            {lock, 9, user, 4, t, 0, 0},
                                            {lock, 8, user, 2, t, 0, 0},
                                            {other, 10, 0, 13, t, 0, 0}};
    EXPECT_EQ(Rows(), expected);

    // The same block collected again adds nothing.
    AddBlock(lock, 10, first);
    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(BlocksLeft(), 0);
}

TEST_F(AuditImport, OnlyAStatusNewerThanTheLastProgramDateUpdatesTheLock) {
    const int lock = AddLock(db(), 1, 0);
    const QDateTime programmed = At(2026, 5, 1, 12, 0);
    SetLastProgramDate(lock, programmed);
    AddBlock(lock, 1, {Status(3000, programmed)});
    AddBlock(lock, 1, {Status(3000, programmed.addSecs(-60))});
    AddBlock(lock, 1, {Status(3000, At(2099, 5, 1, 12, 0))});  // the lock's clock is wrong
    AuditStatus feb30 = Status(3000, programmed.addDays(1));
    feb30.month = 2, feb30.day = 30;
    AddBlock(lock, 1, {feb30});
    const QString before = Snapshot(db());

    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(Snapshot(db()), before);
    EXPECT_TRUE(prompts.Shown().isEmpty());
    EXPECT_EQ(BlocksLeft(), 0);

    const QDateTime later = programmed.addSecs(60);
    AddBlock(lock, 1, {Status(4099, later)});
    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(LockValue(lock, "Supply Volts"), 4099);
    EXPECT_EQ(LockValue(lock, "Hardware Class"), 7);
    EXPECT_EQ(LockValue(lock, "Firmware Version"), 0x0203);
    EXPECT_EQ(LockValue(lock, "Drive Usage Counter"), 1000);
    EXPECT_EQ(LockValue(lock, "Card Swipe Counter"), 2000);
    CLocksRecordset locks(db());
    locks.SetCurrentIndex(QStringLiteral("PrimaryKey"));
    ASSERT_TRUE(locks.Seek(QStringLiteral("="), {lock}));
    EXPECT_EQ(locks.m_LastProgramDate, later);
    EXPECT_EQ(prompts.Shown(), QStringList{audit_texts::kLowBatteries});
    EXPECT_EQ(prompts.icons, std::vector<PromptIcon>{PromptIcon::Exclamation});
}

TEST_F(AuditImport, AGuestRecordUpdatesALockTheFacilityHas) {
    const int lock = AddLock(db(), 1, 0);  // never programmed: no Last Program Date
    AddBlock(lock, 0, {Status(5200, kMorning)});
    AddBlock(4321, 0, {Status(3000, kMorning)});  // a lock of another facility
    const qint64 locks = IntOf(db(), "SELECT count(*) FROM Locks");

    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(LockValue(lock, "Supply Volts"), 5200);
    EXPECT_EQ(LockValue(lock, "Last Program Date"), dao::DateTimeToStorage(kMorning));
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(prompts.Shown().isEmpty());
    EXPECT_EQ(BlocksLeft(), 0);
    EXPECT_EQ(IntOf(db(), "SELECT count(*) FROM Locks"), locks);
}

TEST_F(AuditImport, TheLowBatteryMessageFollowsEveryLaterBlock) {
    const int lock = AddLock(db(), 1, 0);
    const int low = AddLock(db(), 1, 0);
    AddBlock(lock, 3, {Event(kAuditEntry, 1, kMorning)});
    AddBlock(low, 3, {Event(kAuditEntry, 1, kMorning), Status(4000, kMorning)});
    AddBlock(lock, 9, {Event(kAuditEntry, 1, kMorning)});
    AddBlock(0, Bytes{});

    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(prompts.Shown(), QStringList(3, audit_texts::kLowBatteries));
    EXPECT_EQ(prompts.icons, std::vector<PromptIcon>(3, PromptIcon::Exclamation));
    EXPECT_EQ(progress.position, 40);
}

TEST_F(AuditImport, ADatabaseErrorKeepsTheBlockAndRollsItsRowsBack) {
    const int lock = AddLock(db(), 1, 0);
    AddBlock(lock, 10, {Event(kAuditEntry, 1, kMorning)});
    AddBlock(
        lock, 21,
        {Status(3000, kMorning), Event(kAuditEntry, 1, kMorning), Event(kAuditEntry, 1, kMorning)});
    Sql(db(),
        "CREATE TEMP TRIGGER qx_fail BEFORE INSERT ON \"Audit Data\" WHEN NEW.AuditKey = 20 "
        "BEGIN SELECT RAISE(ABORT, 'injected'); END");

    EXPECT_EQ(Collect(), dao::kErrInvalidArgument);
    EXPECT_EQ(prompts.Shown(), QStringList{"injected"});
    EXPECT_EQ(prompts.icons, std::vector<PromptIcon>{PromptIcon::Exclamation});
    EXPECT_EQ(BlocksLeft(), 1);
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0].key, 10);
    EXPECT_EQ(LockValue(lock, "Supply Volts"), 6000);

    // The next collection finds the block again and imports it whole.
    Sql(db(), "DROP TRIGGER qx_fail");
    prompts.Clear();
    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(Rows().size(), 3u);
    EXPECT_EQ(LockValue(lock, "Supply Volts"), 3000);
    EXPECT_EQ(BlocksLeft(), 0);
    EXPECT_EQ(prompts.Shown(), QStringList{audit_texts::kLowBatteries});
}

TEST_F(AuditImport, ManyBlocksAreAllImportedAndDeletedAcrossCommits) {
    const int lock = AddLock(db(), 1, 0);
    for (int block = 0; block < 150; ++block)
        AddBlock(lock, 1000 - block, {Event(kAuditEntry, 1, kMorning)});
    // A failure in a later batch keeps the earlier batches' work.
    Sql(db(),
        "CREATE TEMP TRIGGER qx_fail BEFORE INSERT ON \"Audit Data\" WHEN NEW.AuditKey = 870 "
        "BEGIN SELECT RAISE(ABORT, 'injected'); END");
    EXPECT_NE(Collect(), 0);
    EXPECT_EQ(Rows().size(), 130u);
    EXPECT_EQ(BlocksLeft(), 20);

    Sql(db(), "DROP TRIGGER qx_fail");
    ASSERT_EQ(Collect(), 0);
    EXPECT_EQ(Rows().size(), 150u);
    EXPECT_EQ(BlocksLeft(), 0);
}

TEST_F(AuditImport, AFailedDeleteEndsTheCollectionWithTheDeviceError) {
    const int lock = AddLock(db(), 1, 0);
    AddBlock(lock, 10, {Event(kAuditEntry, 1, kMorning)});
    AddBlock(lock, 20, {Event(kAuditEntry, 1, kMorning)});
    device.callsBeforeLoss = 2;  // the seek and the first read

    EXPECT_EQ(Collect(), static_cast<int>(ce::kErrorConnectionLost));
    EXPECT_EQ(Rows().size(), 1u);  // committed before the delete, skipped next time
}

// A network device whose data link may refuse deletes.
class RefusingLink : public FakeLink {
  public:
    std::int32_t RemoveCurrentLockRecord(int type) override {
        return refuseDelete ? -1 : FakeLink::RemoveCurrentLockRecord(type);
    }
    bool refuseDelete = false;
};

TEST_F(AuditImport, ANetworkDeviceHasAFixedRangeAndReportsFailedDeletesAs31) {
    const int lock = AddLock(db(), 1, 0);
    RefusingLink link;
    NetworkTransport network(link);
    const ExchangeDatabases none;
    CHandheldRecord record(RecordKind::Audit, network);
    for (std::uint32_t key : {5u, 9u}) {
        const Bytes block = EncodeAuditBlock(key, {Event(kAuditEntry, 1, kMorning)});
        record.SetUI2(0, static_cast<std::uint16_t>(lock));
        record.SetBlob(1, block.data(), static_cast<int>(block.size()));
        ASSERT_TRUE(record.Write(true));
    }
    link.refuseDelete = true;
    AuditCollector refused(db(), network, none, prompts);
    EXPECT_EQ(refused.Collect(progress), 31);
    EXPECT_EQ(progress.range, 50);
    EXPECT_EQ(link.Records(static_cast<int>(RecordKind::Audit)).size(), 2u);

    link.refuseDelete = false;
    AuditCollector collector(db(), network, none, prompts);
    ASSERT_EQ(collector.Collect(progress), 0);
    EXPECT_EQ(Rows().size(), 2u);
    EXPECT_EQ(progress.position, 2);
    EXPECT_TRUE(link.Records(static_cast<int>(RecordKind::Audit)).empty());
}

}  // namespace
}  // namespace tandrel::testing
