// A programming run that dies part way (killed at any step, or stopped by a
// full store and killed before it closed the store) leaves no lock that
// never gets its programming: the next exchange lists every lock whose
// records did not survive, and one cycle after it makes every lock current.
#include <QFile>

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include "desktop/exchange/cradle_connector.h"
#include "desktop/exchange/device_identity.h"
#include "desktop/exchange/device_program_store.h"
#include "desktop/exchange/exchange_dialog_model.h"
#include "desktop/exchange/handheld_transport.h"
#include "platform/ce/cradle_session.h"
#include "tests/desktop/exchange/programming_fixture.h"

namespace tandrel::testing {
namespace {

constexpr int kLocks = 2, kUsers = 2;

// Where a run can be killed: before each append, before and after each
// flush; or at the flushes only.
enum class Steps { All, Flushes };

// The device's programming file, killing this process at one step.
class KillingStore : public ProgramStore {
  public:
    KillingStore(ProgramStore& inner, int killAt, Steps steps)
        : inner_(inner), killAt_(killAt), steps_(steps) {}
    int Append(const ProgramRecord& record) override {
        if (steps_ == Steps::All) Step();
        return inner_.Append(record);
    }
    int Flush() override {
        Step();
        const int error = inner_.Flush();
        Step();
        return error;
    }
    int SeekAtLeast(std::uint32_t key) override { return inner_.SeekAtLeast(key); }
    int SeekFirst() override { return inner_.SeekFirst(); }
    int ReadNext(ProgramRecord& record) override { return inner_.ReadNext(record); }
    int DeleteLastRead() override { return inner_.DeleteLastRead(); }
    int Delete(const ProgramRecord& record) override { return inner_.Delete(record); }
    int RecordCount() override { return inner_.RecordCount(); }
    bool IsNetworkDevice() const override { return inner_.IsNetworkDevice(); }
    int MarkNewLock(int lockAddress) override { return inner_.MarkNewLock(lockAddress); }

  private:
    void Step() {
        if (++done_ == killAt_) std::raise(SIGKILL);
    }
    ProgramStore& inner_;
    const int killAt_;
    const Steps steps_;
    int done_ = 0;
};

// Two new locks on an enrolled handheld, two users waiting in each; the
// facility and the store are kept as files to start every attempt from.
class InterruptedProgramming : public ProgrammingTest {
  protected:
    void SetUp() override {
        ProgrammingTest::SetUp();
        CMobileDevicesRecordset devices(db());
        devices.AddNew();
        const int device = devices.m_HPCKey;
        devices.m_Name = QStringLiteral("Handheld");
        devices.m_RecordState = 1;
        devices.Update();
        std::vector<int> users;
        for (int u = 0; u < kUsers; ++u)
            users.push_back(AddUser(db(), QString::number(1000 + u), ""));
        for (int l = 0; l < kLocks; ++l) {
            const int lock = AddLock(db(), 2, 2);
            SetLock(lock, QStringLiteral("\"Device Link\" = %1, \"Device Link State\" = 1, "
                                         "\"Downloaded UG Table Rev\" = 7")
                              .arg(device));
            for (int user : users) Enrol(db(), lock, user, 2);
            locks.push_back(lock);
        }
        const auto commCode =
            static_cast<std::uint32_t>(IntOf(db(), "SELECT CommCode FROM FacilityProperties"));
        {
            std::uint32_t error = 0;
            auto handheld = ce::ObjectStore::Open(StorePath(), error, true);
            ASSERT_TRUE(handheld);
            HandheldTransport transport(*handheld);
            ASSERT_EQ(transport.ResetDatabases(), 0u);
            ASSERT_EQ(WriteIdentity(transport,
                                    {commCode, static_cast<std::uint32_t>(device), "2.10", {}}),
                      0u);
        }
        doc.CloseFacility();
        ASSERT_TRUE(QFile::copy(FacilityPath(), dir.Path("facility.kept")));
        ASSERT_TRUE(QFile::copy(StorePath(), dir.Path("store.kept")));
    }

