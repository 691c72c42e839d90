// Lock programming: compiling time schedules as the programming run does.
#include <benchmark/benchmark.h>

#include "bench/bench_facility.h"
#include "desktop/exchange/lock_programmer.h"

namespace {

using namespace tandrel;

constexpr int kSchedules = 1000;
constexpr int kDays = 7, kGroups = 8, kEventsPerDay = 20;

// 7 days x 8 groups x 20 switches a day, each group on its own minutes, plus
// a level change every morning and evening.
std::vector<ScheduleEventRow> WeekOfEvents(int variant) {
    std::vector<ScheduleEventRow> rows;
    for (int day = 0; day < kDays; ++day) {
        rows.push_back({0, static_cast<std::uint32_t>(7 | 0 << 5 | 2 << 11 | day << 16)});
        rows.push_back({0, static_cast<std::uint32_t>(19 | 0 << 5 | 1 << 11 | day << 16)});
    }
    for (int group = 0; group < kGroups; ++group) {
        for (int day = 0; day < kDays; ++day) {
            for (int i = 0; i < kEventsPerDay; ++i) {
                const int hour = i + 2, minute = (group * 7 + variant + i) % 60;
                const std::uint32_t on = i % 2 == 0 ? 1u << 14 : 0;
                rows.push_back({1, static_cast<std::uint32_t>(day | hour << 3 | minute << 8) | on |
                                       static_cast<std::uint32_t>(group) << 16});
            }
        }
    }
    return rows;
}

void BM_CompileSchedules_1000_7Days8Groups20Events(benchmark::State& state) {
    std::vector<std::vector<ScheduleEventRow>> schedules;
    for (int i = 0; i < kSchedules; ++i) schedules.push_back(WeekOfEvents(i % 60));
    std::size_t entries = 0;
    for (auto _ : state) {
        for (const auto& rows : schedules) entries += CompileSchedule(rows).size();
    }
    benchmark::DoNotOptimize(entries);
    state.counters["schedules/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSchedules, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CompileSchedules_1000_7Days8Groups20Events)->Unit(benchmark::kMillisecond);

// The same 1,000 schedules read from the facility's event rows first.
void BM_CompileSchedulesFromFacility_1000(benchmark::State& state) {
    static BenchFacility facility(LocksOnly(1, 1));
    static std::vector<int> keys;
    auto& db = facility.doc.Db();
    if (keys.empty()) {
        dao::Transaction transaction(db);
        CTimeSchedulesRecordset schedules(db);
        CScheduleEventsRecordset events(db);
        for (int i = 0; i < kSchedules; ++i) {
            schedules.AddNew();
            keys.push_back(schedules.m_ScheduleKey);
            schedules.m_Name = QStringLiteral("Schedule %1").arg(i);
            schedules.Update();
            for (const ScheduleEventRow& e : WeekOfEvents(i % 60)) {
                events.AddNew();
                events.m_SchedLink = keys.back();
                events.m_Schedule = static_cast<std::uint8_t>(e.schedule);
                events.m_Event = static_cast<std::int32_t>(e.event);
                events.Update();
            }
        }
        transaction.Commit();
    }
    struct NoDevice : ProgramStore {
        int Append(const ProgramRecord&) override { return 0; }
        int SeekAtLeast(std::uint32_t) override { return kErrRecordNotFound; }
        int SeekFirst() override { return kErrRecordNotFound; }
        int ReadNext(ProgramRecord&) override { return kErrNoMoreItems; }
        int DeleteLastRead() override { return 0; }
        int RecordCount() override { return 0; }
        bool IsNetworkDevice() const override { return false; }
        int MarkNewLock(int) override { return 0; }
    } device;
    LockProgrammer programmer(db, device, facility.prompter);
    CompiledSchedule table;
    for (auto _ : state) {
        for (int key : keys) {
            if (programmer.Compile(key, table) < 0) state.SkipWithError("compile failed");
        }
    }
    state.counters["schedules/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSchedules, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CompileSchedulesFromFacility_1000)->Unit(benchmark::kMillisecond);

}  // namespace
