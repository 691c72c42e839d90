#pragma once

#include <map>
#include <set>

#include "desktop/data/prompter.h"
#include "desktop/exchange/record_transport.h"
#include "platform/dao/database.h"

namespace tandrel {

// Hands a device the part of the location directory and the list of locks
// it serves: enrolled-lock records written, refreshed or deleted by each
// lock's Device Link State, stale ones dropped, the directory nodes its
// locks need (with their ancestors, node 1 always) rewritten and the rest
// deleted, and the queued programming of locks taken off the device
// purged. Then the locks' link states and the device row are settled: a
// device pending removal loses its row.
class DirectoryUpdater {
  public:
    DirectoryUpdater(dao::Database& db, RecordTransport& transport,
                     const ExchangeDatabases& databases);

    // 0, or a device error (232 for a lock or node the facility lacks).
    // Database errors are thrown.
    int Update(int deviceKey, Progress& progress);

  private:
    struct Node {
        QString name;
        int parent = 0;
    };
    int UpdateLockRecords(int deviceKey);
    void NeedPath(int node, bool refresh);
    int DropStaleLockRecords();
    int RewriteNodes();
    int WriteMissingNodes();
    int PurgeDeletedLocks();
    void SettleLinks(int deviceKey);
    void Step();

    dao::Database& db_;
    RecordTransport& transport_;
    const ExchangeDatabases& databases_;
    Progress* progress_ = nullptr;
    int position_ = 0;

    std::map<int, Node> directory_;
    // Needed node -> whether it is to be rewritten.
    std::map<int, bool> needed_;
    std::set<int> deletedLocks_;
};

}  // namespace tandrel
