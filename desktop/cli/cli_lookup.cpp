#include "desktop/cli/cli_lookup.h"

#include "desktop/admin/lock_user_sheet.h"
#include "desktop/data/facility_states.h"

namespace tandrel::cli {
namespace {

bool IsKey(const QString& text, int& key) {
    bool ok = false;
    key = text.toInt(&ok);
    return ok && key >= 0;
}

[[noreturn]] void NotFound(const char* what, const QString& name) {
    throw LookupError(std::string("no ") + what + " named '" + name.toStdString() + "'");
}

// Several match: say which, and how to name one of them.
[[noreturn]] void Ambiguous(const char* what, const QString& name, const QStringList& matches,
                            const std::string& wayOut) {
    throw LookupError(std::string("more than one ") + what + " named '" + name.toStdString() +
                      "': " + matches.join(", ").toStdString() + "; " + wayOut);
}

struct LockMatch {
    int key;
    QString path;  // the lock's location path and name
};

// The locks of that name (case aside), in every location or in one.
std::vector<LockMatch> LocksNamed(CTDXDoc& doc, const QString& name, int location = -1) {
    std::vector<LockMatch> found;
    CLocksRecordset locks(doc.Db());
    locks.SetCurrentIndex("Name");
    for (locks.Seek("=", {name}); locks.HasCurrent(); locks.MoveNext()) {
        if (locks.m_Name.compare(name, Qt::CaseInsensitive) != 0) break;
        if (location >= 0 && locks.m_PathIndex != location) continue;
        found.push_back({locks.m_LockKey, locks.m_FullPath + locks.m_Name});
    }
    return found;
}

QStringList Described(const std::vector<LockMatch>& locks) {
    QStringList list;
    for (const LockMatch& l : locks) list << QStringLiteral("%1 (key %2)").arg(l.path).arg(l.key);
    return list;
}

std::optional<int> FindLocation(CTDXDoc& doc, const QString& path) {
    if (!IsLocationPath(path)) return std::nullopt;
    CFacilityDirectoryRecordset nodes(doc.Db());
    nodes.SetCurrentIndex("Root Index");
    // The root is the location whose parent is -1.
    if (!nodes.Seek("=", {-1})) return std::nullopt;
    int key = nodes.m_DirectoryKey;
    for (const QString& level : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        int next = -1;
        for (nodes.Seek("=", {key}); nodes.HasCurrent() && nodes.m_RootIndex == key;
             nodes.MoveNext()) {
            if (nodes.m_NodeName.compare(level, Qt::CaseInsensitive) == 0)
                next = nodes.m_DirectoryKey;
        }
        if (next < 0) return std::nullopt;
        key = next;
    }
    return key;
}

// "\Building A\Front": the lock named by the last level, in the location
// the others name.
int LockKeyOfPath(CTDXDoc& doc, const QString& path) {
    if (path.endsWith(QLatin1Char('\\'))) {
        throw LookupError("'" + path.toStdString() +
                          "' is a location; a lock's path ends with its name");
    }
    const qsizetype cut = path.lastIndexOf(QLatin1Char('\\')) + 1;
    const std::vector<LockMatch> found =
        LocksNamed(doc, path.mid(cut), LocationKeyOf(doc, path.left(cut)));
    if (found.empty()) throw LookupError("no lock at '" + path.toStdString() + "'");
    if (found.size() > 1) Ambiguous("lock", path, Described(found), "give its key");
    return found.front().key;
}

}  // namespace

int UserKeyOf(CTDXDoc& doc, const QString& name) {
    CLockUsersRecordset users(doc.Db());
    users.SetCurrentIndex("PrimaryKey");
    int key = 0;
    if (IsKey(name, key)) {
        if (key < 2 || !users.Seek("=", {key}) || users.m_RecordState == kUserRemoved)
            NotFound("user", name);
        return key;
    }
    std::vector<int> byList, byLast;
    for (users.MoveFirst(); !users.IsEOF(); users.MoveNext()) {
        if (users.m_UserKey < 2 || users.m_RecordState == kUserRemoved) continue;
        QString list = UserListName(users.m_LastName, users.m_FirstName, users.m_MiddleInitial);
        if (list.compare(name, Qt::CaseInsensitive) == 0) byList.push_back(users.m_UserKey);
        if (users.m_LastName.compare(name, Qt::CaseInsensitive) == 0)
            byLast.push_back(users.m_UserKey);
    }
    const std::vector<int>& found = byList.empty() ? byLast : byList;
    if (found.empty()) NotFound("user", name);
    if (found.size() > 1) {
        QStringList keys;
        for (int k : found) keys << QStringLiteral("key %1").arg(k);
        Ambiguous("user", name, keys, "give the user's key");
    }
    return found.front();
}

int LockKeyOf(CTDXDoc& doc, const QString& name) {
    int key = 0;
    if (IsKey(name, key)) {
        CLocksRecordset locks(doc.Db());
        if (!locks.FindByKey(key)) NotFound("lock", name);
        return key;
    }
    if (IsLocationPath(name)) return LockKeyOfPath(doc, name);
    const std::vector<LockMatch> found = LocksNamed(doc, name);
    if (found.empty()) NotFound("lock", name);
    if (found.size() > 1) {
        Ambiguous("lock", name, Described(found),
                  "give its key or its path, such as " + found.front().path.toStdString());
    }
    return found.front().key;
}

bool IsLocationPath(const QString& text) {
    return text.startsWith(QLatin1Char('\\'));
}

int LocationKeyOf(CTDXDoc& doc, const QString& path) {
    if (std::optional<int> key = FindLocation(doc, path)) return *key;
    NotFound("location", path);
}

LockOrLocation LockOrLocationOf(CTDXDoc& doc, const QString& word) {
    if (!IsLocationPath(word)) return {false, LockKeyOf(doc, word)};
    if (word.endsWith(QLatin1Char('\\'))) return {true, LocationKeyOf(doc, word)};
    if (std::optional<int> location = FindLocation(doc, word)) return {true, *location};
    return {false, LockKeyOfPath(doc, word)};
}

// A number names the device of that key; a name must be one only one
// device has (handhelds often share the name their owner gave them).
int DeviceKeyOf(CTDXDoc& doc, const QString& name) {
    int key = 0;
    const bool isKey = IsKey(name, key);
    QStringList matches;
    CMobileDevicesRecordset devices(doc.Db());
    for (devices.MoveFirst(); !devices.IsEOF(); devices.MoveNext()) {
        if (isKey && devices.m_HPCKey == key) return key;
        if (devices.m_Name.compare(name, Qt::CaseInsensitive) != 0) continue;
        matches << QString::number(devices.m_HPCKey);
    }
    if (matches.size() == 1) return matches.front().toInt();
    if (isKey && key == 0 && matches.isEmpty()) return 0;
    if (matches.isEmpty()) NotFound("device", name);
    Ambiguous("device", name, matches, "give its key");
}

}  // namespace tandrel::cli
