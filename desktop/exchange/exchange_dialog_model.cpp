#include "desktop/exchange/exchange_dialog_model.h"
#include "desktop/exchange/device_rows.h"

#include <functional>
#include <map>

#include "desktop/admin/lock_pending.h"
#include "desktop/data/facility_states.h"
#include "desktop/data/query_recordsets.h"
#include "desktop/data/table_recordsets.h"
#include "desktop/exchange/device_texts.h"
#include "desktop/exchange/exchange_errors.h"
#include "desktop/exchange/exchange_texts.h"

namespace tandrel {
namespace {

void Mark(ExchangeTreeItem& item, int data) {
    if (item.isLock) item.itemData = data;
    for (ExchangeTreeItem& child : item.children) Mark(child, data);
}

ExchangeTreeItem* Find(ExchangeTreeItem& item, bool isLock, int key) {
    if (item.isLock == isLock && item.key == key) return &item;
    for (ExchangeTreeItem& child : item.children) {
        if (ExchangeTreeItem* found = Find(child, isLock, key)) return found;
    }
    return nullptr;
}

void CollectMarked(const ExchangeTreeItem& item, std::vector<int>& keys) {
    if (item.isLock && item.itemData == ExchangeTreeItem::kMarked) keys.push_back(item.key);
    for (const ExchangeTreeItem& child : item.children) CollectMarked(child, keys);
}

}  // namespace

ExchangeDialogModel::ExchangeDialogModel(dao::Database& db, DataExchange& exchange,
                                         Prompter& prompter)
    : db_(db), exchange_(exchange), prompter_(prompter), title_(exchange_texts::kTitle) {
    root_.name = device_texts::kTreeRoot;
}

void ExchangeDialogModel::Open(int selectedDevice) {
    exchange_.ForDevice(selectedDevice);
    Connect();
}

bool ExchangeDialogModel::Connect() {
    if (exchange_.Exchange(true) == 0) {
        Unconnected();
        return false;
    }
    Connected();
    return true;
}

void ExchangeDialogModel::Connected() {
    DeviceRows devices(db_);
    devices.Find(exchange_.DeviceKey());
    title_ = device_texts::kTitlePrefix + devices.m_Name;
    connectEnabled_ = false;
    treeEnabled_ = true;
    BuildTree();
}

void ExchangeDialogModel::Unconnected() {
    title_ = exchange_texts::kTitle;
    connectEnabled_ = true;
    treeEnabled_ = false;
    root_.children.clear();
}

void ExchangeDialogModel::BuildTree() {
    root_.children.clear();
    std::map<int, std::pair<QString, int>> paths;  // key -> name, parent
    CFacilityDirectoryRecordset directory(db_);
    for (directory.MoveFirst(); !directory.IsEOF(); directory.MoveNext())
        paths[directory.m_DirectoryKey] = {directory.m_NodeName, directory.m_RootIndex};

    // Location items made on demand below their parents; a broken chain
    // of parents ends at the root.
    std::function<ExchangeTreeItem&(int, int)> location = [&](int key,
                                                              int depth) -> ExchangeTreeItem& {
        auto found = paths.find(key);
        if (found == paths.end() || depth > static_cast<int>(paths.size())) return root_;
        ExchangeTreeItem& parent = location(found->second.second, depth + 1);
        for (ExchangeTreeItem& child : parent.children) {
            if (!child.isLock && child.key == key) return child;
        }
        parent.children.push_back({false, key, found->second.first, 0, {}});
        return parent.children.back();
    };

    auto locks = LocksOfDevice(db_, exchange_.DeviceKey());
    for (locks->MoveFirst(); !locks->IsEOF(); locks->MoveNext()) {
        if (NormalisedPendingCounter(locks->m_PendingActionCounter, locks->m_DataDownloadedFlag) !=
            kNotYetHanded)
            continue;
        ExchangeTreeItem& parent = location(locks->m_PathIndex, 0);
        parent.children.push_back(
            {true, locks->m_LockKey, locks->m_Name, ExchangeTreeItem::kMarked, {}});
    }
}

void ExchangeDialogModel::Select(bool isLock, int key) {
    if (ExchangeTreeItem* item = Find(root_, isLock, key)) Mark(*item, ExchangeTreeItem::kMarked);
}

void ExchangeDialogModel::ClearSelection(bool isLock, int key) {
    if (ExchangeTreeItem* item = Find(root_, isLock, key)) Mark(*item, 0);
}

std::vector<int> ExchangeDialogModel::MarkedLocks() const {
    std::vector<int> keys;
    CollectMarked(root_, keys);
    return keys;
}

int ExchangeDialogModel::Program() {
    const int error = exchange_.Program(MarkedLocks());
    if (!exchange_.Connected()) {
        Unconnected();
        return error;
    }
    BuildTree();
    return error;
}

void ExchangeDialogModel::Close() {
    exchange_.Close();
    Unconnected();
}

}  // namespace tandrel
