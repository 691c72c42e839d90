#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/ce/object_store.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace ce::testing {

inline constexpr PropId kKey1 = 0x00010012;  // property 1, CEVT_UI2
inline constexpr PropId kKey2 = 0x00020012;

// A fresh store file per test.
class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override { store = Reopen(); }
    std::unique_ptr<ObjectStore> Reopen() {
        store.reset();
        std::uint32_t error = 0;
        auto opened = ObjectStore::Open(path, error, true);
        EXPECT_EQ(error, 0u);
        return opened;
    }
    // A database with the given sort orders, opened on the first.
    Handle Create(const QString& name, std::vector<SortOrderSpec> sorts, Oid* oid = nullptr) {
        Oid created = 0;
        EXPECT_EQ(store->CreateDatabase(name, 0x04746478, sorts, created), 0u);
        if (oid) *oid = created;
        Handle handle = 0;
        EXPECT_EQ(store->OpenDatabase(created, {}, 0, CEDB_AUTOINCREMENT, handle), 0u);
        return handle;
    }
    Oid Write(Handle handle, const Record& props) {
        Oid oid = 0;
        EXPECT_EQ(store->WriteRecordProps(handle, 0, props, oid), 0u);
        return oid;
    }
    // Property 2 (CEVT_UI2) of every record from the position on.
    std::vector<std::uint32_t> ReadTags(Handle handle) {
        std::vector<std::uint32_t> tags;
        Record props;
        Oid oid = 0;
        while (store->ReadRecordProps(handle, props, oid) == 0) {
            for (const PropVal& p : props) {
                if (NumberOf(p.id) == 2) tags.push_back(p.number);
            }
        }
        return tags;
    }

    TempDir dir;
    QString path = dir.Path("handheld.store");
    std::unique_ptr<ObjectStore> store;
};

}  // namespace ce::testing
