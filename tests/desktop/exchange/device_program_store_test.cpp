#include "desktop/exchange/device_program_store.h"
#include "desktop/exchange/handheld_transport.h"
#include "platform/ce/object_store.h"
#include "tests/desktop/exchange/programming_fixture.h"

namespace tandrel::testing {
namespace {

// The programming run and the collection against a handheld's own store.
class HandheldProgramming : public ProgrammingTest {
  protected:
    void SetUp() override {
        ProgrammingTest::SetUp();
        std::uint32_t error = 0;
        handheld = ce::ObjectStore::Open(dir.Path("handheld.store"), error, true);
        ASSERT_EQ(error, 0u);
        transport_ = std::make_unique<HandheldTransport>(*handheld);
        ASSERT_EQ(transport_->OpenDatabases(dbs), 0u);
    }
    void TearDown() override {
        if (transport_) transport_->CloseDatabases(dbs);
    }

    int RunOnHandheld(const std::vector<int>& locks) {
        DeviceProgramStore device(*transport_, dbs);
        LockProgrammer programmer(db(), device, prompter);
        return programmer.Run(locks, progress);
    }
    int CollectFromHandheld() {
        DeviceProgramStore device(*transport_, dbs);
        ProgramCollector collector(db(), device, prompter);
        return collector.Collect(progress);
    }
    // Every programming record in key order.
    std::vector<ProgramRecord> Records() {
        DeviceProgramStore device(*transport_, dbs);
        std::vector<ProgramRecord> out;
        if (device.SeekFirst() != 0) return out;
        ProgramRecord r;
        while (device.ReadNext(r) == 0) out.push_back(r);
        return out;
    }
    // Sets the delivered mark on the records of the given codes, as the
    // handheld does once a lock answered them.
    void Deliver(const std::vector<int>& codes) {
        CHandheldRecord pgm(RecordKind::Programming, *transport_, dbs.pgm.handle);
        ASSERT_TRUE(pgm.Seek(0));
        while (pgm.Read()) {
            const int code = pgm.GetUI2(PGM_DATA_OFFSET_COMMAND) & 0x7FFF;
            if (std::find(codes.begin(), codes.end(), code) == codes.end()) continue;
            pgm.SetUI2(PGM_DATA_OFFSET_COMMAND, static_cast<std::uint16_t>(code | 0x8000));
            ASSERT_TRUE(pgm.Write(false));
        }
    }
    void AddEnrolledLock(int lock, std::uint16_t timeWord) {
        CHandheldRecord lmf(RecordKind::EnrolledLock, *transport_, dbs.lmf.handle);
        lmf.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint16_t>(lock));
        lmf.SetString(LMF_DATA_OFFSET_NAME, QStringLiteral("Front"));
        lmf.SetUI2(LMF_DATA_OFFSET_EXCHANGE_TIME, timeWord);
        ASSERT_TRUE(lmf.Write(true));
    }
    std::uint16_t ExchangeTimeOf(int lock) {
        CHandheldRecord lmf(RecordKind::EnrolledLock, *transport_, dbs.lmf.handle);
        lmf.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint16_t>(lock));
        EXPECT_TRUE(lmf.Seek(2));
        EXPECT_TRUE(lmf.Read());
        return lmf.GetUI2(LMF_DATA_OFFSET_EXCHANGE_TIME);
    }

    std::unique_ptr<ce::ObjectStore> handheld;
    std::unique_ptr<HandheldTransport> transport_;
    ExchangeDatabases dbs;
};

TEST_F(HandheldProgramming, RecordsLandInKeyOrderAndTheNewLockIsFlagged) {
    const int lock = AddLock(db(), 2, 2);
    const int other = AddLock(db(), 1, 2);
    AddEnrolledLock(lock, 0x3A41);  // 18:41 by the handheld, status "programmed"
    AddEnrolledLock(other, 0x3A41);
    const int user = AddUser(db(), "12345", "987");
    Enrol(db(), lock, user, 2);
    Enrol(db(), other, user, 2);
    ASSERT_EQ(RunOnHandheld({other, lock}), 0);

    const auto records = Records();
    ASSERT_EQ(records.size(), 14u);  // lock: 0x20 0x21 0x30 8x0x60 0x27 0x31; other: 0x31
    EXPECT_EQ(records.front().LockAddress(), lock);
    EXPECT_EQ(records.back().key, static_cast<std::uint32_t>(other) << 16);
    EXPECT_EQ(records.back().payload,
              (Bytes{0, Byte(user), 0x12, 0x34, 0x5F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF4,
                     0x00, 0x00, 0x98, 0x7F, 0xFF}));
    EXPECT_EQ(ExchangeTimeOf(lock), 0x3A40);
    EXPECT_EQ(ExchangeTimeOf(other), 0x3A41);
}

TEST_F(HandheldProgramming, ARunReplacesOnlyItsLocksUndeliveredRecords) {
    const int first = AddLock(db(), 3, 2), middle = AddLock(db(), 3, 2), last = AddLock(db(), 3, 2);
    ASSERT_EQ(RunOnHandheld({first, middle, last}), 0);
    const auto before = Records();
    ASSERT_EQ(RunOnHandheld({middle}), 0);
    EXPECT_EQ(Records().size(), before.size());
    for (const auto& r : Records()) EXPECT_FALSE(r.Delivered());
}

TEST_F(HandheldProgramming, CollectionDeletesWhatArrivedAndKeepsTheRest) {
    const int lock = AddLock(db(), 3, 2);
    ASSERT_EQ(RunOnHandheld({lock}), 0);
    Deliver({0x20, 0x27, 0x30});
    ASSERT_EQ(CollectFromHandheld(), 0);
    const auto left = Records();
    ASSERT_EQ(left.size(), 8u);
    for (const auto& r : left) EXPECT_EQ(r.Code(), 0x60);
    EXPECT_EQ(LockValue(lock, "Downloaded Facility Rev"), 5);

    Deliver({0x60});
    ASSERT_EQ(CollectFromHandheld(), 0);
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(LockValue(lock, "Record State"), 1);
    EXPECT_EQ(CollectFromHandheld(), 0);  // an empty file is nothing to collect
}

}  // namespace
}  // namespace tandrel::testing
