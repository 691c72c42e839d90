#include "desktop/admin/facility_directory.h"

#include "desktop/admin/directory_texts.h"
#include "desktop/admin/location_path.h"
#include "desktop/admin/text_rules.h"
#include "desktop/admin/user_texts.h"
#include "desktop/data/facility_states.h"
#include "platform/dao/error.h"

namespace tandrel {

QString LockDisplayName(const QString& path, const QString& name, int limit) {
    if (path.size() + name.size() <= limit) return path + name;
    const int keep = std::max<int>(0, limit - static_cast<int>(name.size()) - 4);
    return path.left(keep) + QStringLiteral("...\\") + name;
}

bool FacilityDirectory::Load() {
    nodes_.clear();
    rootKey_ = -1;
    std::map<int, Node> pending;
    int root = -1;
    try {
        CFacilityDirectoryRecordset paths(doc_.Db());
        paths.SetCurrentIndex("PrimaryKey");
        for (paths.MoveFirst(); !paths.IsEOF(); paths.MoveNext()) {
            if (root < 0) {
                root = paths.m_DirectoryKey;
                nodes_[root] = Node{-1, paths.m_NodeName, {}};
                continue;
            }
            pending[paths.m_DirectoryKey] = Node{paths.m_RootIndex, paths.m_NodeName, {}};
        }
    } catch (const dao::Error&) {
        root = -1;
    }
    bool sound = root >= 0;
    for (const auto& [key, node] : pending) {
        if (node.parent != root && pending.count(node.parent) == 0) sound = false;
    }
    // Place rows under parents already placed; a pass that places nothing
    // means the rest form a cycle.
    while (sound && !pending.empty()) {
        bool placed = false;
        for (auto it = pending.begin(); it != pending.end();) {
            auto parent = nodes_.find(it->second.parent);
            if (parent == nodes_.end()) {
                ++it;
                continue;
            }
            parent->second.children.push_back(it->first);
            nodes_[it->first] = it->second;
            it = pending.erase(it);
            placed = true;
        }
        sound = placed;
    }
    if (!sound) {
        nodes_.clear();
        prompter_.Message(texts::kDirectoryLoadError, PromptIcon::Stop);
        return false;
    }
    rootKey_ = root;
    return true;
}

QString FacilityDirectory::Name(int key) const {
    auto it = nodes_.find(key);
    return it == nodes_.end() ? QString() : it->second.name;
}

int FacilityDirectory::Parent(int key) const {
    auto it = nodes_.find(key);
    return it == nodes_.end() ? -1 : it->second.parent;
}

std::vector<int> FacilityDirectory::Children(int key) const {
    auto it = nodes_.find(key);
    return it == nodes_.end() ? std::vector<int>{} : it->second.children;
}

QString FacilityDirectory::Path(int key) const {
    QString path = QStringLiteral("\\");
    QStringList names;
    for (int at = key; at != rootKey_ && Contains(at); at = Parent(at)) names.prepend(Name(at));
    for (const QString& name : names) path += name + QLatin1Char('\\');
    return path;
}

int FacilityDirectory::Depth(int key) const {
    int depth = 0;
    for (int at = key; at != rootKey_ && Contains(at); at = Parent(at)) ++depth;
    return depth;
}

std::vector<DirectoryListEntry> FacilityDirectory::ListOf(int key) {
    std::vector<DirectoryListEntry> list;
    for (int child : Children(key)) list.push_back({true, child, Name(child)});
    auto locks = doc_.Db().OpenDynaset("Locks", QStringLiteral("[Path Index] = %1").arg(key),
                                       QStringLiteral("Name"));
    for (; !locks->IsEOF(); locks->MoveNext()) {
        list.push_back({false, locks->Value("Lock Key").toInt(), locks->Value("Name").toString()});
    }
    return list;
}

bool FacilityDirectory::NameInUse(int parent, const QString& name, int except) const {
    for (int sibling : Children(parent)) {
        if (sibling != except && Name(sibling).compare(name, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

bool FacilityDirectory::CanAddLocation(int parent) {
    if (Contains(parent) && Depth(parent) < kMaxLocationDepth) return true;
    prompter_.Message(texts::DepthLimit(kMaxLocationDepth), PromptIcon::Exclamation);
    return false;
}

// A location's name is a level of every path below it: one line, no
// backslash, within its field.
bool FacilityDirectory::NameAllowed(const QString& name) {
    std::optional<QString> problem;
    if (name.trimmed().isEmpty()) {
        problem = texts::kMustEnterLocationName;
    } else if (name.contains(QLatin1Char('\\'))) {
        problem = texts::kLocationNameBackslash;
    } else {
        problem = NameProblem(QStringLiteral("Location name"), name, {"Lock Paths", "Node Name"});
    }
    if (!problem) return true;
    prompter_.Message(*problem, PromptIcon::Exclamation);
    return false;
}

std::optional<int> FacilityDirectory::AddLocation(int parent, const QString& name) {
    if (!Contains(parent) || !NameAllowed(name)) return std::nullopt;
    if (NameInUse(parent, name, -1)) {
        prompter_.Message(texts::kLocationNameInUseRestart, PromptIcon::Exclamation);
        return std::nullopt;
    }
    int key = -1;
    try {
        CFacilityDirectoryRecordset paths(doc_.Db());
        paths.AddNew();
        if (paths.m_DirectoryKey > kLocationKeyLimit) {
            paths.CancelUpdate();
            prompter_.Message(texts::kOutOfKeys, PromptIcon::Stop);
            return std::nullopt;
        }
        key = paths.m_DirectoryKey;
        paths.m_NodeName = name;
        paths.m_RootIndex = parent;
        paths.Update();
    } catch (const dao::Error& e) {
        prompter_.Message(e.Description(), PromptIcon::Exclamation);
        return std::nullopt;
    }
    nodes_[key] = Node{parent, name, {}};
    nodes_[parent].children.push_back(key);
    return key;
}

void FacilityDirectory::FlagDevice(int deviceKey) {
    CMobileDevicesRecordset devices(doc_.Db());
    if (!devices.FindByKey(deviceKey) || devices.m_RecordState != kDeviceCurrent) return;
    devices.Edit();
    devices.m_RecordState = kDeviceChanged;
    devices.Update();
}

bool FacilityDirectory::RenameLocation(int key, const QString& name) {
    if (!Contains(key) || key == rootKey_) return false;
    if (Name(key) == name) return true;
    if (!NameAllowed(name)) return false;
    if (NameInUse(Parent(key), name, key)) {
        prompter_.Message(texts::kLocationNameInUseRestart, PromptIcon::Exclamation);
        return false;
    }
    dao::Database& db = doc_.Db();
    try {
        dao::Transaction transaction(db);
        const std::vector<int> locks = LocksUnder(key);
        CFacilityDirectoryRecordset paths(db);
        if (!paths.FindByKey(key)) dao::Throw(dao::kErrNoCurrentRecord);
        paths.Edit();
        paths.m_NodeName = name;
        paths.Update();
        CLocksRecordset rows(db);
        for (int lock : locks) {
            if (!rows.FindByKey(lock)) continue;
            rows.Edit();
            rows.m_FullPath = LocationFullPath(db, rows.m_PathIndex).value_or(texts::kPathError);
            if (rows.m_DeviceLink != 0 && rows.m_DeviceLinkState == kLinkCurrent)
                rows.m_DeviceLinkState = kLinkPendingUpdate;
            rows.Update();
            if (rows.m_DeviceLink != 0) FlagDevice(rows.m_DeviceLink);
        }
        transaction.Commit();
    } catch (const dao::Error& e) {
        prompter_.Message(e.Description(), PromptIcon::Exclamation);
        return false;
    }
    nodes_[key].name = name;
    return true;
}

bool FacilityDirectory::DeleteLocation(int key) {
    if (!Contains(key) || key == rootKey_) return false;
    auto locks = doc_.Db().OpenDynaset("Locks", QStringLiteral("[Path Index] = %1").arg(key));
    if (!Children(key).empty() || locks->RecordCount() > 0) {
        prompter_.Message(texts::kLocationNotEmpty, PromptIcon::Stop);
        return false;
    }
    try {
        CFacilityDirectoryRecordset paths(doc_.Db());
        if (!paths.FindByKey(key)) dao::Throw(dao::kErrNoCurrentRecord);
        paths.Delete();
    } catch (const dao::Error&) {
        prompter_.Message(texts::kDeleteLocationError, PromptIcon::Stop);
        return false;
    }
    auto& siblings = nodes_[Parent(key)].children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), key), siblings.end());
    nodes_.erase(key);
    return true;
}

std::vector<int> FacilityDirectory::LocksUnder(int key) {
    CLocksInPathQuerySet query(doc_.Db());
    query.SetParam(QStringLiteral("LOCKPATH"), QVariant(Path(key)));
    query.Requery();
    std::vector<int> keys;
    for (; !query.IsEOF(); query.MoveNext()) keys.push_back(query.m_LockKey);
    return keys;
}

bool FacilityDirectory::RefreshLocks(const std::vector<int>& lockKeys) {
    if (prompter_.Ask(texts::kRefreshLocksQuestion, PromptButtons::YesNo, PromptAnswer::No,
                      PromptIcon::Exclamation) != PromptAnswer::Yes) {
        return false;
    }
    return doc_.ForceRefresh(lockKeys);
}

bool FacilityDirectory::RefreshLocation(int key) {
    if (prompter_.Ask(texts::kRefreshLocationQuestion, PromptButtons::YesNo, PromptAnswer::No,
                      PromptIcon::Question) != PromptAnswer::Yes) {
        return false;
    }
    return doc_.ForceRefresh(LocksUnder(key));
}

}  // namespace tandrel
