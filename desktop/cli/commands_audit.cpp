#include <QDate>

#include <climits>
#include <optional>

#include "desktop/cli/audit_format.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_lookup.h"
#include "desktop/data/audit_trail_reader.h"
#include "desktop/exchange/audit_events.h"
#include "platform/dao/value.h"

namespace tandrel::cli {
namespace {

// Audit rows outlive their locks and users, so a key names one while the
// facility or its audit data still has it.
int LockFilter(Context& c, const QString& text) {
    try {
        return LockKeyOf(c.doc, text);
    } catch (const LookupError&) {
        bool ok = false;
        const int key = text.toInt(&ok);
        if (ok && AuditHasLock(c.doc.Db(), key)) return key;
        throw;
    }
}

int UserFilter(Context& c, const QString& text) {
    try {
        return UserKeyOf(c.doc, text);
    } catch (const LookupError&) {
        bool ok = false;
        const int key = text.toInt(&ok);
        if (ok && AuditHasUser(c.doc.Db(), key)) return key;
        throw;
    }
}

// "YYYY-MM-DD HH:MM" or "YYYY-MM-DD"; nullopt for anything else.
std::optional<QDateTime> MomentOf(const QString& text) {
    QDateTime moment = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm"));
    if (moment.isValid()) return moment;
    const QDate day = QDate::fromString(text, Qt::ISODate);
    if (day.isValid()) return QDateTime(day, QTime(0, 0));
    return std::nullopt;
}

qint64 SinceSeconds(const QString& text) {
    const auto since = MomentOf(text);
    if (!since) throw UsageError("--since must be a date: YYYY-MM-DD [HH:MM]");
    return dao::DateTimeToStorage(*since);
}

// Through the end of the day given, or of the minute given.
qint64 UntilSeconds(const QString& text) {
    const auto until = MomentOf(text);
    if (!until) throw UsageError("--until must be a date: YYYY-MM-DD [HH:MM]");
    const bool minuteGiven = text.contains(QLatin1Char(':'));
    return dao::DateTimeToStorage(*until) + (minuteGiven ? 60 : 86400) - 1;
}

// An event type by number or by its name, in any case.
int EventOf(const QString& text) {
    bool ok = false;
    const int number = text.toInt(&ok);
    if (ok && number >= 0 && number <= 255) return number;
    QStringList names;
    for (int type : NamedAuditEvents()) {
        if (AuditEventName(type).compare(text, Qt::CaseInsensitive) == 0) return type;
        names << AuditEventName(type);
    }
    throw UsageError("--event must be an event number 0 to 255 or one of: " +
                     names.join(QStringLiteral(", ")).toStdString());
}

// The parts of the query that need no facility, so bad usage is told
// before the facility is opened.
AuditQuery TimesAndEventOf(const Context& c) {
    AuditQuery q;
    if (c.args.Has("--event")) q.event = EventOf(c.args.Text("--event"));
    if (c.args.Has("--since")) q.since = SinceSeconds(c.args.Text("--since"));
    if (c.args.Has("--until")) q.until = UntilSeconds(c.args.Text("--until"));
    return q;
}

void AddLockAndUser(Context& c, AuditQuery& q) {
    if (c.args.Has("--lock")) q.lock = LockFilter(c, c.args.Text("--lock"));
    if (c.args.Has("--user")) q.user = UserFilter(c, c.args.Text("--user"));
}

// Prints each event as it is read: a text line, a CSV row after the header,
// or an element of one JSON array. The text goes out in blocks, a few
// hundred events at a time.
class AuditPrinter {
  public:
    explicit AuditPrinter(Context& c)
        : out_(c.out), format_(c.doc.Db()), csv_(c.args.Has("--csv")), json_(c.Json()) {
        if (csv_) buffer_ = AuditFormat::CsvHeader();
        if (json_) buffer_ = "[";
    }
    void Print(const AuditEvent& e) {
        if (json_) {
            if (!first_) buffer_ += ',';
            format_.AppendJson(buffer_, e);
        } else if (csv_) {
            format_.AppendCsv(buffer_, e);
        } else {
            format_.AppendText(buffer_, e);
        }
        first_ = false;
        if (buffer_.size() >= kBlock) Flush();
    }
    // Only the end closes the JSON array: a list cut short by an error does
    // not read as a whole one.
    void End() {
        if (json_) buffer_ += "]\n";
        Flush();
    }

  private:
    static constexpr std::size_t kBlock = 64 * 1024;

    void Flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }

    std::ostream& out_;
    AuditFormat format_;
    bool csv_, json_;
    bool first_ = true;
    std::string buffer_;
};

int List(Context& c) {
    if (c.args.Has("--csv") && c.Json()) throw UsageError("give --csv or --json, not both");
    const int limit = c.args.Number("--limit", INT_MAX, 0, INT_MAX);
    AuditQuery query = TimesAndEventOf(c);
    if (!c.OpenFacility()) return 1;
    AddLockAndUser(c, query);
    AuditTrailReader reader(c.doc.Db(), query);
    AuditPrinter printer(c);
    AuditEvent event;
    for (int printed = 0; printed < limit && reader.Next(event); ++printed) printer.Print(event);
    printer.End();
    return 0;
}

}  // namespace

void AddAuditCommands(CommandTable& table) {
    table.Add({
        .name = "audit",
        .verbs = {{.words = {"list"},
                   .summary = "the collected audit events, newest first: lock, time, user, "
                              "event, level and groups",
                   .options = {{"--lock", "LOCK", "only this lock's events"},
                               {"--user", "USER", "only this user's events"},
                               {"--since", "YYYY-MM-DD[ HH:MM]", "from that day or minute on"},
                               {"--until", "YYYY-MM-DD[ HH:MM]", "through that day or minute"},
                               {"--event", "NAME|NUMBER", "only events of that type"},
                               {"--limit", "N", "at most N events"},
                               {"--csv", kFlag, "CSV rows under a header row"}},
                   .run = List}},
        .notes = "A lock or user no longer in the facility is still named by its key.",
    });
}

}  // namespace tandrel::cli
