#pragma once

#include <QString>

#include <deque>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "desktop/admin/random_digits.h"
#include "desktop/data/scripted_prompter.h"
#include "desktop/data/table_recordsets.h"
#include "platform/dao/database.h"

namespace tandrel::testing {

// A scripted prompter that also keeps the icon of every message and question.
class IconPrompter : public ScriptedPrompter {
  public:
    void Message(const QString& text, PromptIcon icon, const QString& title) override {
        icons.push_back(icon);
        ScriptedPrompter::Message(text, icon, title);
    }
    PromptAnswer Ask(const QString& text, PromptButtons buttons, PromptAnswer defaultAnswer,
                     PromptIcon icon) override {
        icons.push_back(icon);
        defaults.push_back(defaultAnswer);
        return ScriptedPrompter::Ask(text, buttons, defaultAnswer, icon);
    }
    std::vector<PromptIcon> icons;
    std::vector<PromptAnswer> defaults;
};

// Random numbers from a list, repeated from its start when used up.
inline RandomNumber Sequence(std::vector<unsigned> numbers) {
    auto next = std::make_shared<std::size_t>(0);
    return [numbers, next] { return numbers[(*next)++ % numbers.size()]; };
}

// A source that must not be used.
inline RandomNumber NoRandom() {
    return []() -> unsigned { throw std::logic_error("no random number expected"); };
}

inline void Sql(dao::Database& db, const QString& sql) {
    db.ExecuteSql(sql.toStdString());
}

inline qint64 IntOf(dao::Database& db, const QString& sql) {
    dao::sqlite::Statement s(db.Connection().Handle(), sql.toStdString());
    s.Step();
    return s.Int(0);
}

inline QString TextOf(dao::Database& db, const QString& sql) {
    dao::sqlite::Statement s(db.Connection().Handle(), sql.toStdString());
    s.Step();
    return s.Text(0);
}

// Every row of every table, in row order: equal snapshots mean an
// unchanged database.
inline QString Snapshot(dao::Database& db) {
    QString out;
    dao::sqlite::Statement tables(
        db.Connection().Handle(),
        "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
    while (tables.Step()) {
        const QString table = tables.Text(0);
        out += table + QLatin1Char('\n');
        dao::sqlite::Statement rows(
            db.Connection().Handle(),
            "SELECT * FROM " + dao::sqlite::Quote(table) + " ORDER BY rowid");
        while (rows.Step()) {
            for (int c = 0; c < rows.ColumnCount(); ++c)
                out += rows.Value(c).toString() + QLatin1Char('|');
            out += QLatin1Char('\n');
        }
    }
    return out;
}

// Makes the engine refuse to update the rows of `table` that match `when`
// (an SQL condition on NEW) with the error text "injected", for as long as
// the connection lasts.
inline void FailUpdatesOf(dao::Database& db, const QString& table, const QString& when) {
    Sql(db, QStringLiteral("CREATE TEMP TRIGGER qx_fail BEFORE UPDATE ON \"%1\" WHEN %2 "
                           "BEGIN SELECT RAISE(ABORT, 'injected'); END")
                .arg(table, when));
}

// A lock row with the given Record State, Pending Action Counter and Data
// Downloaded Flag; returns its key.
inline int AddLock(dao::Database& db, int recordState, int pending, int downloaded = 0) {
    CLocksRecordset locks(db);
    locks.AddNew();
    const int key = locks.m_LockKey;
    locks.m_Name = QStringLiteral("Door %1").arg(key);
    locks.m_RecordState = static_cast<std::uint8_t>(recordState);
    locks.m_PendingActionCounter = pending;
    locks.m_DataDownloadedFlag = static_cast<std::uint8_t>(downloaded);
    locks.Update();
    return key;
}

// A user row; returns its key.
inline int AddUser(dao::Database& db, const QString& code, const QString& pin, int homeGroup = 0,
                   int recordState = 1, bool card = false) {
    CLockUsersRecordset users(db);
    users.AddNew();
    const int key = users.m_UserKey;
    users.m_LastName = QStringLiteral("User%1").arg(key);
    users.m_LockIDcode = code;
    users.m_CurPIN = pin;
    users.m_NextPIN = pin;
    users.m_HomeGroup = static_cast<std::uint8_t>(homeGroup);
    users.m_RecordState = static_cast<std::uint8_t>(recordState);
    users.m_CardMedia = card;
    users.m_CardMediaType = card ? 1 : 0;
    users.Update();
    return key;
}

// An enrolment of a user into a lock, with its pending counts on the user.
inline void Enrol(dao::Database& db, int lockKey, int userKey, int state) {
    CUsersToLocksRecordset rows(db);
    rows.AddNew();
    rows.m_LockIndex = lockKey;
    rows.m_LockUserIndex = static_cast<std::int16_t>(userKey);
    rows.m_UserIndex = userKey;
    rows.m_UserType = 32;
    rows.m_RecordState = static_cast<std::uint8_t>(state);
    rows.Update();
    Sql(db, QStringLiteral("UPDATE Users SET \"Enrolled Lock Counter\" = \"Enrolled Lock "
                           "Counter\" + 1, \"Pending Action Counter\" = \"Pending Action "
                           "Counter\" + %1 WHERE \"User Key\" = %2")
                .arg(state > 1 ? 1 : 0)
                .arg(userKey));
}

inline qint64 UserValue(dao::Database& db, int userKey, const QString& column) {
    return IntOf(db, QStringLiteral("SELECT \"%1\" FROM Users WHERE \"User Key\" = %2")
                         .arg(column)
                         .arg(userKey));
}
inline QString UserText(dao::Database& db, int userKey, const QString& column) {
    return TextOf(db, QStringLiteral("SELECT \"%1\" FROM Users WHERE \"User Key\" = %2")
                          .arg(column)
                          .arg(userKey));
}
inline qint64 EnrolmentState(dao::Database& db, int lockKey, int userKey) {
    return IntOf(db, QStringLiteral("SELECT \"Record State\" FROM \"Users to Locks\" WHERE "
                                    "\"Lock Index\" = %1 AND \"User Index\" = %2")
                         .arg(lockKey)
                         .arg(userKey));
}

struct LockMarks {
    qint64 pending, downloaded, state;
    bool operator==(const LockMarks&) const = default;
};
inline LockMarks MarksOf(dao::Database& db, int lockKey) {
    const QString where = QStringLiteral(" FROM Locks WHERE \"Lock Key\" = %1").arg(lockKey);
    return {IntOf(db, "SELECT \"Pending Action Counter\"" + where),
            IntOf(db, "SELECT \"Data Downloaded Flag\"" + where),
            IntOf(db, "SELECT \"Record State\"" + where)};
}
inline std::ostream& operator<<(std::ostream& os, const LockMarks& m) {
    return os << "{pending " << m.pending << ", downloaded " << m.downloaded << ", state "
              << m.state << "}";
}

}  // namespace tandrel::testing
