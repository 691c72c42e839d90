#pragma once

#include <QString>

namespace tandrel {

// A connection to a device that failed under the exchange.
constexpr int kErrConnectionLost = 0x20000001;

// The stop box text of a failed exchange step or programming run, with its
// closing "Can not continue!" line.
QString ExchangeErrorText(int code);

}  // namespace tandrel
