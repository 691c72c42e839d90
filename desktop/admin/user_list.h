#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "desktop/admin/facility_directory.h"
#include "desktop/data/facility_document.h"

namespace tandrel {

// One row of the user list: every user not fully removed, in key order.
struct UserListRow {
    int key = 0;
    QString name;       // "Last, First M."
    QString idMedia;    // "Code", "Mag Card", "Prox Card"
    QString homeGroup;  // "%d - " + group name
    QString contact1, contact2, reference;
    bool deleted = false;  // pending removal: shown with the deleted mark
};

// " Lock User Name", "ID Media", "Home Group", then the facility's captions
// for Contact1, Contact2 and Reference ("Contact 1", "Contact 2",
// "Reference" where a caption is empty).
QStringList UserListHeaders(CTDXDoc& doc);
std::vector<UserListRow> UserListRows(CTDXDoc& doc);
UserListRow UserListRowOf(CTDXDoc& doc, const CLockUsersRecordset& user);

// Which explorer commands are offered.
struct ExplorerMenu {
    bool newLocation = false;   // "&Location..." (not below the depth limit)
    bool pasteLock = false;     // "&Paste Lock..." (a lock is copied)
    bool lockCommands = false;  // the lock list's commands (the click is on a lock)
};
ExplorerMenu ExplorerMenuFor(const FacilityDirectory& directory, int location, bool onLock);

}  // namespace tandrel
