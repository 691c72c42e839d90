#include "tests/desktop/exchange/exchange_fixture.h"

#include "desktop/exchange/device_texts.h"
#include "desktop/exchange/exchange_texts.h"
#include "desktop/exchange/lock_info_collection.h"
#include "protocol/audit_block.h"
#include "protocol/packed_date.h"

namespace tandrel::testing {
namespace {

namespace texts = device_texts;

// Locations 2 "Building" below the root and 3 "East" below it.
class DeviceExchangeTest : public ExchangeTest {
  protected:
    void SetUp() override {
        ExchangeTest::SetUp();
        building = AddLocation("Building", 1);
        east = AddLocation("East", building);
    }
    int AddLocation(const QString& name, int parent) {
        CFacilityDirectoryRecordset paths(db());
        paths.AddNew();
        const int key = paths.m_DirectoryKey;
        paths.m_NodeName = name;
        paths.m_RootIndex = parent;
        paths.Update();
        return key;
    }
    int LockAt(int path, int device, int linkState, int pending = 0) {
        const int lock = AddLock(db(), 1, pending);
        SetLock(lock, QStringLiteral("\"Path Index\" = %1").arg(path));
        LinkLock(lock, device, linkState);
        return lock;
    }
    void WriteNode(int key, const QString& name, int parent) {
        WriteRecord(RecordKind::Directory, [&](CHandheldRecord& r) {
            r.SetUI2(LDF_DATA_OFFSET_KEY, static_cast<std::uint16_t>(key));
            r.SetString(LDF_DATA_OFFSET_NAME, name);
            r.SetUI2(LDF_DATA_OFFSET_PARENT, static_cast<std::uint16_t>(parent));
        });
    }
    void WriteLockRecord(int lock, const QString& name, std::uint16_t date = 0,
                         std::uint16_t time = 0, std::uint16_t volts = 0) {
        WriteRecord(RecordKind::EnrolledLock, [&](CHandheldRecord& r) {
            r.SetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS, static_cast<std::uint16_t>(lock));
            r.SetString(LMF_DATA_OFFSET_NAME, name);
            r.SetUI2(LMF_DATA_OFFSET_EXCHANGE_DATE, date);
            r.SetUI2(LMF_DATA_OFFSET_EXCHANGE_TIME, time);
            r.SetUI2(LMF_DATA_OFFSET_BATTERY_LEVEL, volts);
            r.SetUI2(LMF_DATA_OFFSET_HARDWARE_CLASS, 3);
            r.SetUI2(LMF_DATA_OFFSET_VERSION, 0x0205);
            r.SetUI4(LMF_DATA_OFFSET_DRIVE_COUNT, 1234);
            r.SetUI4(LMF_DATA_OFFSET_CARD_COUNT, 567);
        });
    }
    void QueueRecord(int lock, int sequence, std::uint16_t command) {
        WriteRecord(RecordKind::Programming, [&](CHandheldRecord& r) {
            r.SetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS,
                     static_cast<std::uint32_t>(lock) << 16 | static_cast<std::uint32_t>(sequence));
            r.SetUI2(PGM_DATA_OFFSET_COMMAND, command);
        });
    }
    std::map<int, std::pair<QString, int>> Nodes() {
        std::map<int, std::pair<QString, int>> nodes;
        for (const CHandheldRecord& r : Records(RecordKind::Directory)) {
            EXPECT_EQ(nodes.count(r.GetUI2(LDF_DATA_OFFSET_KEY)), 0u) << "node written twice";
            nodes[r.GetUI2(LDF_DATA_OFFSET_KEY)] = {r.GetString(LDF_DATA_OFFSET_NAME),
                                                    r.GetUI2(LDF_DATA_OFFSET_PARENT)};
        }
        return nodes;
    }
    std::map<int, CHandheldRecord> LockRecords() {
        std::map<int, CHandheldRecord> locks;
        for (const CHandheldRecord& r : Records(RecordKind::EnrolledLock))
            locks.emplace(r.GetUI2(LMF_DATA_OFFSET_LOCK_ADDRESS), r);
        return locks;
    }

