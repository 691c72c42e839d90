// Facility database figures on a facility of 60,000 users, 500 locks,
// 120,000 enrolments and 1,000,000 audit rows, password protected.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <random>

#include "bench/bench_facility.h"
#include "desktop/app/app_settings.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/scripted_prompter.h"
#include "tools/facility_gen/facility_generator.h"

namespace {

using namespace tandrel;

constexpr int kLocks = 500;
constexpr int kAuditRows = 1000000;
const QString kPassword = QStringLiteral("bench-pw-01");

// One facility folder for the whole run, with a large facility and an
// empty one, both protected by the same password.
struct Facilities {
    QTemporaryDir dir;
    QString large, empty;

    Facilities() {
        large = Make("Large", kAuditRows);
        empty = Make("Empty", 0);
    }

    QString Make(const QString& name, int auditRows) {
        // Six digits: room for 60,000 distinct code IDs.
        return MakeFacilityFile(dir.path(), name, 6, LargeFacility(kLocks, 120000, auditRows),
                                kPassword);
    }
};

Facilities& Shared() {
    static Facilities facilities;
    return facilities;
}

void OpenAndClose(benchmark::State& state, const QString& path) {
    Facilities& f = Shared();
    AppSettings settings(f.dir.filePath("settings.ini"));
    ScriptedPrompter prompter;
    for (auto _ : state) {
        FacilitySession session{f.dir.path(), kPassword, {}};
        CTDXDoc doc(session, settings, prompter);
        if (!doc.OpenFacility(path)) state.SkipWithError("open failed");
        doc.CloseFacility();
    }
}

// Opening reads the catalog, checks the version and opens every shared
// recordset; it must not depend on how much audit data there is.
void BM_OpenFacility_1MAuditRows(benchmark::State& state) {
    OpenAndClose(state, Shared().large);
}
void BM_OpenFacility_NoAuditRows(benchmark::State& state) {
    OpenAndClose(state, Shared().empty);
}
BENCHMARK(BM_OpenFacility_1MAuditRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFacility_NoAuditRows)->Unit(benchmark::kMillisecond);

void BM_AuditPrimaryKeySeek(benchmark::State& state) {
    auto db = dao::Database::Open(Shared().large, ";pwd=" + kPassword);
    auto audit = db->OpenTable("Audit Data");
    audit->SetIndex("PrimaryKey");
    std::mt19937 random(3);
    const int perLock = kAuditRows / kLocks;
    std::int64_t found = 0;
    for (auto _ : state) {
        int lock = static_cast<int>(random() % kLocks) + 1;
        int key = static_cast<int>(random() % perLock) + 1;
        found += audit->Seek("=", {lock, key});
    }
    if (found != state.iterations()) state.SkipWithError("a seek missed");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AuditPrimaryKeySeek)->Iterations(1000000);

// The compaction of the large facility beside a plain encrypted export of
// the same file, timed in the same run.
void BM_CompactionAgainstPlainExport(benchmark::State& state) {
    Facilities& f = Shared();
    AppSettings settings(f.dir.filePath("settings.ini"));
    ScriptedPrompter prompter;
    double compactSeconds = 0, exportSeconds = 0;
    for (auto _ : state) {
        QString copy = f.dir.filePath("export.qfd");
        QFile::remove(copy);
        QElapsedTimer timer;
        timer.start();
        dao::Database::Compact(f.large, ";pwd=" + kPassword, copy, kPassword);
        exportSeconds = timer.nsecsElapsed() / 1e9;

        FacilitySession session{f.dir.path(), kPassword, {}};
        CTDXDoc doc(session, settings, prompter);
        doc.OpenFacility(f.large);
        timer.restart();
        if (!doc.Compact(std::nullopt)) state.SkipWithError("compaction failed");
        compactSeconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(compactSeconds);
    }
    state.counters["compact_s"] = compactSeconds;
    state.counters["export_s"] = exportSeconds;
    state.counters["ratio"] = compactSeconds / exportSeconds;
}
BENCHMARK(BM_CompactionAgainstPlainExport)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
