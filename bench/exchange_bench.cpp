// Full exchanges with a handheld: one serving 100 locks whose directory
// must be rebuilt (identification, the lock information it brought back,
// the directory and enrolled-lock files written anew), and one bringing
// back a whole facility's delivered programming and audit trail.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <ctime>

#include "bench/bench_facility.h"
#include "desktop/exchange/cradle_connector.h"
#include "desktop/exchange/data_exchange.h"
#include "desktop/exchange/device_identity.h"
#include "desktop/exchange/device_program_store.h"
#include "desktop/exchange/device_rows.h"
#include "desktop/exchange/handheld_record.h"
#include "desktop/exchange/handheld_transport.h"
#include "desktop/exchange/lock_programmer.h"
#include "platform/ce/cradle_session.h"
#include "protocol/audit_block.h"
#include "protocol/packed_date.h"

namespace {

using namespace tandrel;

constexpr int kLocations = 30;
constexpr int kLocks = 100;

struct ExchangeSetup {
    BenchFacility facility;
    QString store;
    int deviceKey = 0;

    ExchangeSetup() : facility(Options()) {
        store = facility.dir.filePath("handheld.store");
        auto& db = facility.doc.Db();
        CMobileDevicesRecordset devices(db);
        devices.AddNew();
        deviceKey = devices.m_HPCKey;
        devices.m_Name = QStringLiteral("Bench handheld");
        devices.Update();
        std::uint32_t error = 0;
        ce::ObjectStore::Open(store, error, true);
        auto session = ce::CradleSession::Connect(store, error);
        HandheldTransport transport(*session);
        transport.ResetDatabases();
        CFacilityPropertiesRecordset properties(db);
        properties.MoveFirst();
        WriteIdentity(transport, {static_cast<std::uint32_t>(properties.m_CommCode),
                                  static_cast<std::uint32_t>(deviceKey),
                                  "2.10",
                                  {}});
    }
    static GeneratorOptions Options() {
        GeneratorOptions options = LocksOnly(kLocations, kLocks);
        options.users = 2000;
        options.enrolments = 20000;
        return options;
    }

    // Every lock newly on the device, whose files hold what an earlier
    // enrolment left: stale directory nodes, and the locks' last visit.
    void Prepare() {
        auto& db = facility.doc.Db();
        db.Connection().Exec("UPDATE Locks SET \"Device Link\" = " + std::to_string(deviceKey) +
                             ", \"Device Link State\" = 2, \"Last Program Date\" = NULL");
        db.Connection().Exec("UPDATE \"Handheld PCs\" SET \"Record State\" = 2");
        std::uint32_t error = 0;
        auto session = ce::CradleSession::Connect(store, error);
        HandheldTransport transport(*session);
        transport.ResetDatabases();
        ExchangeDatabases open;
        transport.OpenDatabases(open);
        CHandheldRecord node(RecordKind::Directory, transport, open.ldf.handle);
        for (int key = 1; key <= kLocations; ++key) {
            node.SetUI2(LDF_DATA_OFFSET_KEY, static_cast<std::uint16_t>(key + 500));
            node.SetString(LDF_DATA_OFFSET_NAME, QStringLiteral("Stale"));
            node.Write(true);
        }
        CHandheldRecord lock(RecordKind::EnrolledLock, transport, open.lmf.handle);
        for (int key = 1; key <= kLocks; ++key) {
            lock.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint16_t>(key));
            lock.SetUI2(LMF_DATA_OFFSET_EXCHANGE_DATE, protocol::PackDate(2026, 12, 1));
            lock.SetUI2(LMF_DATA_OFFSET_EXCHANGE_TIME, protocol::PackTimeWord(9, key % 60, 1));
            lock.SetUI2(LMF_DATA_OFFSET_BATTERY_LEVEL, 5800);
            lock.Write(true);
        }
        transport.CloseDatabases(open);
    }
};

void BM_FullExchange_100LocksDirectoryRebuilt(benchmark::State& state) {
    static ExchangeSetup setup;
    for (auto _ : state) {
        state.PauseTiming();
        setup.Prepare();
        CradleConnector connector(setup.facility.settings.Raw(), setup.store);
        state.ResumeTiming();
        DataExchange exchange(setup.facility.doc.Db(), connector, setup.facility.prompter);
        if (exchange.Exchange(true) != setup.deviceKey) state.SkipWithError("exchange failed");
    }
}
BENCHMARK(BM_FullExchange_100LocksDirectoryRebuilt)->Unit(benchmark::kMillisecond);

// ---- A handheld back from its round: 118 locks of 1,750 users each
// (206,500 enrolments), every lock's complete programming delivered, and
// 25,000 audit events in 250 blocks.

constexpr int kRoundLocks = 118, kRoundUsers = 1750;
constexpr int kAuditBlocks = 250, kEventsPerBlock = 100;

// The facility and the handheld store as the round left them, kept as
// files so that every exchange starts from the same state.
struct RoundSetup {
    BenchFacility facility;
    QString store, keptFacility, keptStore;
    int records = 0;

