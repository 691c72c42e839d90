// The desktop imports what the handheld stand-in wrote, as it will import
// what the handheld writes.
#include <sstream>

#include "desktop/exchange/audit_texts.h"
#include "tests/desktop/exchange/audit_fixture.h"
#include "tools/ferrow_standin/standin.h"

namespace tandrel::testing {
namespace {

class AuditFromStandin : public FacilityTest {
  protected:
    void SetUp() override { NewFacility(); }

    // Opens the store, lets `use` work on it, closes it again.
    template <typename Use>
    void WithStore(Use use) {
        std::uint32_t error = 0;
        auto store = ce::ObjectStore::Open(path, error, true);
        ASSERT_EQ(error, 0u);
        HandheldTransport transport(*store);
        ExchangeDatabases dbs;
        ASSERT_EQ(transport.OpenDatabases(dbs), 0u);
        use(transport, dbs);
        transport.CloseDatabases(dbs);
    }

    TempDir storeDir;
    QString path = storeDir.Path("handheld.store");
    IconPrompter prompts;
    ProgressSeen progress;
};

TEST_F(AuditFromStandin, EventsStatusAndGuestsArriveInTheFacility) {
    dao::Database& db = doc.Db();
    const int front = AddLock(db, 1, 0);
    const int back = AddLock(db, 1, 0);
    const int user = AddUser(db, "1234", "4321");
    Enrol(db, front, user, 1);
    WithStore([&](HandheldTransport& transport, ExchangeDatabases& dbs) {
        CHandheldRecord lmf(RecordKind::EnrolledLock, transport, dbs.lmf.handle);
        lmf.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint16_t>(front));
        ASSERT_TRUE(lmf.Write(true));
    });

    std::istringstream script(QStringLiteral("visit %1 2026-12-01 10:05 volts=5000\n"
                                             "audit %1 41\n"
                                             " event entry 2026-12-01 10:04 %2\n"
                                             " event remote 2026-12-01 10:05 none\n"
                                             " status 2026-12-01 10:05 volts=4050 hw=3 fw=0x0105\n"
                                             "end\n"
                                             "visit %3 2026-12-01 11:00 volts=5900 drive=9\n")
                                  .arg(front)
                                  .arg(user)
                                  .arg(back)
                                  .toStdString());
    std::ostringstream out, err;
    ASSERT_EQ(ferrow_standin::Run({path.toStdString(), "-"}, script, out, err), 0) << err.str();

    WithStore([&](HandheldTransport& transport, ExchangeDatabases& dbs) {
        AuditCollector collector(db, transport, dbs, prompts);
        ASSERT_EQ(collector.Collect(progress), 0);
    });
    const std::vector<std::tuple<qint64, qint64, qint64>> rows = {
        {41, user, protocol::kAuditEntry}, {40, 1, protocol::kAuditRemoteEntry}};
    std::vector<std::tuple<qint64, qint64, qint64>> stored;
    dao::sqlite::Statement s(
        db.Connection().Handle(),
        "SELECT AuditKey, UserKey, Event FROM \"Audit Data\" WHERE LockKey = " +
            std::to_string(front) + " ORDER BY AuditKey DESC");
    while (s.Step()) stored.emplace_back(s.Int(0), s.Int(1), s.Int(2));
    EXPECT_EQ(stored, rows);

    const QString lockRow = QStringLiteral("SELECT \"%1\" FROM Locks WHERE \"Lock Key\" = %2");
    EXPECT_EQ(IntOf(db, lockRow.arg("Supply Volts").arg(front)), 4050);
    EXPECT_EQ(IntOf(db, lockRow.arg("Firmware Version").arg(front)), 0x0105);
    // The back door is not on the handheld: its visit came as a guest.
    EXPECT_EQ(IntOf(db, lockRow.arg("Supply Volts").arg(back)), 5900);
    EXPECT_EQ(IntOf(db, lockRow.arg("Drive Usage Counter").arg(back)), 9);
    EXPECT_EQ(prompts.Shown(), QStringList(2, audit_texts::kLowBatteries));
}

}  // namespace
}  // namespace tandrel::testing
