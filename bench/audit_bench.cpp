// Audit data import: 1,000 audit blocks of 100 events each from a handheld
// store into a generated facility, beside a plain SQLite insert of the same
// rows, and the same blocks imported a second time (all duplicates).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <ctime>
#include <optional>
#include <random>

#include "bench/bench_cradle.h"
#include "bench/bench_facility.h"
#include "desktop/exchange/audit_collection.h"
#include "desktop/exchange/handheld_transport.h"
#include "platform/ce/cradle_session.h"
#include "protocol/packed_date.h"

namespace {

using namespace tandrel;

constexpr int kLocks = 100, kBlocks = 1000, kEventsPerBlock = 100;
constexpr int kEvents = kBlocks * kEventsPerBlock;
// Above the generator's audit keys, so every event is new the first time.
constexpr std::uint32_t kFirstKey = 1'000'000;

BenchFacility& AuditFacility() {
    static BenchFacility facility([] {
        GeneratorOptions o;
        o.locations = 10;
        o.locks = kLocks;
        o.users = 2000;
        o.enrolments = 40000;
        o.auditRows = 100000;
        return o;
    }());
    return facility;
}

// One lock's block: 100 events a minute apart (entries, attempts, level and
// group changes, users in and out of the lock's slots) and its status.
protocol::Bytes Block(int index, std::mt19937& random) {
    static constexpr std::uint8_t kTypes[] = {3, 3, 3, 4, 2, 5, 6, 0x0C, 0x0D, 0x0B};
    const std::uint32_t first = kFirstKey + static_cast<std::uint32_t>(index / kLocks + 1) * 1000;
    std::vector<protocol::AuditItem> items;
    for (int i = 0; i < kEventsPerBlock; ++i) {
        protocol::AuditEvent e;
        e.type = kTypes[random() % std::size(kTypes)];
        e.dateWord = protocol::PackDate(2026, 1 + index % 12, 1 + i % 28);
        e.hour = i % 24;
        e.minute = (index + i) % 60;
        e.lockUserIndex =
            i % 50 == 0 ? protocol::kAuditNoUserSlot : static_cast<int>(random() % 500);
        e.accessLevel = 2;
        e.userGroups = 0x81;
        items.push_back(e);
    }
    const auto day = static_cast<std::uint8_t>(1 + index / kLocks);
    items.push_back(protocol::AuditStatus{5000, 3, 0x0105, 100, 200, 26, 1, day, 12, 0});
    return protocol::EncodeAuditBlock(first, items);
}

const std::vector<protocol::Bytes>& Blocks() {
    static const std::vector<protocol::Bytes> blocks = [] {
        std::mt19937 random(7);
        std::vector<protocol::Bytes> out;
        for (int b = 0; b < kBlocks; ++b) out.push_back(Block(b, random));
        return out;
    }();
    return blocks;
}

// A fresh store holding the 1,000 blocks, as the handheld leaves them.
void WriteStore(const QString& path) {
    QFile::remove(path);
    BenchCradle cradle(path);
    CHandheldRecord record(RecordKind::Audit, *cradle.transport, cradle.databases.laf.handle);
    for (int b = 0; b < kBlocks; ++b) {
        record.SetUI2(0, static_cast<std::uint16_t>(b % kLocks + 1));
        const protocol::Bytes& block = Blocks()[static_cast<std::size_t>(b)];
        record.SetBlob(1, block.data(), static_cast<int>(block.size()));
        record.Write(true);
    }
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The same 100,000 rows (seven integers each) through one prepared statement
// in one transaction, committed.
double PlainInsertSeconds(const QString& path) {
    QFile::remove(path);
    const auto start = std::chrono::steady_clock::now();
    dao::sqlite::Connection db;
    db.Open(path, true);
    db.Exec(
        "CREATE TABLE audit (lock INTEGER, key INTEGER, user INTEGER, event INTEGER, time "
        "INTEGER, level INTEGER, groups INTEGER)");
    db.Exec("BEGIN");
    dao::sqlite::Statement insert(db.Handle(), "INSERT INTO audit VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (int i = 0; i < kEvents; ++i) {
        insert.Reset();
        insert.BindInt(1, i / kEventsPerBlock % kLocks + 1);
        insert.BindInt(2, kFirstKey + i);
        insert.BindInt(3, i % 400 + 2);
        insert.BindInt(4, 3);
        insert.BindInt(5, 1'767'225'600 + i * 60);
        insert.BindInt(6, 0);
        insert.BindInt(7, 0);
        insert.Run();
    }
    db.Exec("COMMIT");
    db.Close();
    return SecondsSince(start);
}

// The collection from a fresh cradle connection to its close; false when it
// failed. With `outer`, the whole collection runs inside one facility
// transaction, so each block's commit only releases a savepoint.
bool Import(BenchFacility& f, const QString& path, bool outer = false) {
    std::optional<dao::Transaction> transaction;
    if (outer) transaction.emplace(f.doc.Db());
    BenchCradle cradle(path);
    AuditCollector collector(f.doc.Db(), *cradle.transport, cradle.databases, f.prompter);
    auto progress = f.prompter.StartProgress({}, {}, 0);
    const bool done = collector.Collect(*progress) == 0;
    if (transaction) transaction->Commit();
    return done;
}

// Takes the benchmark's rows out again and clears the status dates, so
// every iteration imports into the same facility.
void Forget(dao::Database& db) {
    db.ExecuteSql("DELETE FROM \"Audit Data\" WHERE AuditKey >= " + std::to_string(kFirstKey));
    db.ExecuteSql("UPDATE Locks SET \"Last Program Date\" = NULL");
}

double CpuSecondsSince(std::clock_t start) {
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// Wall time, the part of it the processor worked (the rest is mostly
// waiting for each commit to reach the disk), and the plain insert.
void Report(benchmark::State& state, double seconds, double cpuSeconds, double plainSeconds) {
    state.counters["events/s"] = kEvents / seconds;
    state.counters["cpu_s"] = cpuSeconds;
    if (plainSeconds > 0) {
        state.counters["plain_rows/s"] = kEvents / plainSeconds;
        state.counters["ratio"] = seconds / plainSeconds;
    }
}

// A fresh store of the 1,000 blocks imported into the facility, after the
// plain insert of as many rows.
void ImportFresh(benchmark::State& state, bool oneCommit) {
    auto& f = AuditFacility();
    const QString path = f.dir.filePath("handheld.store");
    for (auto _ : state) {
        Forget(f.doc.Db());
        WriteStore(path);
        const double plain = PlainInsertSeconds(f.dir.filePath("plain.db"));
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpu = std::clock();
        if (!Import(f, path, oneCommit)) state.SkipWithError("the import failed");
        const double seconds = SecondsSince(start);
        state.SetIterationTime(seconds);
        Report(state, seconds, CpuSecondsSince(cpu), plain);
    }
}

// Each block's rows committed before the block is deleted.
void BM_ImportAudit_1000Blocks100Events(benchmark::State& state) {
    ImportFresh(state, false);
}
BENCHMARK(BM_ImportAudit_1000Blocks100Events)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// The floor under it: the same import with one commit at the end instead
// of one per block (not how the exchange runs it: a failure would then keep
// no block's rows).
void BM_ImportAudit_OneCommit(benchmark::State& state) {
    ImportFresh(state, true);
}
BENCHMARK(BM_ImportAudit_OneCommit)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

// The same blocks once more: every event is there already.
void BM_ReimportDuplicates_1000Blocks100Events(benchmark::State& state) {
    auto& f = AuditFacility();
    const QString path = f.dir.filePath("handheld.store");
    Forget(f.doc.Db());
    WriteStore(path);
    Import(f, path);
    for (auto _ : state) {
        WriteStore(path);
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpu = std::clock();
        if (!Import(f, path)) state.SkipWithError("the import failed");
        const double seconds = SecondsSince(start);
        state.SetIterationTime(seconds);
        Report(state, seconds, CpuSecondsSince(cpu), 0);
    }
}
BENCHMARK(BM_ReimportDuplicates_1000Blocks100Events)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
