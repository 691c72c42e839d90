#include "desktop/exchange/device_address.h"

#include <QStringList>

namespace tandrel {
namespace {

bool IsOctet(const QString& part) {
    if (part.isEmpty() || part.size() > 3) return false;
    for (QChar c : part) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    }
    if (part.size() > 1 && part[0] == QLatin1Char('0')) return false;
    return part.toInt() <= 255;
}

}  // namespace

bool IsDeviceAddress(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4) return false;
    for (const QString& part : parts) {
        if (!IsOctet(part)) return false;
    }
    return true;
}

bool IsDevicePort(int port) {
    return port >= 1 && port <= 65535;
}

}  // namespace tandrel
