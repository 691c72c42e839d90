#pragma once

#include <QString>

namespace tandrel {

// Where a network device is reached. The data link control connects to the
// address as it is given, so it must be a dotted IPv4 address: four numbers
// 0-255 without leading zeros (which some readers take for octal).
bool IsDeviceAddress(const QString& text);
bool IsDevicePort(int port);

// The data link control's own port when none is given.
inline constexpr int kDefaultDevicePort = 1080;

inline const QString kBadDeviceAddress = QStringLiteral(
    "The IP address must be four numbers from 0 to 255 separated by dots, such as "
    "192.168.1.20.");
inline const QString kBadDevicePort = QStringLiteral("The port number must be from 1 to 65535.");

}  // namespace tandrel
