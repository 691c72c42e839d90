#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

#include "desktop/admin/facility_directory.h"
#include "desktop/data/facility_document.h"

namespace tandrel {

// One row of the user list: every user not fully removed, in key order.
struct UserListRow {
    int key = 0;
    QString name;       // "Last, First M."
    int idType = 0;     // IdType: code, mag card, prox card
    QString idMedia;    // "Code", "Mag Card", "Prox Card"
    QString id;         // the code ID or card number
    QString homeGroup;  // "%d - " + group name
    QString contact1, contact2, reference;
    bool deleted = false;  // pending removal: shown with the deleted mark
};

// " Lock User Name", "ID Media", "Home Group", then the facility's captions
// for Contact1, Contact2 and Reference ("Contact 1", "Contact 2",
// "Reference" where a caption is empty).
QStringList UserListHeaders(CTDXDoc& doc);

// The rows one at a time as one statement reads them, so a list of any
// length is never held whole.
using UserListSink = std::function<void(const UserListRow&)>;
void ForEachUserListRow(CTDXDoc& doc, const UserListSink& sink);
std::vector<UserListRow> UserListRows(CTDXDoc& doc);
// The listed users whose ID is `id` exactly, of one ID type when given.
void ForEachUserWithId(CTDXDoc& doc, const QString& id, std::optional<int> idType,
                       const UserListSink& sink);
// The row of one user, listed or not; nullopt when there is no such user.
std::optional<UserListRow> UserListRowOf(CTDXDoc& doc, int userKey);

// Which explorer commands are offered.
struct ExplorerMenu {
    bool newLocation = false;   // "&Location..." (not below the depth limit)
    bool pasteLock = false;     // "&Paste Lock..." (a lock is copied)
    bool lockCommands = false;  // the lock list's commands (the click is on a lock)
};
ExplorerMenu ExplorerMenuFor(const FacilityDirectory& directory, int location, bool onLock);

}  // namespace tandrel
