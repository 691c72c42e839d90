#pragma once

#include <QString>

#include <vector>

#include "desktop/data/facility_states.h"
#include "desktop/data/prompter.h"
#include "platform/dao/database.h"

namespace tandrel {

class DataExchange;

// A device's status in the device list, worst first reached: 1 Current,
// 2 Pending Update, 3 Pending Collection, 4 Pending Download, 5 Pending
// Removal.
int DeviceStatus(dao::Database& db, int deviceKey);
QString DeviceStatusText(int status);

// One line of the device list.
struct DeviceListRow {
    int key = 0;
    QString name;
    QString description;
    QString assignedTo;
    QString version;
    QString type;  // "Mobile" or "Network"
    int status = 1;
    int recordState = kDeviceCurrent;
};
std::vector<DeviceListRow> DeviceList(dao::Database& db);

// The device list's Delete: after the question, the device and its locks
// are marked for removal; a connected device of this facility is then
// exchanged with (which removes it), an unconnected one removed on request.
bool DeleteDevice(dao::Database& db, DataExchange& exchange, Prompter& prompter, int deviceKey);
// Restore of a device pending removal, after the question.
bool RestoreDevice(dao::Database& db, Prompter& prompter, int deviceKey);

// Before the properties sheet: a device pending removal is shown without
// edits only when the person agrees.
bool MayOpenProperties(dao::Database& db, Prompter& prompter, int deviceKey);
// After the properties sheet: a device whose directory is out of date is
// offered an exchange when it is the one connected.
void OfferDirectoryUpdate(dao::Database& db, DataExchange& exchange, Prompter& prompter,
                          int deviceKey);

}  // namespace tandrel
