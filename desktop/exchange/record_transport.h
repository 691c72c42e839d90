#pragma once

#include <cstdint>

#include "desktop/exchange/exchange_databases.h"

namespace tandrel {

class CHandheldRecord;

// Where handheld records go: the handheld in the cradle, or a network
// device. Calls return 0 or the device's error number (ce::ERROR_...,
// ce::kErrorConnectionLost; a network device reports failures as 31).
class RecordTransport {
  public:
    virtual ~RecordTransport() = default;

    virtual bool IsNetwork() const = 0;

    // Positions `record` on the first record of its kind (mode 0), the
    // first whose key is at least (1) or equal to (2) the value in slot
    // `index`; the record found becomes current. ERROR_NO_DATA when none.
    virtual std::uint32_t Seek(CHandheldRecord& record, int mode, int index) = 0;
    // Reads the record at the position into `record` and moves on;
    // ERROR_NO_MORE_ITEMS after the last one. A failed read changes nothing.
    virtual std::uint32_t Read(CHandheldRecord& record) = 0;
    // Writes `record` as a new record, or over its current one.
    virtual std::uint32_t Write(CHandheldRecord& record, bool isNew) = 0;
    // Deletes the current record; every record of the kind.
    virtual std::uint32_t Delete(CHandheldRecord& record) = 0;
    virtual std::uint32_t DeleteAll(CHandheldRecord& record) = 0;
    // Makes every change so far durable on the device: the facility records
    // a hand-over only once this returned 0. A network device stores each
    // record before it answers.
    virtual std::uint32_t Flush() = 0;

    // The exchange's databases: opened (created where missing) with their
    // record counts, closed, and reset to empty.
    virtual std::uint32_t OpenDatabases(ExchangeDatabases& databases) = 0;
    virtual void CloseDatabases(ExchangeDatabases& databases) = 0;
    virtual std::uint32_t ResetDatabases() = 0;
};

}  // namespace tandrel