    int building = 0, east = 0;
};

TEST_F(DeviceExchangeTest, AnUnenrolledOrUnreachableDeviceStops) {
    SetRegistry(CommCode(), 42);  // this facility, but no such row
    EXPECT_EQ(exchange->Exchange(true), 0);
    EXPECT_EQ(prompter.Shown().last(), texts::kNotEnrolled);
    EXPECT_FALSE(exchange->Connected());

    connector.reachable = false;
    EXPECT_EQ(exchange->Exchange(true), 0);
    EXPECT_EQ(prompter.Shown().last(), exchange_texts::kNoConnection);
}

TEST_F(DeviceExchangeTest, FirstExchangeHandsTheDeviceItsLocksAndTheirLocations) {
    const int key = EnrolledHandheld(2);
    const int inEast = LockAt(east, key, 2);
    const int atRoot = LockAt(1, key, 2);
    const int elsewhere = LockAt(building, 0, 0);
    WriteNode(1, "Old name", 0xFFFF);
    WriteNode(99, "Gone", 1);

    ASSERT_EQ(exchange->Exchange(true), key) << prompter.Shown().join("|").toStdString();

    const auto nodes = Nodes();
    EXPECT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes.at(1).first, "Acme");
    EXPECT_EQ(nodes.at(building), std::make_pair(QStringLiteral("Building"), 1));
    EXPECT_EQ(nodes.at(east), std::make_pair(QStringLiteral("East"), building));
    const auto locks = LockRecords();
    ASSERT_EQ(locks.size(), 2u);
    EXPECT_EQ(locks.at(inEast).GetUI2(LMF_DATA_OFFSET_PARENT), east);
    EXPECT_EQ(locks.at(inEast).GetString(LMF_DATA_OFFSET_NAME),
              QStringLiteral("Door %1").arg(inEast));
    EXPECT_EQ(locks.count(atRoot), 1u);
    EXPECT_EQ(locks.count(elsewhere), 0u);
    EXPECT_EQ(LockValue(inEast, "Device Link State"), 1);
    EXPECT_EQ(LockValue(atRoot, "Device Link State"), 1);
    EXPECT_EQ(DeviceValue(key, "Record State"), 1);
    EXPECT_EQ(TextOf(db(), "SELECT FerrowVersion FROM \"Handheld PCs\""), "2.10");
    EXPECT_TRUE(exchange->Connected());
}

TEST_F(DeviceExchangeTest, NodeOneIsRewrittenWhileUnchangedLocationsAreLeftAlone) {
    const int key = EnrolledHandheld(3);
    const int lock = LockAt(east, key, 1);
    WriteLockRecord(lock, "Door");
    WriteNode(1, "Old root", 0xFFFF);
    WriteNode(building, "Old building", 1);
    WriteNode(east, "Old east", building);

    ASSERT_EQ(exchange->Exchange(true), key);

    const auto nodes = Nodes();
    EXPECT_EQ(nodes.at(1).first, "Acme");
    EXPECT_EQ(nodes.at(building).first, "Old building");
    EXPECT_EQ(nodes.at(east).first, "Old east");
    EXPECT_EQ(LockRecords().at(lock).GetString(LMF_DATA_OFFSET_NAME), "Door");

    // A lock whose data changed refreshes its record and its whole path.
    Sql(db(), QStringLiteral("UPDATE \"Handheld PCs\" SET \"Record State\" = 3"));
    LinkLock(lock, key, 3);
    ASSERT_EQ(exchange->Exchange(true), key);
    EXPECT_EQ(Nodes().at(building).first, "Building");
    EXPECT_EQ(Nodes().at(east).first, "East");
    EXPECT_EQ(LockRecords().at(lock).GetString(LMF_DATA_OFFSET_NAME),
              QStringLiteral("Door %1").arg(lock));
}

