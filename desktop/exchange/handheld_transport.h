#pragma once

#include "desktop/exchange/record_transport.h"
#include "platform/ce/ce_api.h"

namespace tandrel {

// Records on the handheld in the cradle, through its CE calls: each kind in
// its database, the device registry kind in the handheld's registry.
class HandheldTransport : public RecordTransport {
  public:
    explicit HandheldTransport(ce::Api& device) : device_(&device) {}

    ce::Api& Device() { return *device_; }

    bool IsNetwork() const override { return false; }
    std::uint32_t Seek(CHandheldRecord& record, int mode, int index) override;
    std::uint32_t Read(CHandheldRecord& record) override;
    std::uint32_t Write(CHandheldRecord& record, bool isNew) override;
    std::uint32_t Delete(CHandheldRecord& record) override;
    std::uint32_t DeleteAll(CHandheldRecord& record) override;
    std::uint32_t Flush() override { return device_->FlushDatabaseVolume(); }

    // Opens TDXLDF, TDXLMF, TDXPGM and TDXLAF by name (creating any that is
    // missing), TDXLMF again by path index, and reads their record counts.
    // On failure every handle is closed again.
    std::uint32_t OpenDatabases(ExchangeDatabases& databases) override;
    void CloseDatabases(ExchangeDatabases& databases) override;
    // Deletes TDXLDF, TDXLMF, TDXPGM and TDXLAF where they exist and
    // creates them empty.
    std::uint32_t ResetDatabases() override;

  private:
    std::uint32_t OpenOrCreate(HandheldDatabase database, ExchangeDatabases::Open& open);

    ce::Api* device_;
};

}  // namespace tandrel
