// The facility directory on a facility of 5,000 locations, one of which
// holds 2,000 locks.
#include <benchmark/benchmark.h>

#include "bench/bench_facility.h"

#include "desktop/admin/facility_directory.h"

namespace {

using namespace tandrel;

struct Facility : BenchFacility {
    int big = 0;

    Facility() : BenchFacility(LocksOnly(5000, 0)) {
        FacilityDirectory tree(doc, prompter);
        tree.Load();
        big = *tree.AddLocation(tree.RootKey(), "Big");
        int inner = *tree.AddLocation(big, "Inner");
        dao::Transaction transaction(doc.Db());
        CLocksRecordset locks(doc.Db());
        for (int i = 0; i < 2000; ++i) {
            locks.AddNew();
            locks.m_Name = QStringLiteral("Lock %1").arg(i);
            locks.m_PathIndex = i % 2 ? big : inner;
            locks.m_FullPath = tree.Path(locks.m_PathIndex);
            locks.Update();
        }
        transaction.Commit();
    }
};

Facility& Shared() {
    static Facility facility;
    return facility;
}

void BM_LoadDirectory5000Locations(benchmark::State& state) {
    Facility& f = Shared();
    FacilityDirectory tree(f.doc, f.prompter);
    for (auto _ : state) {
        if (!tree.Load()) state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_LoadDirectory5000Locations)->Unit(benchmark::kMillisecond);

// Every lock at or below the location gets its new FullPath, in one
// transaction.
void BM_RenameLocationAbove2000Locks(benchmark::State& state) {
    Facility& f = Shared();
    FacilityDirectory tree(f.doc, f.prompter);
    tree.Load();
    int round = 0;
    for (auto _ : state) {
        if (!tree.RenameLocation(f.big, QStringLiteral("Big %1").arg(++round))) {
            state.SkipWithError("rename failed");
        }
    }
}
BENCHMARK(BM_RenameLocationAbove2000Locks)->Unit(benchmark::kMillisecond);

}  // namespace
