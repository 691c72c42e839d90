#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "desktop/data/audit_query.h"
#include "platform/dao/database.h"

namespace tandrel::cli {

// Names by key. Every key the facility gives is below 65535, so those are
// kept in a vector; others in a map.
class NameTable {
  public:
    void Set(int key, std::string name);
    // nullopt for a key without a name.
    const std::optional<std::string>& Get(int key) const;

  private:
    std::vector<std::optional<std::string>> byKey_;
    std::unordered_map<int, std::optional<std::string>> others_;
};

// The names of every lock and user and of the event types, read once and
// kept as UTF-8: bounded by the facility's locks and users however many
// events are listed, and no look-up per event.
class EventNames {
  public:
    explicit EventNames(dao::Database& db);

    const std::optional<std::string>& Lock(int key) const { return locks_.Get(key); }
    // The user list's name; the reserved users have a last name only.
    const std::optional<std::string>& User(int key) const { return users_.Get(key); }
    const std::string& Event(int type);

  private:
    NameTable locks_, users_;
    std::unordered_map<int, std::string> events_;
};

// Stored moments as text. The events of a trail share their days, so the
// text of a day is made once.
class MomentTexts {
  public:
    // "yyyy-MM-dd HH:mm", or with `iso` "yyyy-MM-ddTHH:mm:ss".
    void Append(std::string& out, qint64 seconds, bool iso);

  private:
    std::optional<qint64> day_;
    std::string dayText_;
};

// One event as a text line (lock, time, user, event, detail; tab-separated),
// a JSON object or a CSV row, appended to `out`.
class AuditFormat {
  public:
    explicit AuditFormat(dao::Database& db) : names_(db) {}

    void AppendText(std::string& out, const AuditEvent& e);
    void AppendJson(std::string& out, const AuditEvent& e);
    void AppendCsv(std::string& out, const AuditEvent& e);
    static std::string CsvHeader();

  private:
    EventNames names_;
    MomentTexts moments_;
};

}  // namespace tandrel::cli
