#pragma once

#include <cstdint>

#include "protocol/bytes.h"

namespace tandrel {

// One lock command waiting on a device for delivery.
struct ProgramRecord {
    std::uint32_t key = 0;      // lock address in bits 16-31, sequence number in 0-15
    std::uint16_t command = 0;  // command code in bits 0-14, delivered mark in bit 15
    protocol::Bytes payload;
    std::uint32_t id = 0;  // of a record read from a handheld: its object id; 0 elsewhere

    int LockAddress() const { return static_cast<int>(key >> 16); }
    int Code() const { return command & 0x7FFF; }
    bool Delivered() const { return (command & 0x8000) != 0; }
};

// Error codes of the device stores, as the exchange reports them.
constexpr int kErrNoMoreItems = 259;  // the normal end of a read
constexpr int kErrRecordNotFound = 232;
constexpr int kErrNetworkQueue = 31;  // a network device refused a new record

// The programming file of the device that serves the locks, in key order,
// and the program status of the locks enrolled on it. Calls return 0 or a
// device error code.
class ProgramStore {
  public:
    virtual ~ProgramStore() = default;

    // Adds a record at its key's place.
    virtual int Append(const ProgramRecord& record) = 0;
    // Positions reads at the first record whose key is `key` or above;
    // kErrRecordNotFound when there is none.
    virtual int SeekAtLeast(std::uint32_t key) = 0;
    // Positions reads at the first record; kErrRecordNotFound when empty.
    virtual int SeekFirst() = 0;
    // Reads the record at the position and moves past it; kErrNoMoreItems
    // after the last one.
    virtual int ReadNext(ProgramRecord& record) = 0;
    // Deletes the record read last.
    virtual int DeleteLastRead() = 0;
    // Deletes a record read earlier, by its id (a handheld's records only:
    // a network device deletes nothing but the record read last).
    virtual int Delete(const ProgramRecord& record) = 0;
    // Makes everything written so far durable on the device: after 0, the
    // records survive the device or this program going away.
    virtual int Flush() = 0;
    // Records stored, to scale progress.
    virtual int RecordCount() = 0;
    virtual bool IsNetworkDevice() const = 0;

    // Sets the program status of the lock's enrolled-lock record to "new
    // lock"; a lock the device does not list yet is left alone.
    virtual int MarkNewLock(int lockAddress) = 0;
};

// Deletes every record of the lock (they sit together, in queue order, from
// the lock address x 65536 on); 0 or the device error. `deleted` counts
// the records deleted.
int DeleteLockRecords(ProgramStore& store, int lockAddress, int* deleted = nullptr);

// Whether the device holds any record of the lock; 0 or the device error.
int HoldsLockRecords(ProgramStore& store, int lockAddress, bool& holds);

}  // namespace tandrel
