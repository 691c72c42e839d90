#include "desktop/cli/audit_format.h"

#include <QDate>

#include "desktop/admin/lock_user_sheet.h"
#include "desktop/cli/csv_table.h"
#include "desktop/cli/json_stream.h"
#include "desktop/exchange/audit_events.h"

namespace tandrel::cli {
namespace {

constexpr int kDenseKeys = 65535;

void AppendTwoDigits(std::string& out, qint64 n) {
    out += static_cast<char>('0' + n / 10);
    out += static_cast<char>('0' + n % 10);
}

std::string GroupsText(int groups) {
    static const char kHex[] = "0123456789abcdef";
    return std::string("0x") + kHex[(groups >> 4) & 0x0F] + kHex[groups & 0x0F];
}

// Level and groups of the events that set them.
std::string DetailText(const AuditEvent& e) {
    std::string detail;
    if (AuditEventHasLevel(e.event)) detail = "level " + std::to_string(e.accessLevel);
    if (AuditEventHasGroups(e.event))
        detail += (detail.empty() ? "groups " : ", groups ") + GroupsText(e.userGroups);
    return detail;
}

void AppendJsonMember(std::string& out, const char* key) {
    if (out.back() != '{') out += ',';
    out += '"';
    out += key;
    out += "\":";
}

void AppendJsonText(std::string& out, const char* key, const std::optional<std::string>& text) {
    AppendJsonMember(out, key);
    if (text) {
        AppendJsonString(out, *text);
    } else {
        out += "null";
    }
}

void AppendJsonNumber(std::string& out, const char* key, qint64 n) {
    AppendJsonMember(out, key);
    out += std::to_string(n);
}

}  // namespace

void NameTable::Set(int key, std::string name) {
    if (key < 0 || key >= kDenseKeys) {
        others_[key] = std::move(name);
        return;
    }
    const auto index = static_cast<std::size_t>(key);
    if (index >= byKey_.size()) byKey_.resize(index + 1);
    byKey_[index] = std::move(name);
}

const std::optional<std::string>& NameTable::Get(int key) const {
    static const std::optional<std::string> kNone;
    if (key < 0 || key >= kDenseKeys) {
        const auto it = others_.find(key);
        return it == others_.end() ? kNone : it->second;
    }
    const auto index = static_cast<std::size_t>(key);
    return index < byKey_.size() ? byKey_[index] : kNone;
}

EventNames::EventNames(dao::Database& db) {
    ForEachLockName(db,
                    [this](int key, const QString& name) { locks_.Set(key, name.toStdString()); });
    ForEachUserNames(db, [this](int key, const UserNames& n) {
        const QString name =
            n.first.isEmpty() ? n.last : UserListName(n.last, n.first, n.middleInitial);
        users_.Set(key, name.toStdString());
    });
}

const std::string& EventNames::Event(int type) {
    auto it = events_.find(type);
    if (it == events_.end()) it = events_.emplace(type, AuditEventText(type).toStdString()).first;
    return it->second;
}

void MomentTexts::Append(std::string& out, qint64 seconds, bool iso) {
    const qint64 day = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    if (day != day_) {
        day_ = day;
        dayText_ = QDate(1970, 1, 1).addDays(day).toString(Qt::ISODate).toStdString();
    }
    const qint64 inDay = seconds - day * 86400;
    out += dayText_;
    out += iso ? 'T' : ' ';
    AppendTwoDigits(out, inDay / 3600);
    out += ':';
    AppendTwoDigits(out, inDay / 60 % 60);
    if (!iso) return;
    out += ':';
    AppendTwoDigits(out, inDay % 60);
}

void AuditFormat::AppendText(std::string& out, const AuditEvent& e) {
    const auto& lock = names_.Lock(e.lockKey);
    out += lock ? *lock : std::to_string(e.lockKey);
    out += '\t';
    if (e.time) {
        moments_.Append(out, *e.time, false);
    } else {
        out += '-';
    }
    out += '\t';
    if (e.userKey == 0) {
        out += '-';
    } else {
        const auto& user = names_.User(e.userKey);
        out += user ? *user : std::to_string(e.userKey);
    }
    out += '\t';
    out += names_.Event(e.event);
    const std::string detail = DetailText(e);
    if (!detail.empty()) out += '\t' + detail;
    out += '\n';
}

void AuditFormat::AppendJson(std::string& out, const AuditEvent& e) {
    out += '{';
    AppendJsonNumber(out, "lock", e.lockKey);
    AppendJsonText(out, "lockName", names_.Lock(e.lockKey));
    AppendJsonNumber(out, "auditKey", e.auditKey);
    AppendJsonMember(out, "time");
    if (e.time) {
        out += '"';
        moments_.Append(out, *e.time, true);
        out += '"';
    } else {
        out += "null";
    }
    AppendJsonNumber(out, "user", e.userKey);
    AppendJsonText(out, "userName", names_.User(e.userKey));
    AppendJsonNumber(out, "event", e.event);
    AppendJsonText(out, "eventName", names_.Event(e.event));
    if (AuditEventHasLevel(e.event)) AppendJsonNumber(out, "accessLevel", e.accessLevel);
    if (AuditEventHasGroups(e.event)) AppendJsonNumber(out, "userGroups", e.userGroups);
    out += '}';
}

void AuditFormat::AppendCsv(std::string& out, const AuditEvent& e) {
    // Only names may need quoting; numbers and times never do.
    auto text = [&out](const std::optional<std::string>& field) {
        if (field) out += CsvLine({*field});
        out += ',';
    };
    auto number = [&out](qint64 n) {
        out += std::to_string(n);
        out += ',';
    };
    number(e.lockKey);
    text(names_.Lock(e.lockKey));
    number(e.auditKey);
    if (e.time) moments_.Append(out, *e.time, true);
    out += ',';
    number(e.userKey);
    text(names_.User(e.userKey));
    number(e.event);
    text(names_.Event(e.event));
    if (AuditEventHasLevel(e.event)) out += std::to_string(e.accessLevel);
    out += ',';
    if (AuditEventHasGroups(e.event)) out += std::to_string(e.userGroups);
    out += '\n';
}

std::string AuditFormat::CsvHeader() {
    return CsvLine({"lock", "lockName", "auditKey", "time", "user", "userName", "event",
                    "eventName", "accessLevel", "userGroups"}) +
           "\n";
}

}  // namespace tandrel::cli
