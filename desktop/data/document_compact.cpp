#include <algorithm>

#include "desktop/app/app_settings.h"
#include "desktop/data/facility_backups.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/facility_schema.h"
#include "desktop/data/facility_states.h"
#include "desktop/data/facility_texts.h"
#include "platform/dao/error.h"
#include "platform/dao/scratch_file.h"
#include "platform/dao/value.h"

namespace tandrel {
namespace {

using dao::sqlite::Quote;

constexpr int kRecentPurgeDays = 90;
const char kWork[] = "qx_work";

std::string Columns(const QString& table, const QString& prefix = {}) {
    std::string list;
    for (const dao::FieldInfo& f : FacilityTable(table).fields) {
        if (!list.empty()) list += ", ";
        list += prefix.toStdString() + Quote(f.name);
    }
    return list;
}

std::string WorkTable(const char* table) {
    return std::string(kWork) + "." + Quote(table);
}

// The statement that copies a table into the work file with some columns
// computed (`replace`: column name -> expression over `alias`), joined to a
// key map: "JOIN" drops rows without an entry, "LEFT JOIN" keeps them.
std::string CopyStatement(const char* table, const char* alias,
                          const std::vector<std::pair<QString, std::string>>& replace,
                          const std::string& from, const std::string& tail) {
    std::string select;
    for (const dao::FieldInfo& f : FacilityTable(table).fields) {
        std::string expression = std::string(alias) + "." + Quote(f.name);
        for (const auto& [column, with] : replace) {
            if (column == f.name) expression = with;
        }
        select += (select.empty() ? "" : ", ") + expression;
    }
    return "INSERT INTO " + WorkTable(table) + " (" + Columns(table) + ") SELECT " + select +
           " FROM main." + Quote(table) + " " + alias + " " + from + " " + tail;
}

std::string MapJoin(const char* kind, const char* map, const char* alias, const char* column) {
    return std::string(kind) + " temp." + map + " m ON m.old = " + alias + "." +
           Quote(QString::fromLatin1(column));
}

// Drops the work file's indexes and returns the statements that make them
// again (in the work file).
std::vector<std::string> DropIndexes(dao::Database& db) {
    std::vector<std::pair<std::string, std::string>> found;
    {
        dao::sqlite::Statement s(db.Connection().Handle(),
                                 std::string("SELECT name, sql FROM ") + kWork +
                                     ".sqlite_master WHERE type = 'index' AND sql IS NOT NULL");
        while (s.Step()) found.emplace_back(s.Text(0).toStdString(), s.Text(1).toStdString());
    }
    std::vector<std::string> recreate;
    for (auto& [name, sql] : found) {
        db.ExecuteSql(std::string("DROP INDEX ") + kWork + "." +
                      Quote(QString::fromStdString(name)));
        std::size_t at = sql.find("INDEX ") + 6;
        recreate.push_back(sql.insert(at, std::string(kWork) + "."));
    }
    return recreate;
}

// Keys from `first` upwards without gaps: a key that is already the next
// free one keeps it; a gap is filled by the highest key not yet placed.
std::vector<std::pair<qint64, qint64>> CloseGaps(std::vector<qint64> keys, qint64 first) {
    std::sort(keys.begin(), keys.end());
    std::vector<std::pair<qint64, qint64>> map;
    qint64 next = first;
    std::ptrdiff_t low = 0, high = static_cast<std::ptrdiff_t>(keys.size()) - 1;
    while (low <= high) {
        if (keys[low] == next) {
            map.emplace_back(keys[low++], next++);
        } else {
            map.emplace_back(keys[high--], next++);
        }
    }
    return map;
}

std::vector<qint64> IntColumn(dao::Database& db, const std::string& sql) {
    std::vector<qint64> values;
    dao::sqlite::Statement s(db.Connection().Handle(), sql);
    while (s.Step()) values.push_back(s.Int(0));
    return values;
}

void WriteMap(dao::Database& db, const char* name,
              const std::vector<std::pair<qint64, qint64>>& map) {
    db.ExecuteSql(std::string("CREATE TEMP TABLE ") + name +
                  "(old INTEGER PRIMARY KEY, new INTEGER NOT NULL)");
    dao::sqlite::Statement insert(db.Connection().Handle(),
                                  std::string("INSERT INTO temp.") + name + " VALUES(?, ?)");
    for (auto [from, to] : map) {
        insert.Reset();
        insert.BindInt(1, from);
        insert.BindInt(2, to);
        insert.Run();
    }
}

// The new keys of the users that stay (0 and 1 keep theirs). Leaves the
// removed users in temp.qx_removed for the copy.
std::vector<std::pair<qint64, qint64>> UserKeyMap(dao::Database& db, const std::string& keep) {
    // A deleted user with no lock left to remove it from is fully removed.
    db.ExecuteSql(
        "CREATE TEMP TABLE qx_removed AS SELECT \"User Key\" AS key FROM \"Users\" WHERE "
        "\"Record State\" = " +
        std::to_string(kUserPendingRemoval) +
        " AND \"User Key\" NOT IN (SELECT \"User Index\" FROM \"Users to Locks\")");
    // Removed users stay while audit data that survives the purge names
    // them; the audit data is searched only for users that are removed.
    const std::string removed = "(\"Record State\" = " + std::to_string(kUserRemoved) +
                                " OR \"User Key\" IN (SELECT key FROM temp.qx_removed))";
    db.ExecuteSql("CREATE TEMP TABLE qx_named(key INTEGER PRIMARY KEY)");
    if (!IntColumn(db, "SELECT \"User Key\" FROM \"Users\" WHERE " + removed).empty()) {
        db.ExecuteSql("INSERT INTO temp.qx_named SELECT DISTINCT \"UserKey\" FROM \"Audit Data\"" +
                      keep + " AND \"UserKey\" IN (SELECT \"User Key\" FROM \"Users\" WHERE " +
                      removed + ")");
    }
    std::vector<qint64> kept =
        IntColumn(db, "SELECT \"User Key\" FROM \"Users\" WHERE \"User Key\" >= 2 AND (NOT " +
                          removed + " OR \"User Key\" IN (SELECT key FROM temp.qx_named))");
    auto userMap = CloseGaps(kept, 2);
    userMap.insert(userMap.begin(), {{0, 0}, {1, 1}});
    return userMap;
}

// Runs the copy of one part of the facility, with its progress line.
class Copier {
  public:
    Copier(dao::Database& db, Progress& progress) : db_(db), progress_(progress) {}

