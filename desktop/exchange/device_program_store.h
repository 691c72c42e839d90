#pragma once

#include "desktop/exchange/handheld_record.h"
#include "desktop/exchange/program_store.h"

namespace tandrel {

// The programming file and the enrolled-lock file of a handheld or network
// device, reached through handheld records on the exchange's open
// databases.
class DeviceProgramStore : public ProgramStore {
  public:
    DeviceProgramStore(RecordTransport& transport, const ExchangeDatabases& databases);

    int Append(const ProgramRecord& record) override;
    int SeekAtLeast(std::uint32_t key) override;
    int SeekFirst() override;
    int ReadNext(ProgramRecord& record) override;
    int DeleteLastRead() override;
    int Delete(const ProgramRecord& record) override;
    int Flush() override;
    int RecordCount() override { return static_cast<int>(recordCount_); }
    bool IsNetworkDevice() const override { return programs_.OnNetwork(); }
    int MarkNewLock(int lockAddress) override;

  private:
    RecordTransport& transport_;
    CHandheldRecord programs_;
    CHandheldRecord locks_;
    std::uint32_t recordCount_;
};

}  // namespace tandrel
