// Lock user administration through the sheet models, on a facility of 500
// locks.
#include <benchmark/benchmark.h>

#include "bench/bench_facility.h"

#include <QElapsedTimer>

#include "desktop/admin/lock_properties_sheet.h"
#include "desktop/admin/lock_user_sheet.h"

namespace {

using namespace tandrel;

constexpr int kLocks = 500;
constexpr int kUsers = 10000;

BenchFacility& Shared() {
    static BenchFacility facility(LocksOnly(20, kLocks), 6);
    return facility;
}

// Each user: a new sheet, its page checks (the ID search included) and its
// save in a transaction of its own.
void BM_AddUsersThroughTheSheet(benchmark::State& state) {
    auto& f = Shared();
    int made = 0;
    for (auto _ : state) {
        for (int i = 0; i < kUsers; ++i) {
            auto sheet = CLockUsersSheet::NewUser(f.doc, f.prompter);
            sheet->General() = {QStringLiteral("User%1").arg(made),
                                "Bench",
                                "",
                                kIdCode,
                                QStringLiteral("%1").arg(made, 6, 10, QLatin1Char('0')),
                                "0",
                                {},
                                kProgrammer,
                                0,
                                "123"};
            sheet->Groups().homeGroup = 0;
            ++made;
            if (!sheet->CheckGeneralPage() || !sheet->CheckGroupsPage() || !sheet->Save()) {
                state.SkipWithError("a user was refused");
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_AddUsersThroughTheSheet)->Iterations(1)->Unit(benchmark::kSecond);

void BM_EnrolOneUserInto500Locks(benchmark::State& state) {
    auto& f = Shared();
    std::vector<int> locks;
    for (int k = 1; k <= kLocks; ++k) locks.push_back(k);
    for (auto _ : state) {
        auto sheet = CLockUsersSheet::EditUser(f.doc, f.prompter, 2);
        if (!sheet->Enrol(locks) || !sheet->Save()) state.SkipWithError("enrolment failed");
    }
}
BENCHMARK(BM_EnrolOneUserInto500Locks)->Iterations(1)->Unit(benchmark::kSecond);

void BM_Enrol2000UsersIntoOneLock(benchmark::State& state) {
    auto& f = Shared();
    std::vector<int> users;
    for (int u = 3; u < 3 + 2000; ++u) users.push_back(u);
    for (auto _ : state) {
        auto sheet = CLockPropertiesSheet::EditLock(f.doc, f.prompter, 7);
        sheet->EnrolUsers(users);
        if (!sheet->Save()) state.SkipWithError("enrolment failed");
    }
}
BENCHMARK(BM_Enrol2000UsersIntoOneLock)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
