#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/admin/facility_directory.h"
#include "desktop/admin/lock_properties_sheet.h"
#include "desktop/admin/user_type.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/cli_lookup.h"

namespace tandrel::cli {
namespace {

// What `lock add` and `lock edit` set: the Info page.
const Options kLockOptions = {
    {"--name", "NAME", "the lock's name"},
    {"--location", "\\PATH\\", "the location it is in (default: the root, \\)"},
    {"--open-delay", "SECONDS", "how long it stays open, 0 to 255 seconds"},
    {"--serial", "TEXT", "serial number"},
    {"--model", "TEXT", "model number"},
    {"--installed", "DATE", "install date"},
    {"--battery-installed", "DATE", "battery install date"},
    {"--schedule", "SCHEDULE", "its time schedule, by key or name; 0 for none"},
    {"--device", "DEVICE", "the device that serves it, by key or name; 0 for none"},
    {"--capacity", "N", "how many users it holds, 1 to 2000"},
};

int ScheduleKeyOf(CTDXDoc& doc, const QString& name) {
    bool ok = false;
    int key = name.toInt(&ok);
    CTimeSchedulesRecordset schedules(doc.Db());
    schedules.SetCurrentIndex(ok ? "PrimaryKey" : "NameKey");
    if (ok ? (key == 0 || schedules.Seek("=", {key})) : schedules.Seek("=", {name})) {
        return ok ? key : schedules.m_ScheduleKey;
    }
    throw LookupError("no time schedule named '" + name.toStdString() + "'");
}

void ApplyLockOptions(Context& c, LockInfoPage& info) {
    const Arguments& a = c.args;
    if (a.Has("--name")) info.name = a.Text("--name");
    if (a.Has("--location")) info.pathIndex = LocationKeyOf(c.doc, a.Text("--location"));
    if (a.Has("--open-delay")) info.openDelaySeconds = a.Number("--open-delay", 3, 0, 255);
    if (a.Has("--serial")) info.serialNumber = a.Text("--serial");
    if (a.Has("--model")) info.modelNumber = a.Text("--model");
    if (a.Has("--installed")) info.installDate = a.Text("--installed");
    if (a.Has("--battery-installed")) info.batteryInstallDate = a.Text("--battery-installed");
    if (a.Has("--schedule")) info.tsLink = ScheduleKeyOf(c.doc, a.Text("--schedule"));
    if (a.Has("--device")) info.deviceLink = DeviceKeyOf(c.doc, a.Text("--device"));
    if (a.Has("--capacity")) info.userCapacity = a.Number("--capacity", 2000, 1, 2000);
}

int Add(Context& c) {
    if (!c.OpenFacility()) return 1;
    int location = c.args.Has("--location") ? LocationKeyOf(c.doc, c.args.Text("--location"))
                                            : LocationKeyOf(c.doc, QStringLiteral("\\"));
    auto sheet = CLockPropertiesSheet::NewLock(c.doc, c.prompter, location);
    ApplyLockOptions(c, sheet->Info());
    if (!sheet->CheckInfoPage() || !sheet->Save()) return 1;
    c.out << sheet->LockKey() << "\n";
    return 0;
}

int Edit(Context& c) {
    if (!c.OpenFacility()) return 1;
    auto sheet =
        CLockPropertiesSheet::EditLock(c.doc, c.prompter, LockKeyOf(c.doc, c.args.Word(2)));
    if (!sheet) return 1;
    ApplyLockOptions(c, sheet->Info());
    return sheet->CheckInfoPage() && sheet->Save() ? 0 : 1;
}

QJsonObject LockJson(const CLocksRecordset& l) {
    return {{"key", l.m_LockKey},
            {"name", l.m_Name},
            {"path", l.m_FullPath},
            {"recordState", l.m_RecordState},
            {"pendingActions", l.m_PendingActionCounter},
            {"users", l.m_EnrolledUserCounter},
            {"programmers", l.m_PgmIDCount}};
}

int List(Context& c) {
    if (!c.OpenFacility()) return 1;
    CLocksRecordset locks(c.doc.Db());
    locks.SetCurrentIndex("PrimaryKey");
    QJsonArray list;
    for (locks.MoveFirst(); !locks.IsEOF(); locks.MoveNext()) {
        if (c.Json()) {
            list.append(LockJson(locks));
            continue;
        }
        c.out << locks.m_LockKey << "\t" << locks.m_Name.toStdString() << "\t"
              << locks.m_FullPath.toStdString() << "\t" << locks.m_EnrolledUserCounter
              << " users\n";
    }
    if (c.Json()) c.out << QJsonDocument(list).toJson(QJsonDocument::Compact).toStdString() << "\n";
    return 0;
}

// The schedule as `lock add --schedule` names it: "< None >" for none.
QString ScheduleText(CTDXDoc& doc, int key) {
    if (key == 0) return QStringLiteral("< None >");
    CTimeSchedulesRecordset schedules(doc.Db());
    return schedules.FindByKey(key) ? schedules.m_Name : QString::number(key);
}

// What `lock add` and `lock edit` set, as the Info page shows it.
void AddInfo(Context& c, const LockInfoPage& info, QJsonObject& lock) {
    lock["name"] = info.name;
    lock["openDelaySeconds"] = info.openDelaySeconds;
    lock["serial"] = info.serialNumber;
    lock["model"] = info.modelNumber;
    lock["installed"] = info.installDate;
    lock["batteryInstalled"] = info.batteryInstallDate;
    lock["schedule"] = ScheduleText(c.doc, info.tsLink);
    lock["capacity"] = info.userCapacity;
}

// The Status page: the device and what the lock last reported.
void AddStatus(const LockStatusTexts& status, QJsonObject& lock) {
    lock["device"] = status.device;
    lock["lastProgramDate"] = status.lastProgramDate;
    lock["battery"] = status.battery;
    lock["hardwareClass"] = status.hardwareClass;
    lock["firmwareVersion"] = status.firmwareVersion;
}

int Show(Context& c) {
    if (!c.OpenFacility()) return 1;
    int key = LockKeyOf(c.doc, c.args.Word(2));
    CLocksRecordset l(c.doc.Db());
    l.FindByKey(key);
    QJsonObject lock = LockJson(l);
    auto sheet = CLockPropertiesSheet::EditLock(c.doc, c.prompter, key);
    AddInfo(c, sheet->Info(), lock);
    AddStatus(sheet->Status(), lock);
    QJsonArray users;
    for (const LockUserEntry& e : sheet->Users()) {
        users.append(QJsonObject{{"user", e.draft.userKey},
                                 {"name", e.userName},
                                 {"state", EnrolmentStateText(e.stored.storedState).trimmed()},
                                 {"type", UserTypeName(TypeCodeOf(e.stored.typeByte))}});
    }
    lock["enrolled"] = users;
    if (c.Json()) {
        c.out << QJsonDocument(lock).toJson(QJsonDocument::Compact).toStdString() << "\n";
        return 0;
    }
    PrintFields(c.out, lock, QStringLiteral("enrolled"));
    for (const QJsonValue& u : users) {
        QJsonObject o = u.toObject();
        c.out << "user " << o["user"].toInt() << " " << o["name"].toString().toStdString() << ": "
              << o["state"].toString().toStdString() << ", " << o["type"].toString().toStdString()
              << "\n";
    }
    return 0;
}

int RemoveOrRefresh(Context& c, bool remove) {
    if (!c.OpenFacility()) return 1;
    FacilityDirectory tree(c.doc, c.prompter);
    if (!tree.Load()) return 1;
    std::vector<int> keys;
    for (std::size_t i = 2; i < c.args.Words().size(); ++i)
        keys.push_back(LockKeyOf(c.doc, c.args.Word(i)));
    if (!remove) return tree.RefreshLocks(keys) ? 0 : 1;
    for (int key : keys) {
        if (!tree.RemoveLock(key)) return 1;
    }
    return 0;
}

}  // namespace

void AddLockCommands(CommandTable& table) {
    table.Add({
        .name = "lock",
        .verbs =
            {
                {.words = {"add"},
                 .summary = "add a lock; prints its key",
                 .options = kLockOptions,
                 .run = Add},
                {.words = {"edit"},
                 .operands = "LOCK",
                 .summary = "change a lock",
                 .options = kLockOptions,
                 .run = Edit},
                {.words = {"show"},
                 .operands = "LOCK",
                 .summary = "a lock's properties, status and enrolled users",
                 .run = Show},
                {.words = {"list"},
                 .summary = "every lock: key, name, location, enrolled users",
                 .run = List},
                {.words = {"remove"},
                 .operands = "LOCK...",
                 .summary = "remove locks from the facility",
                 .run = [](Context& c) { return RemoveOrRefresh(c, true); }},
                {.words = {"refresh"},
                 .operands = "LOCK...",
                 .summary = "mark locks for a complete reprogramming",
                 .run = [](Context& c) { return RemoveOrRefresh(c, false); }},
            },
        .notes = "LOCK: its key, its name, or its location path and name (\\Building A\\Front)\n"
                 "when locks in several locations share the name.",
    });
}

}  // namespace tandrel::cli
