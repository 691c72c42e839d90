#pragma once

#include <functional>
#include <optional>

#include "desktop/exchange/data_exchange.h"
#include "desktop/exchange/device_identity.h"
#include "desktop/exchange/handheld_record.h"
#include "desktop/exchange/handheld_transport.h"
#include "desktop/exchange/network_transport.h"
#include "tests/desktop/exchange/fake_devices.h"
#include "tests/desktop/exchange/programming_fixture.h"

namespace tandrel::testing {

// A handheld store reached through a recording device; the partnership is
// whatever the test sets.
class StoreDevice : public ConnectedDevice {
  public:
    StoreDevice(RecordingDevice& device, std::optional<ce::Partnership> partnership)
        : device_(device), transport_(device), partnership_(std::move(partnership)) {}
    bool IsNetwork() const override { return false; }
    RecordTransport& Transport() override { return transport_; }
    ce::Api* Handheld() override { return &device_; }
    bool ReadPartnership(ce::Partnership& partnership) override {
        if (!partnership_) return false;
        partnership = *partnership_;
        return true;
    }

  private:
    RecordingDevice& device_;
    HandheldTransport transport_;
    std::optional<ce::Partnership> partnership_;
};

class LinkDevice : public ConnectedDevice {
  public:
    explicit LinkDevice(FakeLink& link) : transport_(link) {}
    bool IsNetwork() const override { return true; }
    RecordTransport& Transport() override { return transport_; }
    ce::Api* Handheld() override { return nullptr; }
    bool ReadPartnership(ce::Partnership&) override { return false; }

  private:
    NetworkTransport transport_;
};

// Hands out the test's handheld or network device, or nothing.
class TestConnector : public DeviceConnector {
  public:
    TestConnector(RecordingDevice& handheld, FakeLink& link) : handheld_(handheld), link_(link) {}
    std::unique_ptr<ConnectedDevice> Connect(const DeviceTarget& target, Prompter&) override {
        ++connects;
        if (!reachable) return nullptr;
        if (target.network) return std::make_unique<LinkDevice>(link_);
        return std::make_unique<StoreDevice>(handheld_, partnership);
    }
    bool reachable = true;
    std::optional<ce::Partnership> partnership = ce::Partnership{"Scanner 7", "Night shift"};
    int connects = 0;

  private:
    RecordingDevice& handheld_;
    FakeLink& link_;
};

// A facility and a handheld store that an exchange reaches.
class ExchangeTest : public ProgrammingTest {
  protected:
    void SetUp() override {
        ProgrammingTest::SetUp();
        std::uint32_t error = 0;
        handheldStore = ce::ObjectStore::Open(dir.Path("handheld.store"), error, true);
        ASSERT_EQ(error, 0u);
        device.SetInner(*handheldStore);
        exchange = std::make_unique<DataExchange>(db(), connector, prompter);
        ASSERT_EQ(transport.ResetDatabases(), 0u);
    }

    std::uint32_t CommCode() {
        return static_cast<std::uint32_t>(IntOf(db(), "SELECT CommCode FROM FacilityProperties"));
    }
    // What the handheld's registry says.
    DeviceIdentity Registry() {
        DeviceIdentity identity;
        EXPECT_EQ(ReadIdentity(transport, identity), 0u);
        return identity;
    }
    void SetRegistry(std::uint32_t facility, std::uint32_t identity) {
        DeviceIdentity values = Registry();
        values.facility = facility;
        values.identity = identity;
        values.version = QStringLiteral("2.10");
        ASSERT_EQ(WriteIdentity(transport, values), 0u);
    }
    // A device row; returns its key.
    int AddDevice(int recordState, int mobileType = 0) {
        CMobileDevicesRecordset devices(db());
        devices.AddNew();
        const int key = devices.m_HPCKey;
        devices.m_Name = QStringLiteral("Device %1").arg(key);
        devices.m_RecordState = static_cast<std::uint8_t>(recordState);
        devices.m_MobileType = mobileType;
        devices.Update();
        return key;
    }
    // A handheld of this facility enrolled as a new device row.
    int EnrolledHandheld(int recordState = 1) {
        const int key = AddDevice(recordState);
        SetRegistry(CommCode(), static_cast<std::uint32_t>(key));
        return key;
    }
    void LinkLock(int lock, int device, int state) {
        SetLock(lock, QStringLiteral("\"Device Link\" = %1, \"Device Link State\" = %2")
                          .arg(device)
                          .arg(state));
    }
    qint64 DeviceValue(int device, const QString& column) {
        return IntOf(db(), QStringLiteral("SELECT \"%1\" FROM \"Handheld PCs\" WHERE \"HPC Key\" "
                                          "= %2")
                               .arg(column)
                               .arg(device));
    }
    int DeviceRows() {
        return static_cast<int>(IntOf(db(), "SELECT count(*) FROM \"Handheld PCs\""));
    }

    // Records of a handheld database, each as its properties.
    std::vector<CHandheldRecord> Records(RecordKind kind) {
        ExchangeDatabases open;
        EXPECT_EQ(transport.OpenDatabases(open), 0u);
        std::vector<CHandheldRecord> records;
        CHandheldRecord record(kind, transport, open.HandleFor(kind));
        if (record.Seek(0)) {
            while (record.Read()) records.push_back(record);
        }
        transport.CloseDatabases(open);
        return records;
    }
    void WriteRecord(RecordKind kind, const std::function<void(CHandheldRecord&)>& fill) {
        ExchangeDatabases open;
        ASSERT_EQ(transport.OpenDatabases(open), 0u);
        CHandheldRecord record(kind, transport, open.HandleFor(kind));
        fill(record);
        EXPECT_TRUE(record.Write(true));
        transport.CloseDatabases(open);
    }

    std::unique_ptr<ce::ObjectStore> handheldStore;
    RecordingDevice device;
    HandheldTransport transport{device};
    FakeLink link;
    TestConnector connector{device, link};
    std::unique_ptr<DataExchange> exchange;
};

}  // namespace tandrel::testing