    RoundSetup() : facility(Options()) {
        store = facility.dir.filePath("handheld.store");
        keptFacility = facility.dir.filePath("facility.kept");
        keptStore = facility.dir.filePath("store.kept");
        dao::Database& db = facility.doc.Db();
        const int device = AddDevice(db);
        db.Connection().Exec(
            "UPDATE Locks SET \"Device Link\" = " + std::to_string(device) +
            ", \"Device Link State\" = 1, \"Record State\" = 2, \"Downloaded Facility Rev\" = 0, "
            "\"Downloaded UG Table Rev\" = 0, \"Downloaded Open Delay Seconds\" = 0, \"Rebuild "
            "User List\" = 1, \"Pending Action Counter\" = 2");
        db.Connection().Exec("UPDATE \"Users to Locks\" SET \"Record State\" = 2");
        std::uint32_t error = 0;
        ce::ObjectStore::Open(store, error, true);
        {
            auto session = ce::CradleSession::Connect(store, error);
            HandheldTransport transport(*session);
            transport.ResetDatabases();
            WriteIdentity(transport,
                          {FacilityCommCode(db), static_cast<std::uint32_t>(device), "2.10", {}});
            ExchangeDatabases open;
            transport.OpenDatabases(open);
            WriteLockEntries(transport, open);
            records = ProgramEveryLock(transport, open);
            DeliverAll(transport, open);
            WriteAuditBlocks(transport, open);
            transport.CloseDatabases(open);
        }
        facility.doc.CloseFacility();
        QFile::copy(Facility(), keptFacility);
        QFile::copy(store, keptStore);
    }
    static GeneratorOptions Options() {
        GeneratorOptions o;
        o.locations = 10;
        o.locks = kRoundLocks;
        o.users = kRoundUsers;
        o.enrolments = kRoundLocks * kRoundUsers;
        o.auditRows = 100000;
        return o;
    }
    QString Facility() const { return facility.dir.filePath("Bench.qfd"); }

    static int AddDevice(dao::Database& db) {
        CMobileDevicesRecordset devices(db);
        devices.AddNew();
        const int key = devices.m_HPCKey;
        devices.m_Name = QStringLiteral("Round handheld");
        devices.m_RecordState = 1;
        devices.Update();
        return key;
    }
    // Each lock's entry, with the visit of the round.
    static void WriteLockEntries(HandheldTransport& transport, const ExchangeDatabases& open) {
        CHandheldRecord lock(RecordKind::EnrolledLock, transport, open.lmf.handle);
        for (int key = 1; key <= kRoundLocks; ++key) {
            lock.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint16_t>(key));
            lock.SetUI2(LMF_DATA_OFFSET_EXCHANGE_DATE, protocol::PackDate(2026, 12, 1));
            lock.SetUI2(LMF_DATA_OFFSET_EXCHANGE_TIME, protocol::PackTimeWord(9, key % 60, 1));
            lock.SetUI2(LMF_DATA_OFFSET_BATTERY_LEVEL, 5800);
            lock.Write(true);
        }
    }
    int ProgramEveryLock(HandheldTransport& transport, const ExchangeDatabases& open) {
        std::vector<int> locks;
        for (int key = 1; key <= kRoundLocks; ++key) locks.push_back(key);
        DeviceProgramStore programs(transport, open);
        LockProgrammer programmer(facility.doc.Db(), programs, facility.prompter);
        auto progress = facility.prompter.StartProgress({}, {}, 0);
        programmer.Run(locks, *progress);
        ce::ObjectInfo info;
        transport.Device().OidGetInfo(open.pgm.oid, info);
        return static_cast<int>(info.database.recordCount);
    }
    static void DeliverAll(HandheldTransport& transport, const ExchangeDatabases& open) {
        CHandheldRecord pgm(RecordKind::Programming, transport, open.pgm.handle);
        pgm.Seek(0);
        while (pgm.Read()) {
            pgm.SetUI2(PGM_DATA_OFFSET_COMMAND, pgm.GetUI2(PGM_DATA_OFFSET_COMMAND) | 0x8000);
            pgm.Write(false);
        }
    }
    static void WriteAuditBlocks(HandheldTransport& transport, const ExchangeDatabases& open) {
        CHandheldRecord block(RecordKind::Audit, transport, open.laf.handle);
        for (int b = 0; b < kAuditBlocks; ++b) {
            std::vector<protocol::AuditItem> items;
            for (int i = 0; i < kEventsPerBlock; ++i) {
                protocol::AuditEvent e;
                e.type = i % 7 == 0 ? 4 : 3;
                e.dateWord = protocol::PackDate(2026, 11, 1 + i % 28);
                e.hour = i % 24;
                e.minute = b % 60;
                e.lockUserIndex = i * 13 % kRoundUsers;
                items.push_back(e);
            }
            items.push_back(protocol::AuditStatus{5000, 3, 0x0105, 100, 200, 26, 11, 30, 12, 0});
            const auto first = static_cast<std::uint32_t>(2'000'000 + b * 1000);
            const protocol::Bytes bytes = protocol::EncodeAuditBlock(first, items);
            block.SetUI2(0, static_cast<std::uint16_t>(b % kRoundLocks + 1));
            block.SetBlob(1, bytes.data(), static_cast<int>(bytes.size()));
            block.Write(true);
        }
    }
    void Restore() {
        QFile::remove(Facility());
        QFile::remove(store);
        QFile::copy(keptFacility, Facility());
        QFile::copy(keptStore, store);
    }
};

// One exchange with collection: audit blocks imported, the delivered
// programming booked and removed, the lock information taken in.
void BM_ExchangeAfterRound_206kRecords25kEvents(benchmark::State& state) {
    static RoundSetup setup;
    for (auto _ : state) {
        setup.Restore();
        if (!setup.facility.doc.OpenFacility(setup.Facility())) state.SkipWithError("no facility");
        CradleConnector connector(setup.facility.settings.Raw(), setup.store);
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpu = std::clock();
        {
            DataExchange exchange(setup.facility.doc.Db(), connector, setup.facility.prompter);
            if (exchange.Exchange(true) == 0) state.SkipWithError("the exchange failed");
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        state.counters["cpu_s"] = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
        state.counters["records"] = setup.records;
        state.counters["events"] = kAuditBlocks * kEventsPerBlock;
        setup.facility.doc.CloseFacility();
    }
}
BENCHMARK(BM_ExchangeAfterRound_206kRecords25kEvents)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
