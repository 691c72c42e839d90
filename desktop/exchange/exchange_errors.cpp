#include "desktop/exchange/exchange_errors.h"

namespace tandrel {

namespace {

QString Reason(int code) {
    switch (code) {
        case 8: return QStringLiteral("Out of memory error on mobile device.");
        case 87: return QStringLiteral("Invallid parameter error.");
        case 112: return QStringLiteral("Disk full error on mobile device.");
        case 232: return QStringLiteral("Database record not found error.");
        case kErrConnectionLost: return QStringLiteral("Mobile device connection lost.");
        default:
            return QStringLiteral("Unhandled error (0x%1)").arg(static_cast<unsigned>(code), 0, 16);
    }
}

}  // namespace

QString ExchangeErrorText(int code) {
    return Reason(code) + QStringLiteral("\nCan not continue!");
}

}  // namespace tandrel
