// The Lock OS Manager: enrolment check, the installed version, and the
// version bookkeeping in the device registry around Install and Remove.
#include "desktop/exchange/lock_os_manager.h"
#include "desktop/exchange/device_registry.h"
#include "desktop/exchange/exchange_errors.h"
#include "desktop/exchange/lock_os_texts.h"
#include "desktop/exchange/network_transport.h"
#include "desktop/exchange/record_variant.h"
#include "tests/desktop/exchange/lock_os_fixture.h"

namespace tandrel::testing {
namespace {

namespace texts = lock_os_texts;

constexpr std::int32_t kCommCode = 0x2468ACE;

class LockOsManagerTest : public LockOsTest {
  protected:
    void SetUp() override {
        LockOsTest::SetUp();
        Enrol(kCommCode, "");
    }
    void Enrol(std::uint32_t facility, const QString& versionLos) {
        CHandheldRecord reg(RecordKind::DeviceRegistry, transport);
        reg.SetUI4(REG_DATA_OFFSET_FACILITY, facility);
        reg.SetString(REG_DATA_OFFSET_VERSION, "1.08");
        reg.SetUI4(REG_DATA_OFFSET_IDENTITY, 5);
        reg.SetString(REG_DATA_OFFSET_VERSION_LOS, versionLos);
        ASSERT_EQ(WriteDeviceRegistry(*store, reg), 0u);
    }
    CHandheldRecord Registry() {
        CHandheldRecord reg(RecordKind::DeviceRegistry, transport);
        EXPECT_EQ(ReadDeviceRegistry(*store, reg), 0u);
        return reg;
    }
    QString VerLockOS() { return Registry().GetString(REG_DATA_OFFSET_VERSION_LOS); }
    // A manager opened on the enrolled handheld with 3.05 installed.
    CLockOsManager& Installed() {
        EXPECT_TRUE(manager.Open());
        EXPECT_TRUE(manager.Install(MakeFile(Image(2), "installed.los")));
        prompter.messages.clear();
        return manager;
    }

    CLockOsManager manager{LockOsDevice::Handheld(transport), kCommCode, prompter};
};

TEST_F(LockOsManagerTest, OpensOnlyADeviceOfThisFacilityAndTellsItsVersion) {
    ASSERT_TRUE(manager.Open());
    EXPECT_EQ(manager.InstalledText(),
              "There is currently no QUANDRIX OS installed on the connected device");
    Enrol(kCommCode, "2.01");
    ASSERT_TRUE(manager.Open());
    EXPECT_EQ(manager.InstalledText(),
              "QUANDRIX OS version 2.01 is currently installed on the connected device");

    Enrol(kCommCode + 1, "2.01");
    EXPECT_FALSE(manager.Open());
    EXPECT_EQ(prompter.messages.back(), std::make_pair(texts::kNotEnrolled, PromptIcon::Stop));
    // Facility 0 is no facility, even one whose own code is 0.
    Enrol(0, "");
    CLockOsManager zero(LockOsDevice::Handheld(transport), 0, prompter);
    EXPECT_FALSE(zero.Open());
    EXPECT_EQ(prompter.messages.back().first, texts::kNotEnrolled);
}

TEST_F(LockOsManagerTest, InstallRecordsTheVersionAndKeepsTheOtherValues) {
    ASSERT_TRUE(manager.Open());
    ASSERT_TRUE(manager.Install(MakeFile(Image(1))));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0],
              std::make_pair(QString("QUANDRIX OS Version 3.05 Installed Successfully"),
                             PromptIcon::Information));
    EXPECT_EQ(manager.InstalledVersion(), "3.05");
    const CHandheldRecord reg = Registry();
    EXPECT_EQ(reg.GetString(REG_DATA_OFFSET_VERSION_LOS), "3.05");
    EXPECT_EQ(reg.GetUI4(REG_DATA_OFFSET_FACILITY), static_cast<std::uint32_t>(kCommCode));
    EXPECT_EQ(reg.GetString(REG_DATA_OFFSET_VERSION), "1.08");
    EXPECT_EQ(reg.GetUI4(REG_DATA_OFFSET_IDENTITY), 5u);
}

