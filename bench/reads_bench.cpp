// The facility's large reads and the forced refresh on a password-protected
// facility of 60,000 users, 500 locks, 200,000 enrolments and 1,000,000
// audit rows (and the same with 100,000 audit rows), each command run as
// `tandrel-cli` runs it, beside a plain SQL statement doing the same reads
// or writes in the same iteration.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <malloc.h>

#include <fstream>
#include <sstream>
#include <streambuf>

#include "bench/bench_facility.h"
#include "desktop/app/app_settings.h"
#include "desktop/cli/cli.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/scripted_prompter.h"
#include "tools/facility_gen/facility_generator.h"

namespace {

using namespace tandrel;

const QString kPassword = QStringLiteral("bench-pw-01");

// Two facilities made once per run and never changed: the forced refresh
// works on copies.
struct Facilities {
    QTemporaryDir dir;
    QString large, small;

    Facilities() {
        large = Make("Large", 1000000);
        small = Make("Small", 100000);
    }

    QString Make(const QString& name, int auditRows) {
        return MakeFacilityFile(dir.path(), name, 6, LargeFacility(500, 200000, auditRows),
                                kPassword);
    }

    // A fresh copy of the large facility in a folder of its own, under the
    // facility's own name (another name would be offered as a rename).
    QString Copy(const QString& folder) const {
        QDir(dir.path()).mkpath(folder);
        const QString copy = dir.filePath(folder + "/Large.qfd");
        QFile::remove(copy);
        QFile::copy(large, copy);
        return copy;
    }
};

Facilities& Shared() {
    static Facilities facilities;
    return facilities;
}

// Counts what the command prints and keeps none of it.
class CountingBuffer : public std::streambuf {
  public:
    std::int64_t bytes = 0;

  protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += n;
        return n;
    }
    int overflow(int c) override {
        ++bytes;
        return c;
    }
};

// The process's peak resident memory, in MB, since the last reset.
double PeakRssMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// Hands freed memory back first, so the peak counts what the next step holds.
void ResetPeakRss() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

// SQLite's own memory (the page cache included) at its peak since the last
// reset, in MB.
double SqlitePeakMb() {
    sqlite3_int64 current = 0, peak = 0;
    sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &current, &peak, 0);
    return static_cast<double>(peak) / (1024.0 * 1024.0);
}

void ResetSqlitePeak() {
    sqlite3_int64 current = 0, peak = 0;
    sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &current, &peak, 1);
}

// One `tandrel-cli` command on a facility; its seconds and output bytes.
struct CliRun {
    double seconds = 0;
    std::int64_t bytes = 0;
    int exitCode = 0;
};

CliRun RunCommand(const QString& facility, std::vector<std::string> command) {
    Facilities& f = Shared();
    std::vector<std::string> args = {"--settings", f.dir.filePath("cli.ini").toStdString(),
                                     "--password", kPassword.toStdString(),
                                     "--file",     facility.toStdString()};
    args.insert(args.end(), command.begin(), command.end());
    CountingBuffer buffer;
    std::ostream out(&buffer);
    std::istringstream in;
    std::ostringstream err;
    QElapsedTimer timer;
    timer.start();
    const int code = RunCli(args, in, out, err, false);
    return {timer.nsecsElapsed() / 1e9, buffer.bytes, code};
}

// A plain statement stepped to its end, every column read as SQLite holds
// it; its seconds.
double PlainSelect(const QString& facility, const std::string& sql) {
    auto db = dao::Database::Open(facility, ";pwd=" + kPassword);
    QElapsedTimer timer;
    timer.start();
    dao::sqlite::Statement s(db->Connection().Handle(), sql);
    sqlite3_stmt* raw = s.Handle();
    std::int64_t sum = 0;
    while (s.Step()) {
        for (int c = 0; c < s.ColumnCount(); ++c) {
            sum += sqlite3_column_type(raw, c) == SQLITE_TEXT ? sqlite3_column_bytes(raw, c)
                                                              : sqlite3_column_int64(raw, c);
        }
    }
    benchmark::DoNotOptimize(sum);
    return timer.nsecsElapsed() / 1e9;
}

