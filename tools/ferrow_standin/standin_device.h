#pragma once

#include <string>

#include "desktop/exchange/handheld_record.h"
#include "tools/ferrow_standin/standin_script.h"

namespace ferrow_standin {

// Writes to a handheld's databases what the handheld program writes after
// visiting locks, through the same handheld records the desktop reads them
// with.
class StandinDevice {
  public:
    StandinDevice(tandrel::RecordTransport& transport, const tandrel::ExchangeDatabases& databases);

    // Carries out one step; 0 or the device error. `done` tells what was
    // written.
    std::uint32_t Apply(const Step& step, std::string& done);

  private:
    std::uint32_t ApplyVisit(const Visit& visit, std::string& done);
    std::uint32_t ApplyGuest(int lockAddress, const protocol::CivilDateTime& when,
                             const LockReport& report);
    std::uint32_t WriteAudit(int lockAddress, const protocol::Bytes& block);
    std::uint32_t Deliver(int lockAddress, int limit, int& delivered);
    std::uint32_t FindLock(int lockAddress, bool& found);
    std::uint32_t RecordExchange(const protocol::CivilDateTime& when, const LockReport& report);

    tandrel::CHandheldRecord programs_;
    tandrel::CHandheldRecord locks_;
    tandrel::CHandheldRecord audit_;
};

}  // namespace ferrow_standin
