#pragma once

#include <QString>

#include <map>
#include <vector>

#include "platform/dao/database.h"

namespace tandrel {

// A location folder of the "Lock Enrollment" tree.
struct EnrolmentLocation {
    int key = 0;
    int parent = -1;  // -1 for the root
    QString name;
};

// A lock of the tree: the schedule it is enrolled in as stored, and whether
// the sheet has it enrolled in this schedule.
struct EnrolmentLock {
    int key = 0;
    QString name;
    int location = 0;
    int storedLink = 0;
    bool enrolled = false;
};

// The selected item: the root (every lock of the facility), a location
// (every lock at or below it) or one lock.
struct EnrolmentNode {
    enum class Kind { Root, Location, Lock };
    Kind kind = Kind::Root;
    int key = 0;
};

// The "Lock Enrollment" page: "&Enroll" and "&Remove" on the selected item;
// the changes stay here until the sheet is saved.
class CScheduleEnrollPage {
  public:
    void Load(dao::Database& db, int scheduleKey);

    const std::vector<EnrolmentLocation>& Locations() const { return locations_; }
    const std::vector<EnrolmentLock>& Locks() const { return locks_; }
    std::vector<int> LocksAt(const EnrolmentNode& node) const;
    bool IsEnrolled(int lockKey) const;

    void Enroll(const EnrolmentNode& node) { Set(node, true); }
    void Remove(const EnrolmentNode& node) { Set(node, false); }
    // The locks whose enrolment in the schedule the sheet changes.
    std::vector<EnrolmentLock> Changes() const;
    bool Changed() const { return !Changes().empty(); }
    // After a save: what the sheet shows is what is stored.
    void Saved(int scheduleKey);

  private:
    void Set(const EnrolmentNode& node, bool enrolled);
    bool StoredIn(const EnrolmentLock& lock) const { return key_ > 0 && lock.storedLink == key_; }

    int key_ = 0;
    std::vector<EnrolmentLocation> locations_;
    std::vector<EnrolmentLock> locks_;
    std::multimap<int, int> children_;  // parent -> child location
};

}  // namespace tandrel
