#pragma once

namespace tandrel {

// The values the facility database stores in its state and bookkeeping
// columns. Every part of the program reads and writes them by these names.

// Users.Record State.
enum UserState : int {
    kUserRemoved = 0,  // deleted and removed from every lock: no longer listed
    kUserActive = 1,
    kUserChangedInBulk = 3,   // rewritten by a code ID or PIN length conversion
    kUserPendingRemoval = 4,  // deleted, still held by a lock: listed and restorable
};

// Locks.Record State.
enum LockState : int {
    kLockCurrent = 1,        // all programming delivered
    kLockNew = 2,            // new, or to be refreshed completely
    kLockUpdatePending = 3,  // changed since its programming was delivered
    kLockRemoved = 4,        // being removed: left out when locks are marked
};

// Users to Locks.Record State: the enrolment of one user in one lock. A user
// is enrolled in states 1 to 3.
enum EnrolmentState : int {
    kNotEnrolled = 0,  // no row; never stored
    kEnrolmentCurrent = 1,
    kPendingEnrolment = 2,  // added, not yet delivered
    kPendingUpdate = 3,     // delivered once, changed since
    kPendingRemoval = 4,
};

// Handheld PCs.Record State.
enum DeviceState : int {
    kDeviceCurrent = 1,
    kDeviceDirectoryPending = 2,  // enrolled, the directory not yet handed over
    kDeviceChanged = 3,           // restored, or its lock data changed: exchange again
    kDevicePendingRemoval = 4,
};

// Locks.Device Link State: the lock's standing on the device of its Device
// Link.
enum DeviceLinkState : int {
    kLinkNotEnrolled = 0,       // taken off its device, or never given one
    kLinkCurrent = 1,           // also a lock saved without a device
    kLinkPendingEnrolment = 2,  // the device has not received the lock yet
    kLinkPendingUpdate = 3,
    kLinkPendingRemoval = 4,
};

// Locks.Pending Action Counter, once normalised: the programming work
// outstanding for the lock.
enum PendingAction : int {
    kNothingOutstanding = 0,
    kHandedToDevice = 1,  // queued on a device, delivery not yet confirmed
    kNotYetHanded = 2,    // changes not yet handed to a device
};

// What changed when a user was saved, as bits.
enum UserChange : int {
    kTypeOrRightsChanged = 1 << 0,
    kIdOrCodeChanged = 1 << 1,  // ID, ID type, card issue number, or a keyed PIN
    kGroupsChanged = 1 << 2,    // home group or group mask
    // Every lock holding the user must learn of these; a new type reaches
    // only the enrolments that follow the user's defaults.
    kReachesEveryLock = kIdOrCodeChanged | kGroupsChanged,
};

}  // namespace tandrel
