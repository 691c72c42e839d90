#include "desktop/exchange/program_store.h"

namespace tandrel {

int DeleteLockRecords(ProgramStore& store, int lockAddress, int* deleted) {
    int count = 0;
    if (deleted == nullptr) deleted = &count;
    *deleted = 0;
    const int sought = store.SeekAtLeast(static_cast<std::uint32_t>(lockAddress) << 16);
    if (sought == kErrRecordNotFound) return 0;
    if (sought != 0) return sought;
    ProgramRecord record;
    for (;;) {
        const int error = store.ReadNext(record);
        if (error == kErrNoMoreItems) return 0;
        if (error != 0) return error;
        if (record.LockAddress() != lockAddress) return 0;
        if (int error = store.DeleteLastRead()) return error;
        ++*deleted;
    }
}

int HoldsLockRecords(ProgramStore& store, int lockAddress, bool& holds) {
    holds = false;
    const int sought = store.SeekAtLeast(static_cast<std::uint32_t>(lockAddress) << 16);
    if (sought == kErrRecordNotFound) return 0;
    if (sought != 0) return sought;
    ProgramRecord record;
    const int error = store.ReadNext(record);
    if (error == kErrNoMoreItems) return 0;
    if (error != 0) return error;
    holds = record.LockAddress() == lockAddress;
    return 0;
}

}  // namespace tandrel
