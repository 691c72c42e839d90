#pragma once

#include <QString>

#include <vector>

#include "desktop/data/prompter.h"
#include "desktop/exchange/data_exchange.h"

namespace tandrel {

// An item of the exchange dialog's tree: a location, or one of the
// device's locks waiting for programming. Lock items marked for
// programming carry item data 2.
struct ExchangeTreeItem {
    static constexpr int kMarked = 2;

    bool isLock = false;
    int key = 0;  // Directory Key or Lock Key
    QString name;
    int itemData = 0;
    std::vector<ExchangeTreeItem> children;
};

// The "Data Exchange" dialog without its widgets: the connection, the
// title, which controls are enabled, and the tree of locks to program.
class ExchangeDialogModel {
  public:
    ExchangeDialogModel(dao::Database& db, DataExchange& exchange, Prompter& prompter);

    // Opens the dialog: for the device selected in the device list (0:
    // none), which is exchanged with at once; with none, the device in the
    // cradle is exchanged with first.
    void Open(int selectedDevice);
    // "Co&nnect": an exchange with collection.
    bool Connect();
    // "&Select" and "Clea&r Selection" on an item (a location: the locks
    // below it; location key 0, the root: every lock).
    void Select(bool isLock, int key);
    void ClearSelection(bool isLock, int key);
    // "&Program": the programming run for the marked locks; the tree is
    // rebuilt after it. 0 or the error shown.
    int Program();
    // Closing the dialog ends the link.
    void Close();

    const QString& Title() const { return title_; }
    bool ConnectEnabled() const { return connectEnabled_; }
    bool TreeEnabled() const { return treeEnabled_; }
    bool ActionsEnabled() const { return treeEnabled_; }
    const ExchangeTreeItem& Tree() const { return root_; }
    std::vector<int> MarkedLocks() const;

  private:
    void Connected();
    void Unconnected();
    void BuildTree();

    dao::Database& db_;
    DataExchange& exchange_;
    Prompter& prompter_;
    QString title_;
    bool connectEnabled_ = true;
    bool treeEnabled_ = false;
    ExchangeTreeItem root_;
};

}  // namespace tandrel