    QString StorePath() const { return dir.Path("handheld.store"); }
    void Restore() {
        QFile::remove(FacilityPath());
        QFile::remove(StorePath());
        ASSERT_TRUE(QFile::copy(dir.Path("facility.kept"), FacilityPath()));
        ASSERT_TRUE(QFile::copy(dir.Path("store.kept"), StorePath()));
    }

    // Runs the programming of every lock in a child process that kills
    // itself at step `killAt` (0: never) or, with `capacity`, in a store that
    // fills up and then kills itself before closing it. True when the child
    // was killed; false when it ran to the end.
    bool RunAndDie(int killAt, Steps steps = Steps::All, std::uint32_t capacity = 0) {
        const pid_t child = fork();
        if (child == 0) _exit(RunInChild(killAt, steps, capacity));
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        if (WIFSIGNALED(status)) return WTERMSIG(status) == SIGKILL;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the child run failed at step " << killAt;
        return false;
    }
    int RunInChild(int killAt, Steps steps, std::uint32_t capacity) {
        if (!doc.OpenFacility(FacilityPath())) return 10;
        std::uint32_t error = 0;
        if (capacity != 0) {
            auto full = ce::ObjectStore::Open(StorePath(), error);
            if (!full || full->SetCapacity(capacity) != 0) return 11;
        }
        auto session = ce::CradleSession::Connect(StorePath(), error);
        if (!session) return 12;
        HandheldTransport transport(*session);
        ExchangeDatabases open;
        if (transport.OpenDatabases(open) != 0) return 13;
        DeviceProgramStore device(transport, open);
        KillingStore killing(device, killAt, steps);
        LockProgrammer programmer(doc.Db(), killing, prompter);
        programmer.SetRecordsPerCommit(recordsPerCommit);
        const int result = programmer.Run(locks, progress);
        if (capacity != 0 && result == static_cast<int>(ce::ERROR_DISK_FULL)) std::raise(SIGKILL);
        return result == 0 ? 0 : 14;
    }

    // A lock counts as handed only while the store holds its records.
    void ExpectHandedLocksHoldTheirRecords(const std::string& after) {
        SCOPED_TRACE(after);
        ASSERT_TRUE(doc.OpenFacility(FacilityPath()));
        {
            std::uint32_t error = 0;
            auto handheld = ce::ObjectStore::Open(StorePath(), error);
            ASSERT_TRUE(handheld) << error;
            HandheldTransport transport(*handheld);
            ExchangeDatabases open;
            ASSERT_EQ(transport.OpenDatabases(open), 0u);
            DeviceProgramStore store(transport, open);
            for (int lock : locks) {
                if (LockValue(lock, "Pending Action Counter") != 1) continue;
                bool holds = false;
                ASSERT_EQ(HoldsLockRecords(store, lock, holds), 0);
                EXPECT_TRUE(holds) << "lock " << lock << " is handed without its records";
            }
            transport.CloseDatabases(open);
        }
        doc.CloseFacility();
    }

