#pragma once

#include <QDateTime>

#include "desktop/data/prompter.h"
#include "desktop/exchange/record_transport.h"
#include "platform/dao/database.h"

namespace tandrel {

// Takes what the device learned of its locks at their last visit (exchange
// date, hardware, firmware, battery, counters) into the lock rows, when it
// is newer than what the facility knows and not dated more than a day after
// `now`. Returns 0, the device error, or the database error number after
// its message.
int CollectLockInformation(dao::Database& db, RecordTransport& transport,
                           const ExchangeDatabases& databases, Prompter& prompter,
                           Progress& progress, const QDateTime& now = QDateTime::currentDateTime());

}  // namespace tandrel
