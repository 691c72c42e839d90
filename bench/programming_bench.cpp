// Lock programming: queueing a facility's programming on a handheld store,
// collecting it back once delivered, and compiling time schedules.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <ctime>

#include "bench/bench_cradle.h"
#include "bench/bench_facility.h"
#include "desktop/exchange/device_program_store.h"
#include "desktop/exchange/handheld_transport.h"
#include "desktop/exchange/lock_programmer.h"
#include "desktop/exchange/program_collection.h"
#include "platform/ce/cradle_session.h"

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
        int Delete(const ProgramRecord&) override { return 0; }
        int Flush() override { return 0; }
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

// ---- Queue and collect: 100 locks with 2,000 enrolled users each.

constexpr int kLocks = 100, kUsersPerLock = 2000;

BenchFacility& ProgrammedFacility() {
    static BenchFacility facility([] {
        GeneratorOptions o;
        o.locations = 10;
        o.locks = kLocks;
        o.users = kUsersPerLock;
        o.enrolments = kLocks * kUsersPerLock;
        o.auditRows = 0;
        return o;
    }());
    return facility;
}

std::vector<int> AllLocks(dao::Database& db) {
    std::vector<int> keys;
    CLocksRecordset locks(db);
    for (locks.MoveFirst(); !locks.IsEOF(); locks.MoveNext()) keys.push_back(locks.m_LockKey);
    return keys;
}

// Every lock new and every enrolment waiting: the complete programming.
void MarkEverythingPending(dao::Database& db) {
    db.ExecuteSql(
        "UPDATE Locks SET \"Record State\" = 2, \"Downloaded Facility Rev\" = 0, "
        "\"Downloaded UG Table Rev\" = 0, \"Downloaded Open Delay Seconds\" = 0, "
        "\"Rebuild User List\" = 1");
    db.ExecuteSql("UPDATE \"Users to Locks\" SET \"Record State\" = 2");
}

