#include "desktop/cli/cli_lookup.h"

#include "desktop/admin/lock_user_sheet.h"

namespace tandrel::cli {
namespace {

bool IsKey(const QString& text, int& key) {
    bool ok = false;
    key = text.toInt(&ok);
    return ok && key >= 0;
}

[[noreturn]] void NotFound(const char* what, const QString& name, int matches) {
    throw LookupError(std::string(matches == 0 ? "no " : "more than one ") + what + " named '" +
                      name.toStdString() + "'" + (matches == 0 ? "" : "; give its key"));
}

}  // namespace

int UserKeyOf(CTDXDoc& doc, const QString& name) {
    CLockUsersRecordset users(doc.Db());
    users.SetCurrentIndex("PrimaryKey");
    int key = 0;
    if (IsKey(name, key)) {
        if (key < 2 || !users.Seek("=", {key}) || users.m_RecordState == 0)
            NotFound("user", name, 0);
        return key;
    }
    int byList = -1, byLast = -1, lastMatches = 0;
    for (users.MoveFirst(); !users.IsEOF(); users.MoveNext()) {
        if (users.m_UserKey < 2 || users.m_RecordState == 0) continue;
        QString list = UserListName(users.m_LastName, users.m_FirstName, users.m_MiddleInitial);
        if (list.compare(name, Qt::CaseInsensitive) == 0 && byList < 0) byList = users.m_UserKey;
        if (users.m_LastName.compare(name, Qt::CaseInsensitive) == 0) {
            byLast = users.m_UserKey;
            ++lastMatches;
        }
    }
    if (byList >= 0) return byList;
    if (lastMatches != 1) NotFound("user", name, lastMatches);
    return byLast;
}

int LockKeyOf(CTDXDoc& doc, const QString& name) {
    CLocksRecordset locks(doc.Db());
    locks.SetCurrentIndex("PrimaryKey");
    int key = 0;
    if (IsKey(name, key)) {
        if (!locks.Seek("=", {key})) NotFound("lock", name, 0);
        return key;
    }
    int found = -1, matches = 0;
    locks.SetCurrentIndex("Name");
    for (locks.Seek("=", {name}); locks.HasCurrent(); locks.MoveNext()) {
        if (locks.m_Name.compare(name, Qt::CaseInsensitive) != 0) break;
        found = locks.m_LockKey;
        ++matches;
    }
    if (matches != 1) NotFound("lock", name, matches);
    return found;
}

bool IsLocationPath(const QString& text) {
    return text.startsWith(QLatin1Char('\\'));
}

int LocationKeyOf(CTDXDoc& doc, const QString& path) {
    if (!IsLocationPath(path)) NotFound("location", path, 0);
    CFacilityDirectoryRecordset nodes(doc.Db());
    nodes.SetCurrentIndex("Root Index");
    // The root is the location whose parent is -1.
    if (!nodes.Seek("=", {-1})) NotFound("location", path, 0);
    int key = nodes.m_DirectoryKey;
    for (const QString& level : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        int next = -1;
        for (nodes.Seek("=", {key}); nodes.HasCurrent() && nodes.m_RootIndex == key;
             nodes.MoveNext()) {
            if (nodes.m_NodeName.compare(level, Qt::CaseInsensitive) == 0)
                next = nodes.m_DirectoryKey;
        }
        if (next < 0) NotFound("location", path, 0);
        key = next;
    }
    return key;
}

// A number names the device of that key; a name must be one only one
// device has (handhelds often share the name their owner gave them).
int DeviceKeyOf(CTDXDoc& doc, const QString& name) {
    int key = 0;
    const bool isKey = IsKey(name, key);
    int found = 0, matches = 0;
    CMobileDevicesRecordset devices(doc.Db());
    for (devices.MoveFirst(); !devices.IsEOF(); devices.MoveNext()) {
        if (isKey && devices.m_HPCKey == key) return key;
        if (devices.m_Name.compare(name, Qt::CaseInsensitive) != 0) continue;
        found = devices.m_HPCKey;
        ++matches;
    }
    if (matches == 1) return found;
    if (isKey && key == 0 && matches == 0) return 0;
    NotFound("device", name, matches);
}

}  // namespace tandrel::cli
