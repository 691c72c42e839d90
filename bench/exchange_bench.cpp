// A full exchange with a handheld serving 100 locks whose directory must be
// rebuilt: identification, collection of the lock information it brought
// back, and the directory and enrolled-lock files written anew.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "bench/bench_facility.h"
#include "desktop/exchange/cradle_connector.h"
#include "desktop/exchange/data_exchange.h"
#include "desktop/exchange/device_identity.h"
#include "desktop/exchange/handheld_record.h"
#include "desktop/exchange/handheld_transport.h"
#include "platform/ce/cradle_session.h"
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

}  // namespace
