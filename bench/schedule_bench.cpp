// Saving a time schedule through the sheet model: 7 days x 8 groups x 20
// group events, on a facility of 500 locks.
#include <benchmark/benchmark.h>

#include "bench/bench_facility.h"

#include "desktop/admin/time_schedule_sheet.h"

namespace {

using namespace tandrel;

constexpr int kLocks = 500;
constexpr int kEventsPerDay = 20;

BenchFacility& Shared() {
    static BenchFacility facility(LocksOnly(20, kLocks));
    return facility;
}

// Every group and day gets 20 events, `shift` minutes into their hours.
bool FillGroups(CTimeScheduleSheet& sheet, int shift) {
    for (int group = 0; group < kScheduleGroups; ++group) {
        for (int day = 0; day < kDaysPerWeek; ++day) {
            for (int i = 0; i < kEventsPerDay; ++i) {
                const GroupEventEntry entry{EventTimeText(i, (2 * i + shift) % 60), i % 2 == 0};
                if (sheet.Groups().AddEvent(ScheduleNode::Day(day, group), entry) !=
                    EntryOutcome::Accepted) {
                    return false;
                }
            }
        }
    }
    return true;
}

// A new schedule: the schedule row and 1,120 event rows in one transaction.
void BM_SaveNewSchedule_7Days8Groups20Events(benchmark::State& state) {
    auto& f = Shared();
    static int made = 0;  // the function runs more than once
    for (auto _ : state) {
        state.PauseTiming();
        auto sheet = CTimeScheduleSheet::NewSchedule(f.doc, f.prompter);
        sheet->SetName(QStringLiteral("Schedule %1").arg(++made));
        const bool filled = FillGroups(*sheet, 0);
        state.ResumeTiming();
        if (!filled || !sheet->Save()) {
            state.SkipWithError("the schedule was refused");
            break;
        }
    }
}
BENCHMARK(BM_SaveNewSchedule_7Days8Groups20Events)->Unit(benchmark::kMillisecond);

// The same schedule, enrolled in all 500 locks, with every event moved: 1,120
// rows rewritten, the revision raised and 500 locks marked.
void BM_ResaveChangedSchedule_7Days8Groups20Events(benchmark::State& state) {
    auto& f = Shared();
    static const int key = [&f] {
        auto first = CTimeScheduleSheet::NewSchedule(f.doc, f.prompter);
        first->SetName(QStringLiteral("Enrolled"));
        first->Enrollment().Enroll({EnrolmentNode::Kind::Root, 0});
        return FillGroups(*first, 0) && first->Save() ? first->ScheduleKey() : 0;
    }();
    if (key == 0) {
        state.SkipWithError("set-up failed");
        return;
    }
    int shift = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto sheet = CTimeScheduleSheet::Open(f.doc, f.prompter, key);
        f.prompter.Answer(PromptAnswer::Yes);
        sheet->Groups().Delete(ScheduleNode::Root());
        const bool filled = FillGroups(*sheet, ++shift % 2);
        state.ResumeTiming();
        if (!filled || !sheet->Save()) {
            state.SkipWithError("the schedule was refused");
            break;
        }
    }
}
BENCHMARK(BM_ResaveChangedSchedule_7Days8Groups20Events)->Unit(benchmark::kMillisecond);

}  // namespace
