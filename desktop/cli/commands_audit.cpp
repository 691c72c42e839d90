#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

#include "desktop/admin/lock_user_sheet.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_lookup.h"
#include "desktop/exchange/audit_events.h"
#include "platform/dao/value.h"

namespace tandrel::cli {
namespace {

// Which events to list; unset parts select everything.
struct AuditFilter {
    std::optional<int> lock;
    std::optional<int> user;
    std::optional<qint64> since;  // Date/Time storage seconds
};

// One event with the names of its lock and user where the facility still
// has them.
struct AuditLine {
    int lockKey = 0;
    std::optional<QString> lockName;
    qint64 auditKey = 0;
    QDateTime time;  // invalid when the lock's clock gave no real moment
    int userKey = 0;
    std::optional<QString> userName;
    int event = 0;
    int accessLevel = 0;
    int userGroups = 0;
};

// Audit rows outlive their locks and users, so a key names one even when
// the facility no longer has it.
int LockFilter(Context& c, const QString& text) {
    bool ok = false;
    const int key = text.toInt(&ok);
    return ok ? key : LockKeyOf(c.doc, text);
}

int UserFilter(Context& c, const QString& text) {
    bool ok = false;
    const int key = text.toInt(&ok);
    return ok ? key : UserKeyOf(c.doc, text);
}

qint64 SinceSeconds(const QString& text) {
    QDateTime since = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!since.isValid()) since = QDateTime(QDate::fromString(text, Qt::ISODate), QTime(0, 0));
    if (!since.isValid()) throw UsageError("--since must be a date: YYYY-MM-DD [HH:MM]");
    return dao::DateTimeToStorage(since);
}

AuditFilter FilterOf(Context& c) {
    AuditFilter f;
    if (c.args.Has("--lock")) f.lock = LockFilter(c, c.args.Text("--lock"));
    if (c.args.Has("--user")) f.user = UserFilter(c, c.args.Text("--user"));
    if (c.args.Has("--since")) f.since = SinceSeconds(c.args.Text("--since"));
    return f;
}

// The user list's name; the reserved users have a last name only.
QString UserName(const QString& last, const QString& first, const QString& middle) {
    return first.isEmpty() ? last : UserListName(last, first, middle);
}

void BindOptional(dao::sqlite::Statement& s, int index, const std::optional<qint64>& value) {
    if (value) s.BindInt(index, *value);
}

// Newest first; events of one moment by lock, then latest logged first.
std::vector<AuditLine> ReadLines(dao::Database& db, const AuditFilter& f) {
    dao::sqlite::Statement s(
        db.Connection().Handle(),
        "SELECT a.LockKey, l.Name, l.\"Lock Key\", a.AuditKey, a.TimeStamp, a.UserKey, "
        "u.\"User Key\", u.\"Last Name\", u.\"First Name\", u.\"Middle Initial\", a.Event, "
        "a.AccessLevel, a.UserGroups FROM \"Audit Data\" AS a LEFT JOIN Locks AS l ON "
        "l.\"Lock Key\" = a.LockKey LEFT JOIN Users AS u ON u.\"User Key\" = a.UserKey WHERE "
        "(?1 IS NULL OR a.LockKey = ?1) AND (?2 IS NULL OR a.UserKey = ?2) AND (?3 IS NULL OR "
        "a.TimeStamp >= ?3) ORDER BY a.TimeStamp DESC, a.LockKey, a.AuditKey DESC");
    BindOptional(s, 1, f.lock);
    BindOptional(s, 2, f.user);
    BindOptional(s, 3, f.since);
    std::vector<AuditLine> lines;
    while (s.Step()) {
        AuditLine l;
        l.lockKey = static_cast<int>(s.Int(0));
        if (!s.IsNull(2)) l.lockName = s.Text(1);
        l.auditKey = s.Int(3);
        if (!s.IsNull(4)) l.time = dao::DateTimeFromStorage(s.Int(4));
        l.userKey = static_cast<int>(s.Int(5));
        if (!s.IsNull(6)) l.userName = UserName(s.Text(7), s.Text(8), s.Text(9));
        l.event = static_cast<int>(s.Int(10));
        l.accessLevel = static_cast<int>(s.Int(11));
        l.userGroups = static_cast<int>(s.Int(12));
        lines.push_back(l);
    }
    return lines;
}

QString LockText(const AuditLine& l) {
    return l.lockName.value_or(QString::number(l.lockKey));
}

QString UserText(const AuditLine& l) {
    if (l.userKey == 0) return QStringLiteral("-");
    return l.userName.value_or(QString::number(l.userKey));
}

QString TimeText(const AuditLine& l) {
    return l.time.isValid() ? l.time.toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                            : QStringLiteral("-");
}

QString GroupsText(int groups) {
    return QStringLiteral("0x%1").arg(groups, 2, 16, QLatin1Char('0'));
}

// Level and groups of the events that set them.
QString DetailText(const AuditLine& l) {
    QStringList parts;
    if (AuditEventHasLevel(l.event)) parts << QStringLiteral("level %1").arg(l.accessLevel);
    if (AuditEventHasGroups(l.event)) parts << QStringLiteral("groups ") + GroupsText(l.userGroups);
    return parts.join(QStringLiteral(", "));
}

void PrintLine(std::ostream& out, const AuditLine& l) {
    QStringList columns = {LockText(l), TimeText(l), UserText(l), AuditEventText(l.event)};
    const QString detail = DetailText(l);
    if (!detail.isEmpty()) columns << detail;
    out << columns.join(QLatin1Char('\t')).toStdString() << "\n";
}

QJsonValue OptionalText(const std::optional<QString>& text) {
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

QJsonObject LineJson(const AuditLine& l) {
    QJsonObject o{{"lock", l.lockKey},
                  {"lockName", OptionalText(l.lockName)},
                  {"auditKey", l.auditKey},
                  {"time", l.time.isValid() ? QJsonValue(l.time.toString(Qt::ISODate))
                                            : QJsonValue(QJsonValue::Null)},
                  {"user", l.userKey},
                  {"userName", OptionalText(l.userName)},
                  {"event", l.event},
                  {"eventName", AuditEventText(l.event)}};
    if (AuditEventHasLevel(l.event)) o["accessLevel"] = l.accessLevel;
    if (AuditEventHasGroups(l.event)) o["userGroups"] = l.userGroups;
    return o;
}

int List(Context& c) {
    c.args.RejectOthers({"--lock", "--user", "--since"});
    if (!c.OpenFacility()) return 1;
    const std::vector<AuditLine> lines = ReadLines(c.doc.Db(), FilterOf(c));
    if (!c.Json()) {
        for (const AuditLine& l : lines) PrintLine(c.out, l);
        return 0;
    }
    QJsonArray list;
    for (const AuditLine& l : lines) list.append(LineJson(l));
    c.out << QJsonDocument(list).toJson(QJsonDocument::Compact).toStdString() << "\n";
    return 0;
}

int AuditCommand(Context& c) {
    const QString verb = c.args.Word(1);
    if (verb != QStringLiteral("list"))
        throw UsageError("unknown audit command '" + verb.toStdString() + "'");
    if (c.args.Words().size() != 2) throw UsageError("audit list takes no words; use options");
    return List(c);
}

}  // namespace

void AddAuditCommands(CommandTable& table) {
    table["audit"] = {
        "audit list [--lock LOCK] [--user USER] [--since YYYY-MM-DD[ HH:MM]]   the collected "
        "audit events, newest first: lock, time, user, event, level and groups",
        {},
        AuditCommand};
}

}  // namespace tandrel::cli
