// The device registry kind on a handheld: the data link key's four values,
// the buffers they are read into and the order they are written in.
#include "desktop/exchange/device_registry.h"
#include "tests/desktop/exchange/handheld_fixture.h"

namespace tandrel::testing {
namespace {

class DeviceRegistryTest : public HandheldTest {
  protected:
    CHandheldRecord Filled() {
        CHandheldRecord reg = Record(RecordKind::DeviceRegistry);
        reg.SetUI4(REG_DATA_OFFSET_FACILITY, 0x12345678);
        reg.SetString(REG_DATA_OFFSET_VERSION, "1.08");
        reg.SetUI4(REG_DATA_OFFSET_IDENTITY, 17);
        reg.SetString(REG_DATA_OFFSET_VERSION_LOS, "2.05");
        return reg;
    }
    QByteArray Raw(const char* name) {
        ce::HKey key = 0;
        store->RegOpenKeyEx(ce::HKEY_LOCAL_MACHINE, kDataLinkKey, key);
        std::uint32_t type = 0;
        QByteArray data;
        store->RegQueryValueEx(key, name, type, data, 1024);
        store->RegCloseKey(key);
        return data;
    }
};

TEST_F(DeviceRegistryTest, ANewHandheldReadsNothingEnrolled) {
    CHandheldRecord reg = Filled();
    EXPECT_TRUE(reg.Seek(0));
    ASSERT_TRUE(reg.Read());
    EXPECT_EQ(reg.GetUI4(REG_DATA_OFFSET_FACILITY), 0u);
    EXPECT_EQ(reg.GetString(REG_DATA_OFFSET_VERSION), "");
    EXPECT_EQ(reg.GetUI4(REG_DATA_OFFSET_IDENTITY), 0u);
    EXPECT_EQ(reg.GetString(REG_DATA_OFFSET_VERSION_LOS), "");
    EXPECT_EQ(device.calls,
              (std::vector<std::string>{"RegCreateKeyEx", "RegQueryValueEx Version 62",
                                        "RegQueryValueEx Facility 4", "RegQueryValueEx Identity 4",
                                        "RegCloseKey", "RegOpenKeyEx",
                                        "RegQueryValueEx VerLockOS 62", "RegCloseKey"}));
    EXPECT_FALSE(reg.Delete());
}

TEST_F(DeviceRegistryTest, WritesTheFourValuesInOrderAndReadsThemBack) {
    CHandheldRecord reg = Filled();
    ASSERT_TRUE(reg.Write(true));
    EXPECT_EQ(device.calls,
              (std::vector<std::string>{"RegCreateKeyEx", "RegSetValueEx Version",
                                        "RegSetValueEx Facility", "RegSetValueEx Identity",
                                        "RegSetValueEx VerLockOS", "RegCloseKey"}));
    // Texts are stored without their terminator.
    EXPECT_EQ(Raw("Version"), QByteArray("1\0.\0000\0008\0", 8));
    EXPECT_EQ(Raw("Facility"), QByteArray("\x78\x56\x34\x12", 4));
    CHandheldRecord back = Record(RecordKind::DeviceRegistry);
    ASSERT_TRUE(back.Read());
    EXPECT_EQ(back.GetUI4(REG_DATA_OFFSET_FACILITY), 0x12345678u);
    EXPECT_EQ(back.GetString(REG_DATA_OFFSET_VERSION), "1.08");
    EXPECT_EQ(back.GetUI4(REG_DATA_OFFSET_IDENTITY), 17u);
    EXPECT_EQ(back.GetString(REG_DATA_OFFSET_VERSION_LOS), "2.05");
}

TEST_F(DeviceRegistryTest, TheFirstFailingSetEndsTheWrite) {
    ASSERT_TRUE(Filled().Write(true));
    CHandheldRecord reg = Filled();
    reg.SetString(REG_DATA_OFFSET_VERSION, "1.09");
    reg.SetUI4(REG_DATA_OFFSET_IDENTITY, 99);
    device.failSet = "Facility";
    device.calls.clear();
    EXPECT_FALSE(reg.Write(true));
    EXPECT_EQ(reg.LastError(), ce::ERROR_DISK_FULL);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"RegCreateKeyEx", "RegSetValueEx Version",
                                                      "RegSetValueEx Facility", "RegCloseKey"}));
    CHandheldRecord back = Record(RecordKind::DeviceRegistry);
    ASSERT_TRUE(back.Read());
    EXPECT_EQ(back.GetString(REG_DATA_OFFSET_VERSION), "1.09");
    EXPECT_EQ(back.GetUI4(REG_DATA_OFFSET_IDENTITY), 17u);
}

TEST_F(DeviceRegistryTest, TextsLongerThanTheirBufferReadEmpty) {
    CHandheldRecord reg = Filled();
    reg.SetString(REG_DATA_OFFSET_VERSION, QString(30, 'v'));
    reg.SetString(REG_DATA_OFFSET_VERSION_LOS, QString(31, 'w'));
    ASSERT_TRUE(reg.Write(true));
    CHandheldRecord back = Record(RecordKind::DeviceRegistry);
    ASSERT_TRUE(back.Read());
    EXPECT_EQ(back.GetString(REG_DATA_OFFSET_VERSION), QString(30, 'v'));
    EXPECT_EQ(back.GetString(REG_DATA_OFFSET_VERSION_LOS), "");
    // A lost link leaves the record as it was.
    device.callsBeforeLoss = 2;
    back.SetUI4(REG_DATA_OFFSET_IDENTITY, 5);
    EXPECT_FALSE(back.Read());
    EXPECT_EQ(back.LastError(), ce::kErrorConnectionLost);
    EXPECT_EQ(back.GetUI4(REG_DATA_OFFSET_IDENTITY), 5u);
}

}  // namespace
}  // namespace tandrel::testing