// The whole command against the same reads as one plain statement.
void CommandBesidePlainSql(benchmark::State& state, const QString& facility,
                           const std::vector<std::string>& command, const std::string& sql) {
    double commandSeconds = 0, sqlSeconds = 0, commandPeak = 0, sqlPeak = 0, sqlitePeak = 0;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        ResetPeakRss();
        ResetSqlitePeak();
        const CliRun run = RunCommand(facility, command);
        commandPeak = PeakRssMb();
        sqlitePeak = SqlitePeakMb();
        if (run.exitCode != 0) state.SkipWithError("the command failed");
        ResetPeakRss();
        sqlSeconds = PlainSelect(facility, sql);
        sqlPeak = PeakRssMb();
        commandSeconds = run.seconds;
        bytes = run.bytes;
        state.SetIterationTime(commandSeconds);
    }
    state.counters["command_s"] = commandSeconds;
    state.counters["plain_sql_s"] = sqlSeconds;
    state.counters["ratio"] = commandSeconds / sqlSeconds;
    state.counters["output_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = commandPeak;
    state.counters["sqlite_peak_MB"] = sqlitePeak;
    state.counters["plain_sql_peak_rss_MB"] = sqlPeak;
}

// --- The user list -----------------------------------------------------------

const std::string kUserListSql =
    "SELECT u.\"User Key\", u.\"Last Name\", u.\"First Name\", u.\"Middle Initial\", "
    "u.\"Card Media\", u.\"CardMediaType\", u.\"Lock ID code\", u.\"Home Group\", "
    "g.\"Group Name\", u.Contact1, u.Contact2, u.Reference FROM Users AS u LEFT JOIN "
    "\"User Groups\" AS g ON g.\"Group Key\" = u.\"Home Group\" WHERE u.\"Record State\" <> 0 "
    "ORDER BY u.\"User Key\"";

void BM_UserList_60kUsers(benchmark::State& state) {
    CommandBesidePlainSql(state, Shared().large, {"user", "list"}, kUserListSql);
}
void BM_UserListJson_60kUsers(benchmark::State& state) {
    CommandBesidePlainSql(state, Shared().large, {"--json", "user", "list"}, kUserListSql);
}
BENCHMARK(BM_UserList_60kUsers)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UserListJson_60kUsers)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Opening alone, the floor under every command.
void BM_FacilityInfo(benchmark::State& state) {
    CommandBesidePlainSql(state, Shared().large, {"info"}, "SELECT count(*) FROM Users");
}
BENCHMARK(BM_FacilityInfo)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// --- The audit list ----------------------------------------------------------

// The same rows, newest first, sorted by the engine in one statement (as
// the list was read before it streamed).
const std::string kAuditSortedSql =
    "SELECT a.LockKey, l.Name, a.AuditKey, a.TimeStamp, a.UserKey, u.\"Last Name\", "
    "u.\"First Name\", u.\"Middle Initial\", a.Event, a.AccessLevel, a.UserGroups FROM "
    "\"Audit Data\" AS a LEFT JOIN Locks AS l ON l.\"Lock Key\" = a.LockKey LEFT JOIN Users AS u "
    "ON u.\"User Key\" = a.UserKey ORDER BY a.TimeStamp DESC, a.LockKey, a.AuditKey DESC";

void BM_AuditListJson_1MRows(benchmark::State& state) {
    CommandBesidePlainSql(state, Shared().large, {"--json", "audit", "list"}, kAuditSortedSql);
}
void BM_AuditListJson_100kRows(benchmark::State& state) {
    CommandBesidePlainSql(state, Shared().small, {"--json", "audit", "list"}, kAuditSortedSql);
}
void BM_AuditListText_1MRows(benchmark::State& state) {
    CommandBesidePlainSql(state, Shared().large, {"audit", "list"}, kAuditSortedSql);
}
void BM_AuditListCsv_1MRows(benchmark::State& state) {
    CommandBesidePlainSql(state, Shared().large, {"audit", "list", "--csv"}, kAuditSortedSql);
}
// Only the first event: what finding the runs costs before any is printed.
void BM_AuditListFirstEvent_1MRows(benchmark::State& state) {
    CommandBesidePlainSql(state, Shared().large, {"audit", "list", "--limit", "1"},
                          kAuditSortedSql + " LIMIT 1");
}
BENCHMARK(BM_AuditListJson_1MRows)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_AuditListJson_100kRows)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_AuditListText_1MRows)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_AuditListCsv_1MRows)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_AuditListFirstEvent_1MRows)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

// --- The forced refresh ------------------------------------------------------

