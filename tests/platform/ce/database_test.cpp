// Databases of the object store: creation rules, opening, information,
// deletion under open handles.
#include "tests/platform/ce/store_fixture.h"

namespace ce::testing {
namespace {

TEST_F(StoreTest, CreationRefusesWhatTheStoreCannotKeep) {
    Oid oid = 0;
    EXPECT_EQ(store->CreateDatabase("TDXLMF", 1, {{kKey1, 0}, {kKey2, 0}}, oid), 0u);
    EXPECT_NE(oid, 0u);
    EXPECT_EQ(store->CreateDatabase("tdxlmf", 1, {}, oid), ERROR_DUP_NAME);
    EXPECT_EQ(store->CreateDatabase("", 1, {}, oid), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(store->CreateDatabase(QString(32, 'x'), 1, {}, oid), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(store->CreateDatabase(QString(31, 'x'), 1, {}, oid), 0u);
    std::vector<SortOrderSpec> five(5);
    for (int i = 0; i < 5; ++i) five[i] = {MakePropId(i + 1, CEVT_UI2), 0};
    EXPECT_EQ(store->CreateDatabase("Five", 1, five, oid), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(store->CreateDatabase("Blob", 1, {{0x00010041, 0}}, oid), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(store->CreateDatabase("Twice", 1, {{kKey1, 0}, {kKey1, 0}}, oid),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(store->CreateDatabase("Desc", 1, {{kKey1, 1}}, oid), ERROR_INVALID_PARAMETER);
}

TEST_F(StoreTest, OpensByNameOrIdWithOneOfItsSortOrders) {
    Oid lmf = 0;
    Create("TDXLMF", {{kKey1, 0}, {kKey2, 0}}, &lmf);
    Oid oid = 0;
    Handle handle = 0;
    EXPECT_EQ(store->OpenDatabase(oid, "TDXPGM", 0, 0, handle), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(store->OpenDatabase(oid, "tdxlmf", kKey2, 0, handle), 0u);
    EXPECT_EQ(oid, lmf);
    Oid byId = lmf;
    EXPECT_EQ(store->OpenDatabase(byId, {}, 0x00030012, 0, handle), ERROR_INVALID_PARAMETER);
    Oid missing = lmf + 100;
    EXPECT_EQ(store->OpenDatabase(missing, {}, 0, 0, handle), ERROR_FILE_NOT_FOUND);
}

TEST_F(StoreTest, InformationCountsRecordsAndListsInCreationOrder) {
    Oid pgm = 0, ldf = 0;
    Handle h = Create("TDXPGM", {{0x00010013, 0}}, &pgm);
    Create("TDXLDF", {{kKey1, 0}}, &ldf);
    Oid other = 0;
    ASSERT_EQ(store->CreateDatabase("Other", 7, {}, other), 0u);
    for (std::uint32_t k = 0; k < 3; ++k) Write(h, {PropVal::UI4(1, k), PropVal::UI2(2, 1)});
    ObjectInfo info;
    ASSERT_EQ(store->OidGetInfo(pgm, info), 0u);
    EXPECT_EQ(info.objType, OBJTYPE_DATABASE);
    EXPECT_EQ(info.database.name, "TDXPGM");
    EXPECT_EQ(info.database.type, 0x04746478u);
    EXPECT_EQ(info.database.recordCount, 3u);
    EXPECT_EQ(info.database.sortOrders, (std::vector<SortOrderSpec>{{0x00010013, 0}}));
    EXPECT_EQ(store->OidGetInfo(other + 1, info), ERROR_FILE_NOT_FOUND);
    std::vector<Oid> oids;
    ASSERT_EQ(store->FindDatabases(0, oids), 0u);
    EXPECT_EQ(oids, (std::vector<Oid>{pgm, ldf, other}));
    ASSERT_EQ(store->FindDatabases(7, oids), 0u);
    EXPECT_EQ(oids, std::vector<Oid>{other});
}

TEST_F(StoreTest, DeletingADatabaseLeavesItsOpenHandlesDead) {
    Oid oid = 0;
    Handle first = Create("TDXPGM", {{0x00010013, 0}}, &oid);
    Handle second = 0;
    Oid again = oid;
    ASSERT_EQ(store->OpenDatabase(again, {}, 0, 0, second), 0u);
    Write(first, {PropVal::UI4(1, 1)});
    ASSERT_EQ(store->CloseHandle(second), 0u);
    EXPECT_EQ(store->CloseHandle(second), ERROR_INVALID_HANDLE);
    ASSERT_EQ(store->DeleteDatabase(oid), 0u);
    EXPECT_EQ(store->DeleteDatabase(oid), ERROR_FILE_NOT_FOUND);
    Record props;
    Oid read = 0;
    EXPECT_EQ(store->ReadRecordProps(first, props, read), ERROR_KEY_DELETED);
    EXPECT_EQ(store->WriteRecordProps(first, 0, {PropVal::UI4(1, 2)}, read), ERROR_KEY_DELETED);
    EXPECT_EQ(store->CloseHandle(first), 0u);
    // A database of the same name starts empty, with new object ids.
    Oid fresh = 0;
    Handle h = Create("TDXPGM", {{0x00010013, 0}}, &fresh);
    EXPECT_NE(fresh, oid);
    EXPECT_TRUE(ReadTags(h).empty());
}

}  // namespace
}  // namespace ce::testing
