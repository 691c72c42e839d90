// A lock marked as handed to its handheld whose records the handheld no
// longer holds is programmed again.
#include "desktop/exchange/exchange_dialog_model.h"
#include "tests/desktop/exchange/exchange_fixture.h"

namespace tandrel::testing {
namespace {

class LostProgramming : public ExchangeTest {
  protected:
    void QueueRecord(int lock) {
        WriteRecord(RecordKind::Programming, [&](CHandheldRecord& r) {
            r.SetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint32_t>(lock) << 16);
            r.SetUI2(PGM_DATA_OFFSET_COMMAND, 0x31);
        });
    }
};

TEST_F(LostProgramming, AHandedLockWithoutRecordsIsListedAndProgrammedAgain) {
    const int device = EnrolledHandheld();
    // Lost: a new lock whose facility data and user were queued.
    const int lost = AddLock(db(), 2, 1);
    SetLock(lost, "\"Downloaded Facility Rev\" = -32763");  // 5 with the pending mark
    const int user = AddUser(db(), "1234", "");
    Enrol(db(), lost, user, 2);
    Sql(db(), "UPDATE \"Users to Locks\" SET \"Download User Rev Number\" = -32767");
    // Kept: its record is still there. Elsewhere: another device's lock.
    const int kept = AddLock(db(), 1, 1);
    const int elsewhere = AddLock(db(), 1, 1);
    const int other = AddDevice(1);
    LinkLock(lost, device, 1);
    LinkLock(kept, device, 1);
    LinkLock(elsewhere, other, 1);
    QueueRecord(kept);

    ExchangeDialogModel dialog(db(), *exchange, prompter);
    dialog.Open(0);
    ASSERT_TRUE(exchange->Connected()) << prompter.Shown().join('|').toStdString();
    EXPECT_EQ(LockValue(lost, "Pending Action Counter"), 2);
    EXPECT_NE(LockValue(kept, "Pending Action Counter"), 2);
    EXPECT_EQ(LockValue(elsewhere, "Pending Action Counter"), 1);
    EXPECT_EQ(dialog.MarkedLocks(), std::vector<int>{lost});

    // Its marks still stand, so it is given everything again.
    ASSERT_EQ(dialog.Program(), 0);
    std::vector<int> codes;
    for (const CHandheldRecord& r : Records(RecordKind::Programming)) {
        if (r.GetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS) >> 16 == static_cast<std::uint32_t>(lost))
            codes.push_back(r.GetUI2(PGM_DATA_OFFSET_COMMAND));
    }
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.front(), 0x20);
    EXPECT_EQ(codes.back(), 0x31);
    EXPECT_EQ(LockValue(lost, "Pending Action Counter"), 1);
}

}  // namespace
}  // namespace tandrel::testing
