#pragma once

#include <QSettings>

#include "desktop/exchange/connected_device.h"

namespace tandrel {

// Reaches the handheld in the cradle: the store the settings name, or the
// one given. A handheld seen the first time gets its partnership. A store
// that cannot be opened is named with the cause. Network targets are not
// reached through the cradle.
class CradleConnector : public DeviceConnector {
  public:
    explicit CradleConnector(QSettings& settings, QString storePath = {}, int waitMs = 2000);

    std::unique_ptr<ConnectedDevice> Connect(const DeviceTarget& target,
                                             Prompter& prompter) override;

  private:
    QSettings& settings_;
    QString storePath_;
    int waitMs_;
};

}  // namespace tandrel