    // What the person at the desktop does next: an exchange, the locks it
    // lists programmed, the handheld's round of the locks, an exchange.
    void ExpectTheNextCycleMakesEveryLockCurrent(const std::string& after) {
        SCOPED_TRACE(after);
        ASSERT_TRUE(doc.OpenFacility(FacilityPath()));
        {
            std::uint32_t error = 0;
            auto handheld = ce::ObjectStore::Open(StorePath(), error);
            ASSERT_TRUE(handheld) << error;
            ASSERT_EQ(handheld->SetCapacity(0), 0u);
        }
        {
            CradleConnector connector(settings.Raw(), StorePath());
            DataExchange exchange(db(), connector, prompter);
            ExchangeDialogModel dialog(db(), exchange, prompter);
            dialog.Open(0);
            ASSERT_TRUE(exchange.Connected()) << prompter.Shown().join('|').toStdString();
            EXPECT_EQ(
                IntOf(db(), "SELECT count(*) FROM Locks WHERE \"Pending Action Counter\" = 2"),
                static_cast<qint64>(dialog.MarkedLocks().size()));
            if (!dialog.MarkedLocks().empty()) {
                ASSERT_EQ(dialog.Program(), 0);
            }
        }
        DeliverEverything();
        {
            CradleConnector connector(settings.Raw(), StorePath());
            DataExchange exchange(db(), connector, prompter);
            ASSERT_NE(exchange.Exchange(true), 0) << prompter.Shown().join('|').toStdString();
        }
        EXPECT_EQ(IntOf(db(),
                        "SELECT count(*) FROM Locks WHERE \"Pending Action Counter\" <> 0 "
                        "OR \"Record State\" <> 1"),
                  0);
        EXPECT_EQ(
            IntOf(db(), "SELECT count(*) FROM \"Users to Locks\" WHERE \"Record State\" <> 1"), 0);
        doc.CloseFacility();
    }
    void DeliverEverything() {
        std::uint32_t error = 0;
        auto handheld = ce::ObjectStore::Open(StorePath(), error);
        ASSERT_TRUE(handheld) << error;
        HandheldTransport transport(*handheld);
        ExchangeDatabases open;
        ASSERT_EQ(transport.OpenDatabases(open), 0u);
        CHandheldRecord pgm(RecordKind::Programming, transport, open.pgm.handle);
        int delivered = 0;
        if (pgm.Seek(0)) {
            while (pgm.Read()) {
                pgm.SetUI2(PGM_DATA_OFFSET_COMMAND, pgm.GetUI2(PGM_DATA_OFFSET_COMMAND) | 0x8000);
                ASSERT_TRUE(pgm.Write(false));
                ++delivered;
            }
        }
        transport.CloseDatabases(open);
        EXPECT_GT(delivered, 0);
    }

    std::vector<int> locks;
    int recordsPerCommit = ProgrammingBatch::kRecordsPerCommit;
};

// Every lock committing on its own is killed at every step; all of them
// committing together, around their one flush (before it nothing is
// committed).
TEST_F(InterruptedProgramming, AKillAtAnyStepLeavesNoLockStuck) {
    for (auto [perCommit, steps] :
         {std::pair{1, Steps::All},
          std::pair{ProgrammingBatch::kRecordsPerCommit, Steps::Flushes}}) {
        recordsPerCommit = perCommit;
        int step = 1;
        for (;; ++step) {
            Restore();
            if (!RunAndDie(step, steps)) break;
            const std::string after = "killed at step " + std::to_string(step) + ", " +
                                      std::to_string(perCommit) + " records a commit";
            ExpectHandedLocksHoldTheirRecords(after);
            ExpectTheNextCycleMakesEveryLockCurrent(after);
            if (HasFailure()) return;
        }
        EXPECT_GT(step, steps == Steps::All ? kLocks * kUsers : 2)
            << "the run never reached its later steps";
    }
}

TEST_F(InterruptedProgramming, AFullStoreLeavesNoLockStuck) {
    std::uint32_t used = 0;
    {
        std::uint32_t error = 0;
        auto handheld = ce::ObjectStore::Open(StorePath(), error);
        ASSERT_TRUE(handheld);
        std::vector<ce::Oid> oids;
        ASSERT_EQ(handheld->FindDatabases(0, oids), 0u);
        for (ce::Oid oid : oids) {
            ce::ObjectInfo info;
            ASSERT_EQ(handheld->OidGetInfo(oid, info), 0u);
            used += info.database.size;
        }
    }
    // Room for part of the first lock's records, or for the first lock's
    // and part of the second's: each lock's take about 200 bytes.
    for (std::uint32_t room : {50u, 300u}) {
        for (int perCommit : {1, ProgrammingBatch::kRecordsPerCommit}) {
            recordsPerCommit = perCommit;
            Restore();
            ASSERT_TRUE(RunAndDie(0, Steps::All, used + room)) << "the store never filled up";
            const std::string after = "room for " + std::to_string(room) + " bytes, " +
                                      std::to_string(perCommit) + " records a commit";
            ExpectHandedLocksHoldTheirRecords(after);
            ExpectTheNextCycleMakesEveryLockCurrent(after);
            if (HasFailure()) return;
        }
    }
}

}  // namespace
}  // namespace tandrel::testing