TEST_F(DeviceExchangeTest, ALockTakenOffLosesItsUndeliveredRecordsAndWaitsForDownload) {
    const int key = EnrolledHandheld(3);
    const int leaving = LockAt(east, key, 4, 1);
    const int staying = LockAt(east, key, 1, 1);
    WriteLockRecord(leaving, "Leaving");
    WriteLockRecord(staying, "Staying");
    WriteLockRecord(999, "No longer in the facility");
    for (int sequence = 0; sequence < 3; ++sequence) {
        QueueRecord(leaving, sequence, 0x21);
        QueueRecord(staying, sequence, 0x21);
    }

    ASSERT_EQ(exchange->Exchange(true), key) << prompter.Shown().join("|").toStdString();

    EXPECT_EQ(LockValue(leaving, "Device Link"), 0);
    EXPECT_EQ(LockValue(leaving, "Device Link State"), 0);
    EXPECT_EQ(LockValue(leaving, "Pending Action Counter"), 2);
    const auto locks = LockRecords();
    EXPECT_EQ(locks.size(), 1u);
    EXPECT_EQ(locks.count(staying), 1u);
    std::vector<int> queued;
    for (const CHandheldRecord& r : Records(RecordKind::Programming))
        queued.push_back(static_cast<int>(r.GetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS) >> 16));
    EXPECT_EQ(queued, std::vector<int>({staying, staying, staying}));
    EXPECT_EQ(DeviceValue(key, "Record State"), 1);
}

TEST_F(DeviceExchangeTest, ADevicePendingRemovalIsCollectedFromAndThenRemoved) {
    const int key = EnrolledHandheld(4);
    const int lock = LockAt(east, key, 4, 1);
    const int slotUser = AddUser(db(), "111111", "");
    Enrol(db(), lock, slotUser, 1);
    QueueRecord(lock, 0, 0x8021);  // delivered
    protocol::AuditEvent entry;
    entry.type = protocol::kAuditEntry;
    entry.dateWord = protocol::PackDate(2026, 3, 1);
    entry.hour = 8;
    entry.minute = 15;
    entry.lockUserIndex = 2047;
    const protocol::Bytes block = protocol::EncodeAuditBlock(10, {entry, entry});
    WriteRecord(RecordKind::Audit, [&](CHandheldRecord& r) {
        r.SetUI2(0, static_cast<std::uint16_t>(lock));
        r.SetBlob(1, block.data(), static_cast<int>(block.size()));
    });

    EXPECT_EQ(exchange->Exchange(true), 0);

    EXPECT_EQ(exchange->RemovedDevice(), key);
    EXPECT_EQ(IntOf(db(), "SELECT count(*) FROM \"Audit Data\""), 2);
    EXPECT_EQ(IntOf(db(), "SELECT min(AuditKey) FROM \"Audit Data\""), 9);
    EXPECT_EQ(DeviceRows(), 0);
    EXPECT_EQ(LockValue(lock, "Device Link"), 0);
    EXPECT_EQ(LockValue(lock, "Device Link State"), 0);
    EXPECT_EQ(Registry().facility, 0u);
    EXPECT_EQ(Registry().identity, 0u);
    EXPECT_TRUE(Records(RecordKind::Audit).empty());
    EXPECT_TRUE(Records(RecordKind::Programming).empty());
    EXPECT_FALSE(exchange->Connected());
    EXPECT_TRUE(prompter.Shown().isEmpty()) << prompter.Shown().join("|").toStdString();
}

TEST_F(DeviceExchangeTest, ANetworkDeviceIsAlwaysCollectedFromAndKeepsItsRegistryOnRemoval) {
    const int key = AddDevice(4, 1);
    NetworkTransport network(link);
    DeviceIdentity identity{CommCode(), static_cast<std::uint32_t>(key), "3.0", {}};
    ASSERT_EQ(WriteIdentity(network, identity), 0u);
    link.calls.clear();
    exchange->ForDevice(key);

    EXPECT_EQ(exchange->Exchange(true), 0);

    // Every collection looked at the device although nothing was counted.
    auto sought = [&](int type) {
        return std::any_of(link.calls.begin(), link.calls.end(), [&](const std::string& call) {
            return call.rfind("Find", 0) == 0 &&
                   call.substr(call.size() - 2) == " " + std::to_string(type);
        });
    };
    EXPECT_TRUE(sought(2) && sought(0) && sought(3));
    EXPECT_EQ(DeviceRows(), 0);
    // Told it belongs nowhere, then emptied, registry included.
    const auto told = std::find(link.calls.begin(), link.calls.end(), "Update 4");
    ASSERT_NE(told, link.calls.end());
    EXPECT_NE(std::find(told, link.calls.end(), "RemoveAll 4"), link.calls.end());
    EXPECT_TRUE(link.Records(4).empty());
}

