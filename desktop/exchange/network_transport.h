#pragma once

#include "desktop/exchange/lock_data_link.h"
#include "desktop/exchange/record_transport.h"

namespace tandrel {

// Records on a network device, through its data link control. The device
// keeps no databases: opening them is nothing, resetting them removes every
// record of every kind. A failed call is error 31; a read past the last
// record ERROR_NO_MORE_ITEMS; a record of the wrong shape ERROR_INVALID_DATA.
class NetworkTransport : public RecordTransport {
  public:
    static constexpr std::uint32_t kErrorRefused = 31;

    explicit NetworkTransport(LockDataLink& link) : link_(&link) {}

    bool IsNetwork() const override { return true; }
    std::uint32_t Seek(CHandheldRecord& record, int mode, int index) override;
    std::uint32_t Read(CHandheldRecord& record) override;
    std::uint32_t Write(CHandheldRecord& record, bool isNew) override;
    std::uint32_t Delete(CHandheldRecord& record) override;
    std::uint32_t DeleteAll(CHandheldRecord& record) override;
    // The device's store keeps each record once its call returned.
    std::uint32_t Flush() override { return 0; }
    std::uint32_t OpenDatabases(ExchangeDatabases& databases) override;
    void CloseDatabases(ExchangeDatabases& databases) override;
    // RemoveAllLockRecords on OS data, enrolled lock, directory node,
    // programming, audit and device registry, in that order.
    std::uint32_t ResetDatabases() override;

  private:
    LockDataLink* link_;
};

}  // namespace tandrel