TEST_F(LockOsManagerTest, EmptyFileLeavesNoOsAndNoVersion) {
    Installed();
    EXPECT_FALSE(manager.Install(MakeFile({}, "empty.los")));
    EXPECT_EQ(prompter.messages.front().first, texts::kFileEmpty);
    EXPECT_FALSE(LosRecords()) << "removed after the failure";
    EXPECT_EQ(VerLockOS(), "");
    EXPECT_EQ(manager.InstalledVersion(), "");
}

TEST_F(LockOsManagerTest, FileThatCannotBeOpenedKeepsTheInstalledOs) {
    Installed();
    EXPECT_FALSE(manager.Install(dir.Path("missing.los")));
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(LosRecords()->size(), 3u);
    EXPECT_EQ(VerLockOS(), "3.05");
}

TEST_F(LockOsManagerTest, FailingToRecordTheVersionIsAFailure) {
    ASSERT_TRUE(manager.Open());
    device.failSet = "VerLockOS";
    EXPECT_FALSE(manager.Install(MakeFile(Image(1))));
    EXPECT_EQ(prompter.messages.back(),
              std::make_pair(ExchangeErrorText(ce::ERROR_DISK_FULL), PromptIcon::Stop));
}

TEST_F(LockOsManagerTest, RemoveAsksAndThenClearsTheVersion) {
    Installed();
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(manager.Remove());
    ASSERT_EQ(prompter.questions.size(), 1u);
    const auto& q = prompter.questions[0];
    EXPECT_EQ(q.text, "Remove Lock OS version 3.05 from this device?");
    EXPECT_EQ(q.buttons, PromptButtons::YesNo);
    EXPECT_EQ(q.defaultAnswer, PromptAnswer::No);
    EXPECT_EQ(q.icon, PromptIcon::Question);
    EXPECT_EQ(VerLockOS(), "3.05");
    EXPECT_TRUE(LosRecords());

    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(manager.Remove());
    EXPECT_FALSE(LosRecords());
    EXPECT_EQ(VerLockOS(), "");
    EXPECT_TRUE(prompter.AllAnswersUsed());
}

TEST_F(LockOsManagerTest, FailedRemoveSaysItCannotContinue) {
    Installed();
    device.callsBeforeLoss = 0;
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_FALSE(manager.Remove());
    EXPECT_EQ(prompter.messages.back(), std::make_pair(texts::kRemoveFailed, PromptIcon::Stop));
    device.callsBeforeLoss = -1;
    EXPECT_EQ(VerLockOS(), "3.05");
}

TEST(LockOsManagerNetwork, RecordsTheVersionInTheDevicesRegistryRecord) {
    TempDir dir;
    FakeLink link;
    NetworkTransport transport(link);
    CHandheldRecord reg(RecordKind::DeviceRegistry, transport);
    reg.SetUI4(REG_DATA_OFFSET_FACILITY, kCommCode);
    reg.SetUI4(REG_DATA_OFFSET_IDENTITY, 9);
    ASSERT_TRUE(reg.Write(true));
    const QString file = dir.Path("os.los");
    CreateLockOsFile(file, Image(2));

    RecordingPrompter prompter;
    CLockOsManager manager(LockOsDevice::Network(transport), kCommCode, prompter);
    ASSERT_TRUE(manager.Open());
    ASSERT_TRUE(manager.Install(file));
    ASSERT_EQ(link.Records(4).size(), 1u);
    ASSERT_TRUE(RecordFromVariant(link.Records(4)[0], reg));
    EXPECT_EQ(reg.GetString(REG_DATA_OFFSET_VERSION_LOS), "3.05");
    EXPECT_EQ(reg.GetUI4(REG_DATA_OFFSET_IDENTITY), 9u);
    EXPECT_EQ(link.Records(5).size(), 1u);

    // A device without a registry record is enrolled nowhere.
    FakeLink empty;
    NetworkTransport emptyTransport(empty);
    CLockOsManager none(LockOsDevice::Network(emptyTransport), kCommCode, prompter);
    EXPECT_FALSE(none.Open());
    EXPECT_EQ(prompter.messages.back().first, texts::kNotEnrolled);
}

}  // namespace
}  // namespace tandrel::testing
