// The facility directory on a facility of 5,000 locations, one of which
// holds 2,000 locks.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "desktop/admin/facility_directory.h"
#include "desktop/app/app_settings.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/scripted_prompter.h"
#include "tools/facility_gen/facility_generator.h"

namespace {

using namespace tandrel;

struct Facility {
    QTemporaryDir dir;
    AppSettings settings{dir.filePath("settings.ini")};
    FacilitySession session{dir.path(), {}, {}};
    ScriptedPrompter prompter;
    CTDXDoc doc{session, settings, prompter};
    int big = 0;

    Facility() {
        prompter.Answer(PromptAnswer::No);
        NewFacilityValues values;
        values.name = "Bench";
        doc.NewFacility(values);
        GeneratorOptions options;
        options.locations = 5000;
        options.locks = 0;
        options.users = 0;
        options.enrolments = 0;
        options.auditRows = 0;
        GenerateFacilityData(doc.Db(), options);
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
