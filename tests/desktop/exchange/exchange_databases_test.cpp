// Opening, closing and resetting the exchange's databases on a handheld and
// on a network device.
#include "desktop/exchange/network_transport.h"
#include "tests/desktop/exchange/handheld_fixture.h"

namespace tandrel::testing {
namespace {

std::vector<std::string> DatabaseNames(ce::Api& device) {
    std::vector<ce::Oid> oids;
    device.FindDatabases(0, oids);
    std::vector<std::string> names;
    for (ce::Oid oid : oids) {
        ce::ObjectInfo info;
        device.OidGetInfo(oid, info);
        names.push_back(info.database.name.toStdString());
    }
    return names;
}

TEST_F(HandheldTest, AHandheldWithoutDatabasesGetsAllFourCreated) {
    // SetUp opened the set on an empty store.
    EXPECT_EQ(DatabaseNames(device),
              (std::vector<std::string>{"TDXLDF", "TDXLMF", "TDXPGM", "TDXLAF"}));
    ce::ObjectInfo info;
    ASSERT_EQ(device.OidGetInfo(dbs.lmf.oid, info), 0u);
    EXPECT_EQ(info.database.type, kHandheldDatabaseType);
    EXPECT_EQ(info.database.sortOrders,
              (std::vector<ce::SortOrderSpec>{{0x00010012, 0}, {0x00020012, 0}}));
    EXPECT_EQ(dbs.lmfByPath.oid, dbs.lmf.oid);
    EXPECT_NE(dbs.lmfByPath.handle, dbs.lmf.handle);
    // Existing databases are opened as they are, with their record counts.
    CHandheldRecord pgm = Record(RecordKind::Programming);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(pgm.Write(true));
    transport.CloseDatabases(dbs);
    EXPECT_EQ(dbs.pgm.handle, 0u);
    device.calls.clear();
    ASSERT_EQ(transport.OpenDatabases(dbs), 0u);
    EXPECT_FALSE(Called("CreateDatabase TDXPGM"));
    EXPECT_EQ(dbs.pgm.recordCount, 3u);
    EXPECT_EQ(dbs.ldf.recordCount, 0u);
    EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "OidGetInfo"), 5);
}

TEST_F(HandheldTest, AFailedOpenStopsAndClosesWhatItOpened) {
    transport.CloseDatabases(dbs);
    device.calls.clear();
    device.callsBeforeLoss = 1;  // TDXLDF opens, TDXLMF's open fails
    EXPECT_EQ(transport.OpenDatabases(dbs), ce::kErrorConnectionLost);
    EXPECT_EQ(dbs.ldf.handle, 0u);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"OpenDatabase TDXLDF", "OpenDatabase TDXLMF",
                                                      "CloseHandle"}));
}

TEST_F(HandheldTest, ResettingEmptiesTheFourDatabases) {
    CHandheldRecord ldf = Record(RecordKind::Directory);
    ldf.SetUI2(LDF_DATA_OFFSET_KEY, 1);
    ASSERT_TRUE(ldf.Write(true));
    transport.CloseDatabases(dbs);
    ce::Oid los = 0;
    ASSERT_EQ(CreateHandheldDatabase(device, HandheldDatabase::TDXLOS, los), 0u);
    device.calls.clear();
    ASSERT_EQ(transport.ResetDatabases(), 0u);
    // TDXLOS belongs to the lock OS manager and stays.
    EXPECT_EQ(DatabaseNames(device),
              (std::vector<std::string>{"TDXLOS", "TDXLDF", "TDXLMF", "TDXPGM", "TDXLAF"}));
    EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "DeleteDatabase"), 4);
    ASSERT_EQ(transport.OpenDatabases(dbs), 0u);
    EXPECT_EQ(dbs.ldf.recordCount, 0u);
}

TEST(NetworkDatabases, HaveNoHandlesAndResetByRemovingEveryKind) {
    FakeLink link;
    NetworkTransport network(link);
    ExchangeDatabases dbs;
    dbs.pgm.recordCount = 5;
    ASSERT_EQ(network.OpenDatabases(dbs), 0u);
    EXPECT_EQ(dbs.pgm.handle, 0u);
    EXPECT_EQ(dbs.pgm.recordCount, 0u);
    EXPECT_TRUE(link.calls.empty());
    ASSERT_EQ(network.ResetDatabases(), 0u);
    EXPECT_EQ(link.calls, (std::vector<std::string>{"RemoveAll 5", "RemoveAll 3", "RemoveAll 1",
                                                    "RemoveAll 0", "RemoveAll 2", "RemoveAll 4"}));
    link.refuse = true;
    link.calls.clear();
    EXPECT_EQ(network.ResetDatabases(), NetworkTransport::kErrorRefused);
    EXPECT_EQ(link.calls.size(), 1u);
}

}  // namespace
}  // namespace tandrel::testing
