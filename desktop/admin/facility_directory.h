#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "desktop/data/facility_document.h"

namespace tandrel {

inline constexpr int kMaxLocationDepth = 6;
inline constexpr int kMaxLocationName = 32;
inline constexpr int kLocationKeyLimit = 65534;
inline constexpr int kMessageNameLength = 50;

// The value a tree item carries: the location key, with 0x10000 added for
// every location but the root.
inline std::uint32_t DirectoryItemValue(int key, bool root) {
    return static_cast<std::uint32_t>(key) | (root ? 0u : 0x10000u);
}

// A lock as messages name it: its location path and name, the path cut
// short with "...\" when both together would exceed `limit` characters.
QString LockDisplayName(const QString& path, const QString& name, int limit = kMessageNameLength);

// One entry of a location's list: its child locations, then its locks.
struct DirectoryListEntry {
    bool location = false;
    int key = 0;
    QString text;
};

// The facility's location tree as the explorer shows it, with the
// operations on locations and locks that the explorer offers.
class FacilityDirectory {
  public:
    FacilityDirectory(CTDXDoc& doc, Prompter& prompter) : doc_(doc), prompter_(prompter) {}

    // Reads Lock Paths: the root first, then every location under a parent
    // already placed. A missing parent or a cycle empties the tree and shows
    // the loading error.
    bool Load();
    bool IsLoaded() const { return rootKey_ >= 0; }
    int RootKey() const { return rootKey_; }
    bool Contains(int key) const { return nodes_.count(key) > 0; }
    QString Name(int key) const;
    int Parent(int key) const;
    // Child locations in the order the tree holds them.
    std::vector<int> Children(int key) const;
    // "\Building A\East\"; "\" for the root.
    QString Path(int key) const;
    int Depth(int key) const;

    // The list of a location: child locations, then its locks by name.
    std::vector<DirectoryListEntry> ListOf(int key);

    // Whether a location may be made under `parent`; the depth message is
    // shown when not.
    bool CanAddLocation(int parent);
    // Ends the label editing of a new location: the new key, or nullopt when
    // the name is refused (empty, with a backslash or a line break, too
    // long), in use among the siblings (editing restarts) or the row could
    // not be written (the message is shown).
    std::optional<int> AddLocation(int parent, const QString& name);
    // Ends the label editing of a renamed location; false when refused or
    // failed (the message is shown). Every lock at or below it gets its new
    // FullPath, and the devices serving them are flagged.
    bool RenameLocation(int key, const QString& name);
    bool DeleteLocation(int key);

    // The lock copied for pasting, -1 when none.
    void CopyLock(int lockKey) { copiedLock_ = lockKey; }
    int CopiedLock() const { return copiedLock_; }
    bool CanPasteLock() const { return copiedLock_ >= 0; }

    // Removes a lock after the question: its enrolments (users whose last
    // pending lock it was are removed for good), its audit rows, the lock;
    // its device is flagged. `usersRemoved` tells whether the user list
    // needs refreshing.
    bool RemoveLock(int lockKey, bool* usersRemoved = nullptr);
    // Force-refreshes locks after the question.
    bool RefreshLocks(const std::vector<int>& lockKeys);
    // Force-refreshes every lock at or below a location after the question.
    bool RefreshLocation(int key);
    // The keys of every lock at or below a location.
    std::vector<int> LocksUnder(int key);

  private:
    struct Node {
        int parent = -1;
        QString name;
        std::vector<int> children;
    };
    bool NameInUse(int parent, const QString& name, int except) const;
    bool NameAllowed(const QString& name);
    void FlagDevice(int deviceKey);

    CTDXDoc& doc_;
    Prompter& prompter_;
    std::map<int, Node> nodes_;
    int rootKey_ = -1;
    int copiedLock_ = -1;
};

}  // namespace tandrel
