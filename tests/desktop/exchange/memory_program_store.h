#pragma once

#include <map>
#include <optional>
#include <vector>

#include "desktop/exchange/program_store.h"

namespace tandrel::testing {

// A device programming file in memory: records in key order, equal keys in
// the order they came; an error can be injected for the n-th append and for
// flushes. Appends since the last flush are what a crash would lose.
class MemoryProgramStore : public ProgramStore {
  public:
    int Append(const ProgramRecord& record) override {
        if (failAppendAt && appends++ == *failAppendAt) return appendError;
        ProgramRecord stored = record;
        stored.id = ++lastId;
        records.emplace(record.key, stored);
        ++unflushed;
        return 0;
    }
    int SeekAtLeast(std::uint32_t key) override {
        cursor_ = records.lower_bound(key);
        return cursor_ != records.end() ? 0 : kErrRecordNotFound;
    }
    int SeekFirst() override {
        cursor_ = records.begin();
        return cursor_ != records.end() ? 0 : kErrRecordNotFound;
    }
    int ReadNext(ProgramRecord& record) override {
        if (cursor_ == records.end()) return kErrNoMoreItems;
        if (cursor_->second.id == 0) cursor_->second.id = ++lastId;
        record = cursor_->second;
        last_ = cursor_++;
        return 0;
    }
    int DeleteLastRead() override {
        records.erase(last_);
        return 0;
    }
    int Delete(const ProgramRecord& record) override {
        for (auto it = records.begin(); it != records.end(); ++it) {
            if (it->second.id != record.id) continue;
            if (it == cursor_) ++cursor_;
            records.erase(it);
            ++deletedById;
            return 0;
        }
        return kErrRecordNotFound;
    }
    int Flush() override {
        ++flushes;
        if (flushError != 0) return flushError;
        unflushed = 0;
        return 0;
    }
    int RecordCount() override { return static_cast<int>(records.size()); }
    bool IsNetworkDevice() const override { return false; }
    int MarkNewLock(int lockAddress) override {
        newLocks.push_back(lockAddress);
        return 0;
    }

    // The records of one lock, in queue order.
    std::vector<ProgramRecord> Of(int lockAddress) const {
        std::vector<ProgramRecord> out;
        for (const auto& [key, record] : records)
            if (record.LockAddress() == lockAddress) out.push_back(record);
        return out;
    }
    std::vector<int> CodesOf(int lockAddress) const {
        std::vector<int> codes;
        for (const auto& record : Of(lockAddress)) codes.push_back(record.Code());
        return codes;
    }
    // Marks every record delivered, as the device does once the lock answered.
    void DeliverAll() {
        for (auto& [key, record] : records) record.command |= 0x8000;
    }

    std::multimap<std::uint32_t, ProgramRecord> records;
    std::vector<int> newLocks;
    std::optional<int> failAppendAt;
    int appendError = 112;
    int appends = 0;
    int flushError = 0;
    int flushes = 0;
    int unflushed = 0;
    int deletedById = 0;
    std::uint32_t lastId = 0;

  private:
    std::multimap<std::uint32_t, ProgramRecord>::iterator cursor_ = records.end();
    std::multimap<std::uint32_t, ProgramRecord>::iterator last_ = records.end();
};

}  // namespace tandrel::testing
