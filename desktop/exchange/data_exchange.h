#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "desktop/data/prompter.h"
#include "desktop/exchange/connected_device.h"
#include "desktop/exchange/exchange_databases.h"
#include "platform/dao/database.h"

namespace tandrel {

// What a connected device says of itself in its registry.
struct DeviceIdentity {
    std::uint32_t facility = 0;  // communication code of its facility, 0: none
    std::uint32_t identity = 0;  // its device key there
    QString version;             // the data link program's version
    QString lockOsVersion;       // the lock OS it carries, empty: none
};

// One exchange with a device: which kind of device, the device found, its
// open databases.
struct ExchangeState {
    bool network = false;
    int deviceKey = 0;
    std::unique_ptr<ConnectedDevice> device;
    ExchangeDatabases databases;
    bool databasesOpen = false;
};

// The exchange between the facility and a device: identifying it,
// collecting what it brought back, handing it the directory of its locks,
// programming them, enrolling and removing devices. Every message goes
// through the prompter; a stop closes the link.
class DataExchange {
  public:
    DataExchange(dao::Database& db, DeviceConnector& connector, Prompter& prompter);
    ~DataExchange();
    DataExchange(const DataExchange&) = delete;
    DataExchange& operator=(const DataExchange&) = delete;

    // The device the exchange is meant for (0: whichever is in the cradle);
    // a network device's row makes it a network exchange.
    void ForDevice(int deviceKey);
    void SetNetwork(bool network) { state_.network = network; }
    const ExchangeState& State() const { return state_; }
    int DeviceKey() const { return state_.deviceKey; }
    // The device the last exchange removed from the facility (0: none).
    int RemovedDevice() const { return removedDevice_; }
    bool Connected() const { return state_.device != nullptr; }

    // Connects and reads the device registry. On failure the link is ended
    // and, unless `quiet`, "Failed to establish connection." is shown.
    std::optional<DeviceIdentity> Identify(Progress& progress, bool quiet = false);

    // Identifies the device, collects from it when `collect`, removes it
    // when it is pending removal, else updates its directory. The device
    // key, or 0 after a stop (shown).
    int Exchange(bool collect);

    // The programming run for the locks on the identified device; 0 or the
    // error shown. A lost connection ends the link.
    int Program(const std::vector<int>& lockKeys);
    // Locks the last programming run handed programming to the device.
    int LocksProgrammed() const { return locksProgrammed_; }

    // Enrols the connected device as a new device, or again as the current
    // one. `networkName` names a new network device. The device key, or 0.
    int Enrol(bool newDevice, const QString& networkName = {});

    // Takes the device out of the facility: its locks unlinked, its row
    // deleted; a connected device is told and emptied.
    bool RemoveDevice(int deviceKey);

    // Closes the databases and ends the link.
    void Close();

  private:
    int Stop(const QString& text, PromptIcon icon = PromptIcon::Stop);
    DeviceTarget TargetFor(int deviceKey);
    bool IsNetworkDevice(int deviceKey);
    bool FindDevice(const DeviceIdentity& identity);
    bool OpenDatabases(Progress& progress);
    int Collect(Progress& progress);
    int UpdateOrRemove(Progress& progress);
    int CheckEnrolment(bool newDevice, const DeviceIdentity& identity);
    int WriteEnrolment(bool newDevice, const QString& networkName,
                       const ce::Partnership& partnership, DeviceIdentity identity);
    void ForgetDevice();

    dao::Database& db_;
    DeviceConnector& connector_;
    Prompter& prompter_;
    ExchangeState state_;
    int removedDevice_ = 0;
    int locksProgrammed_ = 0;
};

}  // namespace tandrel
