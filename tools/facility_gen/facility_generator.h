#pragma once

#include <QDateTime>

#include "platform/dao/database.h"

namespace tandrel {

// How much to put into a facility.
struct GeneratorOptions {
    int locations = 10;
    int locks = 10;
    int users = 10;
    int enrolments = 20;  // spread over users and locks, each user in distinct locks
    int auditRows = 100;  // spread over the locks, newest key highest
    unsigned seed = 1;
    QDateTime auditStart = QDateTime(QDate(2026, 1, 1), QTime(0, 0));
};

// Fills an open facility (fresh from NewFacility) with locations, locks,
// users, enrolments and audit rows that obey the facility's rules: keys,
// paths, slots and counters all consistent; code IDs distinct and of the
// facility's code ID length, PINs of its PIN length. Bulk statements in one
// transaction, so a million audit rows take seconds. Throws
// std::invalid_argument, writing nothing, when the users do not fit in the
// code ID length.
void GenerateFacilityData(dao::Database& db, const GeneratorOptions& options);

}  // namespace tandrel
