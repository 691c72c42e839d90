#include "desktop/admin/schedule_enrolment.h"

#include <set>

#include "desktop/data/table_recordsets.h"

namespace tandrel {

void CScheduleEnrollPage::Load(dao::Database& db, int scheduleKey) {
    key_ = scheduleKey;
    locations_.clear();
    locks_.clear();
    children_.clear();
    CFacilityDirectoryRecordset paths(db);
    paths.SetCurrentIndex(QStringLiteral("PrimaryKey"));
    for (paths.MoveFirst(); !paths.IsEOF(); paths.MoveNext()) {
        locations_.push_back({paths.m_DirectoryKey, paths.m_RootIndex, paths.m_NodeName});
        children_.emplace(paths.m_RootIndex, paths.m_DirectoryKey);
    }
    CLocksRecordset locks(db);
    locks.SetCurrentIndex(QStringLiteral("PrimaryKey"));
    for (locks.MoveFirst(); !locks.IsEOF(); locks.MoveNext()) {
        EnrolmentLock lock{locks.m_LockKey, locks.m_Name, locks.m_PathIndex, locks.m_TSLink};
        lock.enrolled = StoredIn(lock);
        locks_.push_back(lock);
    }
}

std::vector<int> CScheduleEnrollPage::LocksAt(const EnrolmentNode& node) const {
    std::set<int> folders;
    if (node.kind == EnrolmentNode::Kind::Location) {
        // A walk down the tree; the visited set stops a cycle of parents.
        std::vector<int> pending{node.key};
        while (!pending.empty()) {
            const int folder = pending.back();
            pending.pop_back();
            if (!folders.insert(folder).second) continue;
            auto [first, last] = children_.equal_range(folder);
            for (auto it = first; it != last; ++it) pending.push_back(it->second);
        }
    }
    std::vector<int> keys;
    for (const EnrolmentLock& lock : locks_) {
        const bool at = node.kind == EnrolmentNode::Kind::Root ||
                        (node.kind == EnrolmentNode::Kind::Lock && lock.key == node.key) ||
                        folders.count(lock.location) > 0;
        if (at) keys.push_back(lock.key);
    }
    return keys;
}

bool CScheduleEnrollPage::IsEnrolled(int lockKey) const {
    for (const EnrolmentLock& lock : locks_) {
        if (lock.key == lockKey) return lock.enrolled;
    }
    return false;
}

void CScheduleEnrollPage::Set(const EnrolmentNode& node, bool enrolled) {
    const std::vector<int> keys = LocksAt(node);
    const std::set<int> chosen(keys.begin(), keys.end());
    for (EnrolmentLock& lock : locks_) {
        if (chosen.count(lock.key)) lock.enrolled = enrolled;
    }
}

std::vector<EnrolmentLock> CScheduleEnrollPage::Changes() const {
    std::vector<EnrolmentLock> changes;
    for (const EnrolmentLock& lock : locks_) {
        if (lock.enrolled != StoredIn(lock)) changes.push_back(lock);
    }
    return changes;
}

void CScheduleEnrollPage::Saved(int scheduleKey) {
    for (EnrolmentLock& lock : locks_) {
        if (lock.enrolled) {
            lock.storedLink = scheduleKey;
        } else if (StoredIn(lock)) {
            lock.storedLink = 0;
        }
    }
    key_ = scheduleKey;
}

}  // namespace tandrel
