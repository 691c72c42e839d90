#pragma once

#include <atomic>
#include <cstring>

#include "platform/dao/sqlite.h"

// A SQLite file system over the default one that counts the writes,
// truncations and syncs of every file the engine touches (databases,
// journals, temporary files, handheld stores) and can make the Nth of them
// fail with SQLITE_FULL, as a full disk does. Counting a clean run first
// and then failing each write in turn reaches every point where a full disk
// can stop an operation. Syncs that do not fail are not passed on: the
// files of a test need not outlive a power cut, and flushing is what made
// such runs slow.
class FailingVfs {
  public:
    // Registers it as the default file system, once per process.
    static FailingVfs& Install() {
        static FailingVfs vfs;
        return vfs;
    }

    // From now on, count afresh and fail the `n`th write (0: none).
    void FailAt(long n) {
        failAt_ = n;
        count_ = 0;
        failed_ = false;
    }
    long Count() const { return count_; }
    bool Failed() const { return failed_; }

  private:
    struct File {
        sqlite3_file base;
        sqlite3_file* real;
    };

    FailingVfs() {
        real_ = sqlite3_vfs_find(nullptr);
        vfs_ = *real_;
        vfs_.zName = "failing";
        vfs_.szOsFile = static_cast<int>(sizeof(File)) + real_->szOsFile;
        vfs_.pAppData = this;
        vfs_.xOpen = &Open;
        vfs_.xDelete = [](sqlite3_vfs* v, const char* name, int sync) {
            return Self(v).real_->xDelete(Self(v).real_, name, sync);
        };
        vfs_.xAccess = [](sqlite3_vfs* v, const char* name, int flags, int* out) {
            return Self(v).real_->xAccess(Self(v).real_, name, flags, out);
        };
        vfs_.xFullPathname = [](sqlite3_vfs* v, const char* name, int size, char* out) {
            return Self(v).real_->xFullPathname(Self(v).real_, name, size, out);
        };
        sqlite3_vfs_register(&vfs_, 1);
    }

    static FailingVfs& Self(sqlite3_vfs* v) { return *static_cast<FailingVfs*>(v->pAppData); }
    static FailingVfs& Instance() { return Install(); }
    static sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<File*>(f)->real; }

    // Whether this write is the one to fail.
    bool Hit() {
        long n = ++count_;
        if (failAt_ == 0 || n != failAt_) return false;
        failed_ = true;
        return true;
    }

    static int Open(sqlite3_vfs* v, const char* name, sqlite3_file* file, int flags, int* out) {
        File* f = reinterpret_cast<File*>(file);
        f->real = reinterpret_cast<sqlite3_file*>(f + 1);
        int rc = Self(v).real_->xOpen(Self(v).real_, name, f->real, flags, out);
        f->base.pMethods = f->real->pMethods ? &kMethods : nullptr;
        return rc;
    }

    static constexpr sqlite3_io_methods kMethods = {
        3,
        [](sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); },
        [](sqlite3_file* f, void* buffer, int size, sqlite3_int64 at) {
            return Real(f)->pMethods->xRead(Real(f), buffer, size, at);
        },
        [](sqlite3_file* f, const void* buffer, int size, sqlite3_int64 at) {
            if (Instance().Hit()) return SQLITE_FULL;
            return Real(f)->pMethods->xWrite(Real(f), buffer, size, at);
        },
        [](sqlite3_file* f, sqlite3_int64 size) {
            if (Instance().Hit()) return SQLITE_FULL;
            return Real(f)->pMethods->xTruncate(Real(f), size);
        },
        [](sqlite3_file*, int) { return Instance().Hit() ? SQLITE_FULL : SQLITE_OK; },
        [](sqlite3_file* f, sqlite3_int64* size) {
            return Real(f)->pMethods->xFileSize(Real(f), size);
        },
        [](sqlite3_file* f, int lock) { return Real(f)->pMethods->xLock(Real(f), lock); },
        [](sqlite3_file* f, int lock) { return Real(f)->pMethods->xUnlock(Real(f), lock); },
        [](sqlite3_file* f, int* out) {
            return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
        },
        [](sqlite3_file* f, int op, void* arg) {
            return Real(f)->pMethods->xFileControl(Real(f), op, arg);
        },
        [](sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); },
        [](sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); },
        [](sqlite3_file* f, int page, int size, int extend, void volatile** out) {
            return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
        },
        [](sqlite3_file* f, int offset, int n, int flags) {
            return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
        },
        [](sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); },
        [](sqlite3_file* f, int deleteFlag) {
            return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag);
        },
        [](sqlite3_file* f, sqlite3_int64 at, int size, void** out) {
            return Real(f)->pMethods->xFetch(Real(f), at, size, out);
        },
        [](sqlite3_file* f, sqlite3_int64 at, void* page) {
            return Real(f)->pMethods->xUnfetch(Real(f), at, page);
        },
    };

    sqlite3_vfs* real_;
    sqlite3_vfs vfs_;
    std::atomic<long> failAt_{0};
    std::atomic<long> count_{0};
    std::atomic<bool> failed_{false};
};