std::string AllLocks() {
    std::string list;
    for (int key = 1; key <= 500; ++key) list += (list.empty() ? "(" : ", ") + std::to_string(key);
    return list + ")";
}

// The refresh's writes as three plain statements in one transaction.
double PlainRefresh(const QString& facility) {
    auto db = dao::Database::Open(facility, ";pwd=" + kPassword);
    const std::string locks = AllLocks();
    QElapsedTimer timer;
    timer.start();
    db->ExecuteSql("BEGIN");
    db->ExecuteSql(
        "UPDATE Locks SET \"Data Downloaded Flag\" = 0, \"Pending Action Counter\" = 2, "
        "\"Downloaded Open Delay Seconds\" = 0, \"Downloaded Facility Rev\" = 0, \"Downloaded UG "
        "Table Rev\" = 0, \"Downloaded TS Rev\" = 0, \"Rebuild User List\" = 1, \"Record State\" "
        "= 2 WHERE \"Lock Key\" IN " +
        locks);
    db->ExecuteSql(
        "UPDATE Users SET \"Pending Action Counter\" = \"Pending Action Counter\" + (SELECT "
        "count(*) FROM \"Users to Locks\" AS e WHERE e.\"User Index\" = Users.\"User Key\" AND "
        "e.\"Record State\" = 1) WHERE \"User Key\" IN (SELECT \"User Index\" FROM \"Users to "
        "Locks\" WHERE \"Record State\" = 1)");
    db->ExecuteSql("UPDATE \"Users to Locks\" SET \"Record State\" = 3 WHERE \"Record State\" = 1");
    db->ExecuteSql("COMMIT");
    return timer.nsecsElapsed() / 1e9;
}

void BM_ForceRefresh_500Locks(benchmark::State& state) {
    Facilities& f = Shared();
    double refreshSeconds = 0, sqlSeconds = 0;
    for (auto _ : state) {
        const QString copy = f.Copy("Refresh");
        const CliRun run = RunCommand(copy, {"--yes", "refresh"});
        if (run.exitCode != 0) state.SkipWithError("refresh failed");
        refreshSeconds = run.seconds;
        sqlSeconds = PlainRefresh(f.Copy("Plain"));
        state.SetIterationTime(refreshSeconds);
    }
    state.counters["command_s"] = refreshSeconds;
    state.counters["plain_sql_s"] = sqlSeconds;
    state.counters["ratio"] = refreshSeconds / sqlSeconds;
}
BENCHMARK(BM_ForceRefresh_500Locks)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);

// The same writes lock by lock, each lock committed on its own, as the
// refresh was first done: the commits, not the statements, cost the time.
void BM_PlainSql_RefreshCommittedPerLock(benchmark::State& state) {
    Facilities& f = Shared();
    for (auto _ : state) {
        auto db = dao::Database::Open(f.Copy("PerLock"), ";pwd=" + kPassword);
        QElapsedTimer timer;
        timer.start();
        for (int lock = 1; lock <= 500; ++lock) {
            const std::string key = std::to_string(lock);
            db->ExecuteSql("BEGIN");
            db->ExecuteSql(
                "UPDATE Locks SET \"Data Downloaded Flag\" = 0, \"Pending Action Counter\" = 2, "
                "\"Downloaded Open Delay Seconds\" = 0, \"Downloaded Facility Rev\" = 0, "
                "\"Downloaded UG Table Rev\" = 0, \"Downloaded TS Rev\" = 0, \"Rebuild User "
                "List\" = 1, \"Record State\" = 2 WHERE \"Lock Key\" = " +
                key);
            db->ExecuteSql(
                "UPDATE Users SET \"Pending Action Counter\" = \"Pending Action Counter\" + "
                "(SELECT count(*) FROM \"Users to Locks\" AS e WHERE e.\"User Index\" = "
                "Users.\"User Key\" AND e.\"Record State\" = 1 AND e.\"Lock Index\" = " +
                key +
                ") WHERE \"User Key\" IN (SELECT \"User Index\" FROM \"Users to Locks\" WHERE "
                "\"Record State\" = 1 AND \"Lock Index\" = " +
                key + ")");
            db->ExecuteSql(
                "UPDATE \"Users to Locks\" SET \"Record State\" = 3 WHERE \"Record State\" = 1 "
                "AND \"Lock Index\" = " +
                key);
            db->ExecuteSql("COMMIT");
        }
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
    }
}
BENCHMARK(BM_PlainSql_RefreshCommittedPerLock)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