class LockInformationTest : public DeviceExchangeTest {
  protected:
    int Collect(const QDateTime& now) {
        ExchangeDatabases open;
        EXPECT_EQ(transport.OpenDatabases(open), 0u);
        const int error = CollectLockInformation(db(), transport, open, prompter, progress, now);
        transport.CloseDatabases(open);
        return error;
    }
};

TEST_F(LockInformationTest, OnlyNewerPlausibleExchangeDatesUpdateTheLock) {
    const QDateTime now(QDate(2026, 12, 8), QTime(10, 0));
    const int fresh = LockAt(east, 0, 0);
    const int ahead = LockAt(east, 0, 0);
    const int older = LockAt(east, 0, 0);
    const int broken = LockAt(east, 0, 0);
    SetLock(older, "\"Last Program Date\" = strftime('%s', '2026-12-07 12:00:00')");
    WriteLockRecord(fresh, "", protocol::PackDate(2026, 12, 7), protocol::PackTimeWord(9, 30, 1),
                    5900);
    WriteLockRecord(ahead, "", protocol::PackDate(2026, 12, 9), protocol::PackTimeWord(10, 1),
                    5900);
    WriteLockRecord(older, "", protocol::PackDate(2026, 12, 7), protocol::PackTimeWord(11, 59),
                    5900);
    WriteLockRecord(broken, "", protocol::PackDate(2026, 12, 7), protocol::PackTimeWord(25, 0),
                    5900);
    WriteLockRecord(555, "", protocol::PackDate(2026, 12, 7), 0, 5900);
    const qint64 volts = LockValue(ahead, "Supply Volts");

    ASSERT_EQ(Collect(now), 0);

    EXPECT_EQ(LockValue(fresh, "Supply Volts"), 5900);
    EXPECT_EQ(LockValue(fresh, "Hardware Class"), 3);
    EXPECT_EQ(LockValue(fresh, "Firmware Version"), 0x0205);
    EXPECT_EQ(LockValue(fresh, "Drive Usage Counter"), 1234);
    EXPECT_EQ(LockValue(fresh, "Card Swipe Counter"), 567);
    EXPECT_EQ(
        TextOf(db(),
               QStringLiteral(
                   "SELECT datetime(\"Last Program Date\", 'unixepoch') FROM Locks WHERE \"Lock "
                   "Key\" = %1")
                   .arg(fresh)),
        "2026-12-07 09:30:00");
    for (int ignored : {ahead, older, broken}) {
        EXPECT_EQ(LockValue(ignored, "Supply Volts"), volts) << ignored;
        EXPECT_EQ(LockValue(ignored, "Drive Usage Counter"), 0) << ignored;
    }
    EXPECT_EQ(progress.texts.last(), texts::kCollectingLockInfo);
}

TEST_F(LockInformationTest, ADatabaseErrorIsShownAndEndsTheCollection) {
    const int lock = LockAt(east, 0, 0);
    WriteLockRecord(lock, "", protocol::PackDate(2026, 12, 7), protocol::PackTimeWord(9, 30));
    FailUpdatesOf(db(), "Locks", "1");
    const int error = Collect(QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
    EXPECT_NE(error, 0);
    EXPECT_EQ(prompter.Shown().size(), 1);
    EXPECT_EQ(LockValue(lock, "Drive Usage Counter"), 0);
}

}  // namespace
}  // namespace tandrel::testing
