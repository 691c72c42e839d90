// Code ID length conversion on a facility of 60,000 users with 8-digit
// code IDs, 500 locks and 120,000 enrolments, shortened to 6 digits.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

#include "bench/bench_facility.h"
#include "desktop/admin/facility_properties_sheet.h"
#include "desktop/admin/length_conversion.h"
#include "desktop/app/app_settings.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/scripted_prompter.h"
#include "tools/facility_gen/facility_generator.h"

namespace {

using namespace tandrel;

// The facility made once; every run works on a fresh copy of it.
struct Pristine {
    QTemporaryDir dir;
    QString path;

    Pristine() {
        path = MakeFacilityFile(dir.path(), QStringLiteral("Pristine"), 8,
                                LargeFacility(500, 120000, 0));
        auto db = dao::Database::Open(path);
        // Eight-digit codes spread over the whole range, as issued by hand.
        db->ExecuteSql(
            "UPDATE Users SET \"Lock ID code\" = printf('%08d', (\"User Key\" * 48271) % "
            "100000000) WHERE \"User Key\" > 1");
    }
};

Pristine& Shared() {
    static Pristine pristine;
    return pristine;
}

// A working copy of the pristine facility, open in a document.
struct Work {
    AppSettings settings{Shared().dir.filePath("settings.ini")};
    FacilitySession session{Shared().dir.path(), {}, {}};
    ScriptedPrompter prompter;
    CTDXDoc doc{session, settings, prompter};

    Work() {
        // Same file name, so the document finds the name it expects.
        QDir().mkpath(Shared().dir.filePath("work"));
        const QString copy = Shared().dir.filePath("work/Pristine.qfd");
        QFile::remove(copy);
        QFile::copy(Shared().path, copy);
        doc.OpenFacility(copy);
    }
};

// The conversion alone (the final question answered Yes) and its commit.
void BM_CodeIdConversion_60kUsers_8To6(benchmark::State& state) {
    std::optional<Work> work;
    for (auto _ : state) {
        state.PauseTiming();
        work.emplace();
        work->prompter.Answer(PromptAnswer::Yes);
        state.ResumeTiming();
        dao::Transaction transaction(work->doc.Db());
        auto result =
            ConvertCodeIdLength({work->doc, work->prompter, ClockSeededRandom(), {}}, 8, 6);
        transaction.Commit();
        if (result != ConversionResult::Converted) state.SkipWithError("conversion failed");
    }
}
BENCHMARK(BM_CodeIdConversion_60kUsers_8To6)->Iterations(1)->Unit(benchmark::kMillisecond);

// The facility property sheet's save of the new length: the conversion,
// the revision and the marks on every lock, in one transaction.
void BM_FacilitySave_60kUsers_8To6(benchmark::State& state) {
    std::optional<Work> work;
    for (auto _ : state) {
        state.PauseTiming();
        work.emplace();
        work->prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
        auto sheet = CFacilityPropertiesSheet::Open(work->doc, work->prompter);
        sheet->Values().idCodeLength = 6;
        state.ResumeTiming();
        if (!sheet->Ok()) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_FacilitySave_60kUsers_8To6)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