// Runs the programming of `locks` into the cradled store; the records it
// holds afterwards, or -1 when the run failed.
int QueueAll(BenchFacility& f, BenchCradle& cradle, const std::vector<int>& locks) {
    DeviceProgramStore store(*cradle.transport, cradle.databases);
    LockProgrammer programmer(f.doc.Db(), store, f.prompter);
    auto progress = f.prompter.StartProgress({}, {}, 0);
    if (programmer.Run(locks, *progress) != 0) return -1;
    ce::ObjectInfo info;
    cradle.session->OidGetInfo(cradle.databases.pgm.oid, info);
    return static_cast<int>(info.database.recordCount);
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The plain insert the queue is measured against: `rows` rows of a 32-bit
// key, a 16-bit command and a 17-byte payload, one prepared statement, one
// transaction, committed.
double PlainInsertSeconds(const QString& path, int rows) {
    QFile::remove(path);
    const auto start = std::chrono::steady_clock::now();
    dao::sqlite::Connection db;
    db.Open(path, true);
    db.Exec("CREATE TABLE program (key INTEGER, command INTEGER, payload BLOB)");
    db.Exec("BEGIN");
    dao::sqlite::Statement insert(db.Handle(), "INSERT INTO program VALUES (?, ?, ?)");
    const std::uint8_t payload[17] = {0,    1,    0x12, 0x34, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                      0xFF, 0xFF, 0xF2, 0,    1,    0x12, 0x3F, 0xFF};
    for (int i = 0; i < rows; ++i) {
        insert.Reset();
        insert.BindInt(1, (i / kUsersPerLock + 1) << 16 | (i % kUsersPerLock));
        insert.BindInt(2, 0x31);
        sqlite3_bind_blob(insert.Handle(), 3, payload, sizeof payload, SQLITE_STATIC);
        insert.Run();
    }
    db.Exec("COMMIT");
    db.Close();
    return SecondsSince(start);
}

double CpuSecondsSince(std::clock_t start) {
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// The figure, the part of it the processor worked (the rest is mostly
// waiting for commits to reach the disk), and the plain insert beside it.
void Report(benchmark::State& state, double seconds, double cpuSeconds, int records,
            double plainSeconds) {
    state.counters["cpu_s"] = cpuSeconds;
    state.counters["records"] = records;
    state.counters["records/s"] = records / seconds;
    state.counters["plain_rows/s"] = records / plainSeconds;
    state.counters["ratio"] = seconds / plainSeconds;
}

// The programming run over all 100 locks into an empty handheld store,
// committed, beside the plain insert of as many rows.
void BM_QueueProgramming_100Locks2000Users(benchmark::State& state) {
    auto& f = ProgrammedFacility();
    auto& db = f.doc.Db();
    const std::vector<int> locks = AllLocks(db);
    for (auto _ : state) {
        const QString path = f.dir.filePath("handheld.store");
        QFile::remove(path);
        MarkEverythingPending(db);
        const double plain = PlainInsertSeconds(f.dir.filePath("plain.db"), kLocks * kUsersPerLock);

        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpu = std::clock();
        int records = 0;
        {
            BenchCradle cradle(path);
            records = QueueAll(f, cradle, locks);
        }
        const double seconds = SecondsSince(start);
        if (records < 0) state.SkipWithError("the run failed");
        state.SetIterationTime(seconds);
        Report(state, seconds, CpuSecondsSince(cpu), records, plain);
    }
}
BENCHMARK(BM_QueueProgramming_100Locks2000Users)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// The floor under the queue: the same number of 17-byte records appended
// through the handheld record with no facility work at all.
void BM_AppendOnly_200kRecords(benchmark::State& state) {
    QTemporaryDir dir;
    const int rows = kLocks * kUsersPerLock;
    for (auto _ : state) {
        const QString path = dir.filePath("handheld.store");
        QFile::remove(path);
        const double plain = PlainInsertSeconds(dir.filePath("plain.db"), rows);
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpu = std::clock();
        {
            BenchCradle cradle(path);
            DeviceProgramStore store(*cradle.transport, cradle.databases);
            ProgramRecord record{0, 0x31, protocol::Bytes(17, 0xFF), 0};
            for (int i = 0; i < rows; ++i) {
                record.key =
                    static_cast<std::uint32_t>((i / kUsersPerLock + 1) << 16 | (i % kUsersPerLock));
                if (store.Append(record) != 0) state.SkipWithError("append failed");
            }
        }
        const double seconds = SecondsSince(start);
        state.SetIterationTime(seconds);
        Report(state, seconds, CpuSecondsSince(cpu), rows, plain);
    }
}
BENCHMARK(BM_AppendOnly_200kRecords)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

// Sets the delivered mark on every programming record, as the handheld
// does once the locks answered.
void DeliverAll(BenchCradle& cradle) {
    CHandheldRecord pgm(RecordKind::Programming, *cradle.transport, cradle.databases.pgm.handle);
    pgm.Seek(0);
    while (pgm.Read()) {
        pgm.SetUI2(PGM_DATA_OFFSET_COMMAND, pgm.GetUI2(PGM_DATA_OFFSET_COMMAND) | 0x8000);
        pgm.Write(false);
    }
}

// The collection of the delivered programming of all 100 locks: every
// record read, booked and deleted, beside the plain insert of as many rows.
void BM_CollectDelivered_100Locks2000Users(benchmark::State& state) {
    auto& f = ProgrammedFacility();
    auto& db = f.doc.Db();
    const std::vector<int> locks = AllLocks(db);
    for (auto _ : state) {
        const QString path = f.dir.filePath("handheld.store");
        QFile::remove(path);
        MarkEverythingPending(db);
        int records = 0;
        {
            BenchCradle cradle(path);
            records = QueueAll(f, cradle, locks);
            DeliverAll(cradle);
        }
        const double plain = PlainInsertSeconds(f.dir.filePath("plain.db"), records);

        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpu = std::clock();
        {
            BenchCradle cradle(path);
            DeviceProgramStore store(*cradle.transport, cradle.databases);
            ProgramCollector collector(db, store, f.prompter);
            auto progress = f.prompter.StartProgress({}, {}, 0);
            if (collector.Collect(*progress) != 0) state.SkipWithError("the collection failed");
        }
        const double seconds = SecondsSince(start);
        state.SetIterationTime(seconds);
        Report(state, seconds, CpuSecondsSince(cpu), records, plain);
    }
}
BENCHMARK(BM_CollectDelivered_100Locks2000Users)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