    void Section(const QString& text) { progress_.SetText(text); }
    void Run(const std::string& sql) {
        db_.ExecuteSql(sql);
        copied_ += sqlite3_changes(db_.Connection().Handle());
        progress_.SetPosition(static_cast<int>(copied_));
    }

  private:
    dao::Database& db_;
    Progress& progress_;
    qint64 copied_ = 0;
};

}  // namespace

bool CTDXDoc::CompactInteractive(
    const std::function<std::optional<PurgeEntry>(const PurgeEntry&)>& askPurge,
    const QDate& today) {
    PurgeDialogState state = settings_.PurgeDialog();
    PurgeEntry offered{state.purge,
                       today.addDays(-state.dateSpanDays).toString(QStringLiteral("MM/dd/yyyy"))};
    while (true) {
        std::optional<PurgeEntry> entry = askPurge(offered);
        if (!entry) return false;
        offered = *entry;
        if (!entry->purge) {
            settings_.SetPurgeDialog({false, state.dateSpanDays});
            return Compact(std::nullopt);
        }
        const QString text = entry->dateText.trimmed();
        if (text.isEmpty()) {
            prompter_.Message(texts::kPurgeDateMissing, PromptIcon::Exclamation);
            continue;
        }
        QDate date = QDate::fromString(text, QStringLiteral("M/d/yyyy"));
        if (!date.isValid()) {
            prompter_.Message(texts::kPurgeDateUnreadable, PromptIcon::Exclamation);
            continue;
        }
        qint64 span = date.daysTo(today);
        if (date > today) {
            if (prompter_.Ask(texts::kPurgeAllQuestion) != PromptAnswer::Yes) continue;
            span = -1;
        } else if (span < kRecentPurgeDays) {
            if (prompter_.Ask(texts::kPurgeRecentQuestion, PromptButtons::YesNo, PromptAnswer::No,
                              PromptIcon::Question) != PromptAnswer::Yes) {
                continue;
            }
        }
        settings_.SetPurgeDialog({true, static_cast<int>(span)});
        return Compact(date);
    }
}

bool CTDXDoc::Compact(std::optional<QDate> purgeBefore) {
    if (!db_) return false;
    const QString path = session_.path;
    bool done = false;
    try {
        // A work file of this run's own: another compaction beside it, of
        // this facility or another, never touches it.
        dao::ScratchFile work(path, QStringLiteral("compact"));
        done = CopyToWorkFile(work, purgeBefore) && ReplaceWithWorkFile(work);
    } catch (const dao::Error& e) {
        ShowEngineError(e);
        CloseFacility();
    }
    if (done) prompter_.Message(texts::kCompactedSuccessfully, PromptIcon::Information);
    if (!IsOpen()) OpenFacility(path);
    return done && IsOpen();
}

bool CTDXDoc::CopyToWorkFile(dao::ScratchFile& work, std::optional<QDate> purgeBefore) {
    dao::Database& db = *db_;
    auto progress = prompter_.StartProgress(texts::kCompactingTitle, QString(), 0);
    bool attached = false;
    try {
        {
            auto workDb = dao::Database::CreateWorkFile(work, session_.password);
            CreateFacilitySchema(*workDb);
        }
        dao::Database::Step("compact:work-created");
        CloseRecordsets();
        db.ExecuteSql("ATTACH DATABASE " + dao::sqlite::Literal(work.Path()) + " AS " + kWork +
                      " KEY " + dao::sqlite::Literal(session_.password));
        attached = true;
        // The work file becomes the facility only once it is complete and
        // flushed, so it needs no journal file; its indexes are built after
        // the rows are in.
        db.ExecuteSql(std::string("PRAGMA ") + kWork + ".synchronous = OFF; PRAGMA " + kWork +
                      ".journal_mode = MEMORY; PRAGMA " + kWork + ".cache_size = -65536");
        std::vector<std::string> indexes = DropIndexes(db);
        progress->SetRange(static_cast<int>(
            IntColumn(db,
                      "SELECT (SELECT count(*) FROM \"Users\") + (SELECT count(*) FROM "
                      "\"Locks\") + (SELECT count(*) FROM \"Users to Locks\") + (SELECT "
                      "count(*) FROM \"Audit Data\")")[0]));
        // Events on or after the purge date stay; without one, all do.
        const std::string keep =
            purgeBefore
                ? " WHERE \"TimeStamp\" >= " +
                      std::to_string(dao::DateTimeToStorage(QDateTime(*purgeBefore, QTime(0, 0))))
                : std::string(" WHERE 1");

        db.BeginTrans();
        Copier copy(db, *progress);
        auto plain = [&](const char* table, const char* order) {
            copy.Run(CopyStatement(table, "t", {}, "", std::string("ORDER BY ") + order));
        };
        plain("FacilityProperties", "rowid");
        copy.Section(texts::kCompactingUserGroups);
        plain("User Groups", "\"Group Key\"");
        copy.Section(texts::kCompactingDirectory);
        plain("Lock Paths", "\"Directory Key\"");

        copy.Section(texts::kCompactingUsers);
        WriteMap(db, "qx_user_map", UserKeyMap(db, keep));
        const std::string removedNow = "u.\"User Key\" IN (SELECT key FROM temp.qx_removed)";
        copy.Run(CopyStatement(
            "Users", "u",
            {{"User Key", "m.new"},
             {"Record State", "CASE WHEN " + removedNow + " THEN " + std::to_string(kUserRemoved) +
                                  " ELSE u.\"Record State\" END"},
             {"Pending Action Counter",
              "CASE WHEN " + removedNow + " THEN 0 ELSE u.\"Pending Action Counter\" END"}},
            MapJoin("JOIN", "qx_user_map", "u", "User Key"), "ORDER BY m.new"));

        copy.Section(texts::kCopyingDevices);
        plain("Handheld PCs", "\"HPC Key\"");

        copy.Section(texts::kCompactingSchedules);
        WriteMap(db, "qx_ts_map",
                 CloseGaps(IntColumn(db, "SELECT \"ScheduleKey\" FROM \"Time Schedule\""), 1));
        copy.Run(CopyStatement("Time Schedule", "t", {{"ScheduleKey", "m.new"}},
                               MapJoin("JOIN", "qx_ts_map", "t", "ScheduleKey"), "ORDER BY m.new"));
        copy.Run(CopyStatement("Time Schedule Events", "e", {{"SchedLink", "m.new"}},
                               MapJoin("JOIN", "qx_ts_map", "e", "SchedLink"),
                               "ORDER BY e.\"SchedLink\", e.rowid"));
        copy.Run(CopyStatement("Holidays", "h", {{"KeyLink", "m.new"}},
                               MapJoin("JOIN", "qx_ts_map", "h", "KeyLink"),
                               "ORDER BY h.\"KeyLink\", h.rowid"));

        copy.Section(texts::kCompactingLocks);
        copy.Run(CopyStatement("Locks", "l", {{"TS Link", "coalesce(m.new, 0)"}},
                               MapJoin("LEFT JOIN", "qx_ts_map", "l", "TS Link"),
                               "ORDER BY l.\"Lock Key\""));

        copy.Section(texts::kCompactingEnrolments);
        copy.Run(CopyStatement("Users to Locks", "e", {{"User Index", "m.new"}},
                               MapJoin("JOIN", "qx_user_map", "e", "User Index"),
                               "ORDER BY e.\"Lock Index\", e.\"Lock User Index\""));

        copy.Section(texts::kCopyingAudit);
        // In stored order: the indexes give the key order, and reading the
        // rows as they lie is several times faster than by key.
        copy.Run(CopyStatement("Audit Data", "a", {{"UserKey", "coalesce(m.new, 0)"}},
                               MapJoin("LEFT JOIN", "qx_user_map", "a", "UserKey"), keep));
        for (const std::string& index : indexes) db.ExecuteSql(index);
        db.CommitTrans();
        db.ExecuteSql(
            "DROP TABLE temp.qx_user_map; DROP TABLE temp.qx_ts_map; DROP TABLE temp.qx_removed; "
            "DROP TABLE temp.qx_named");
        db.ExecuteSql(std::string("DETACH DATABASE ") + kWork);
        work.Sync();
        dao::Database::Step("compact:copied");
        return true;
    } catch (const dao::Error& e) {
        while (db.TransactionDepth() > 0) db.Rollback();
        if (attached)
            sqlite3_exec(db.Connection().Handle(), "DETACH DATABASE qx_work", nullptr, nullptr,
                         nullptr);
        sqlite3_exec(db.Connection().Handle(),
                     "DROP TABLE IF EXISTS temp.qx_user_map; DROP TABLE IF EXISTS temp.qx_ts_map; "
                     "DROP TABLE IF EXISTS temp.qx_removed; DROP TABLE IF EXISTS temp.qx_named",
                     nullptr, nullptr, nullptr);
        progress.reset();
        ShowEngineError(e);
        if (!m_pLocks) OpenRecordsets();
        return false;
    }
}

bool CTDXDoc::ReplaceWithWorkFile(dao::ScratchFile& work) {
    const QString path = session_.path;
    auto progress =
        prompter_.StartProgress(texts::kCompactingTitle, texts::kCompletingCompaction, 0);
    // The facility stays open, and so held, until the work file has taken
    // its name: no other program can open the old file and write to it in
    // between.
    const bool kept = KeepEarlierBackup(path);
    dao::Database::Step("compact:earlier-backup-kept");
    if (!kept || !SaveBackup(path)) {
        progress.reset();
        prompter_.Message(texts::kErrorSavingOriginal, PromptIcon::Exclamation);
        CloseFacility();
        return false;
    }
    dao::Database::Step("compact:backup-saved");
    work.RenameOver(path);
    dao::Database::Step("compact:replaced");
    CloseFacility();
    dao::Database::Step("compact:closed");
    return true;
}

}  // namespace tandrel
