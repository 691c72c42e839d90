#include "tests/desktop/exchange/exchange_fixture.h"

#include "desktop/exchange/device_list.h"
#include "desktop/exchange/device_properties.h"
#include "desktop/exchange/device_texts.h"
#include "desktop/exchange/exchange_dialog_model.h"
#include "desktop/exchange/exchange_errors.h"

namespace tandrel::testing {
namespace {

namespace texts = device_texts;

using DeviceListTest = ExchangeTest;

TEST_F(DeviceListTest, StatusIsTheWorstOfItsLocksAndItsOwnState) {
    const int device = AddDevice(1);
    EXPECT_EQ(DeviceStatusText(DeviceStatus(db(), device)), "Current");
    const int lock = AddLock(db(), 1, 0);
    LinkLock(lock, device, 3);
    EXPECT_EQ(DeviceStatusText(DeviceStatus(db(), device)), "Pending Update");
    const int collecting = AddLock(db(), 1, 1);
    LinkLock(collecting, device, 1);
    EXPECT_EQ(DeviceStatusText(DeviceStatus(db(), device)), "Pending Collection");
    const int downloading = AddLock(db(), 1, 0, 1);  // downloaded flag: waits for download
    LinkLock(downloading, device, 1);
    EXPECT_EQ(DeviceStatusText(DeviceStatus(db(), device)), "Pending Download");

    const int changed = AddDevice(3);
    EXPECT_EQ(DeviceStatusText(DeviceStatus(db(), changed)), "Pending Update");
    const int leaving = AddDevice(4);
    EXPECT_EQ(DeviceStatusText(DeviceStatus(db(), leaving)), "Pending Removal");

    const auto rows = DeviceList(db());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].type, "Mobile");
    EXPECT_EQ(rows[2].status, 5);
}

TEST_F(DeviceListTest, DeletingAConnectedDeviceExchangesWithItAndRemovesIt) {
    const int device = EnrolledHandheld(1);
    const int lock = AddLock(db(), 1, 0);
    LinkLock(lock, device, 1);
    prompter.Answer(PromptAnswer::Yes);

    EXPECT_TRUE(DeleteDevice(db(), *exchange, prompter, device));

    EXPECT_EQ(DeviceRows(), 0);
    EXPECT_EQ(LockValue(lock, "Device Link"), 0);
    EXPECT_EQ(Registry().facility, 0u);
    EXPECT_EQ(prompter.Shown(), QStringList({texts::kAskDelete}));
}

TEST_F(DeviceListTest, AnUnconnectedDeviceIsRemovedOnlyWhenAskedToBe) {
    const int device = AddDevice(1);
    const int lock = AddLock(db(), 1, 1);
    LinkLock(lock, device, 1);
    EnrolledHandheld(1);  // another device is in the cradle: it must be left alone

    prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Cancel);
    EXPECT_TRUE(DeleteDevice(db(), *exchange, prompter, device));
    EXPECT_EQ(prompter.Shown().last(), texts::kFinishRemoval);
    EXPECT_EQ(DeviceValue(device, "Record State"), 4);
    EXPECT_EQ(LockValue(lock, "Device Link State"), 4);

    // Restored, then deleted and removed at once.
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_TRUE(RestoreDevice(db(), prompter, device));
    EXPECT_EQ(DeviceValue(device, "Record State"), 3);
    EXPECT_EQ(LockValue(lock, "Device Link State"), 2);

    prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Ok);
    EXPECT_TRUE(DeleteDevice(db(), *exchange, prompter, device));
    EXPECT_EQ(DeviceRows(), 1);
    EXPECT_EQ(LockValue(lock, "Device Link"), 0);
    EXPECT_EQ(LockValue(lock, "Pending Action Counter"), 2) << "purged: waits for download";
    EXPECT_EQ(Registry().facility, CommCode()) << "the cradled device is another one";
}

TEST_F(DeviceListTest, AChangedDeviceIsOfferedAnExchangeWhenItIsTheOneConnected) {
    const int device = EnrolledHandheld(3);
    const int other = AddDevice(3);
    prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    OfferDirectoryUpdate(db(), *exchange, prompter, other);
    EXPECT_EQ(prompter.Shown().last(), texts::kNotConnected);
    EXPECT_EQ(DeviceValue(other, "Record State"), 3);
    OfferDirectoryUpdate(db(), *exchange, prompter, device);
    EXPECT_EQ(DeviceValue(device, "Record State"), 1);
    EXPECT_TRUE(prompter.AllAnswersUsed());
}

TEST_F(DeviceListTest, AMissingRowOrADeclinedQuestionChangesNothing) {
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_FALSE(DeleteDevice(db(), *exchange, prompter, 77));
    EXPECT_EQ(prompter.Shown().last(), texts::kListRowMissing);
    const int device = AddDevice(4);
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(RestoreDevice(db(), prompter, device));
    EXPECT_EQ(DeviceValue(device, "Record State"), 4);
}

TEST_F(DeviceListTest, PropertiesLinkNewLocksAndUnlinkThoseNeverDelivered) {
    const int device = AddDevice(1);
    const int delivered = AddLock(db(), 1, 0);
    LinkLock(delivered, device, 1);
    const int waiting = AddLock(db(), 1, 0);
    LinkLock(waiting, device, 2);
    const int other = AddDevice(1);
    const int foreign = AddLock(db(), 1, 0);
    LinkLock(foreign, other, 1);
    const int free = AddLock(db(), 1, 0);

    auto sheet = DevicePropertiesSheet::Open(db(), prompter, device);
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->AddLock(free));
    EXPECT_FALSE(sheet->AddLock(foreign));
    sheet->RemoveLock(delivered);
    sheet->RemoveLock(waiting);
    sheet->assignedTo = QStringLiteral("J. Doe");
    ASSERT_TRUE(sheet->Save());

    EXPECT_EQ(LockValue(free, "Device Link"), device);
    EXPECT_EQ(LockValue(free, "Device Link State"), 2);
    EXPECT_EQ(LockValue(delivered, "Device Link"), device);
    EXPECT_EQ(LockValue(delivered, "Device Link State"), 4);
    EXPECT_EQ(LockValue(waiting, "Device Link"), 0);
    EXPECT_EQ(LockValue(waiting, "Device Link State"), 0);
    EXPECT_EQ(LockValue(foreign, "Device Link"), other);
    EXPECT_EQ(DeviceValue(device, "Record State"), 3);
    EXPECT_EQ(TextOf(db(), QStringLiteral("SELECT AssignedTo FROM \"Handheld PCs\" WHERE \"HPC "
                                          "Key\" = %1")
                               .arg(device)),
              "J. Doe");

    // Taken back before the exchange: the lock returns to where it was.
    auto again = DevicePropertiesSheet::Open(db(), prompter, device);
    sheet->RemoveLock(free);
    EXPECT_TRUE(sheet->AddLock(delivered));
    EXPECT_EQ(sheet->LockState(delivered), 1);
    EXPECT_EQ(sheet->LockState(free), 0);
}

TEST_F(DeviceListTest, ANewNetworkDeviceIsAddedWithItsAddress) {
    auto sheet = DevicePropertiesSheet::NewNetworkDevice(db(), prompter);
    sheet->name = QStringLiteral("Lobby controller");
    sheet->ipAddress = QStringLiteral("10.0.0.7");
    sheet->port = 4001;
    const int lock = AddLock(db(), 1, 0);
    EXPECT_TRUE(sheet->AddLock(lock));
    ASSERT_TRUE(sheet->Save());
    const int key = sheet->DeviceKey();
    EXPECT_EQ(DeviceValue(key, "Mobile Type"), 1);
    EXPECT_EQ(DeviceValue(key, "Port Number"), 4001);
    EXPECT_EQ(DeviceValue(key, "Record State"), 2);
    EXPECT_EQ(LockValue(lock, "Device Link"), key);
    EXPECT_EQ(DeviceStatusText(DeviceStatus(db(), key)), "Pending Update");
}

TEST_F(DeviceListTest, ADevicePendingRemovalIsNotEdited) {
    const int device = AddDevice(4);
    prompter.Answer(PromptAnswer::No).Answer(PromptAnswer::Yes);
    EXPECT_FALSE(MayOpenProperties(db(), prompter, device));
    EXPECT_TRUE(MayOpenProperties(db(), prompter, device));
    EXPECT_EQ(prompter.Shown().last(), texts::kAskEditPendingRemoval);
    EXPECT_TRUE(MayOpenProperties(db(), prompter, AddDevice(1)));
    const int lock = AddLock(db(), 1, 0);
    auto sheet = DevicePropertiesSheet::Open(db(), prompter, device);
    EXPECT_TRUE(sheet->ReadOnly());
    EXPECT_FALSE(sheet->AddLock(lock));
    sheet->assignedTo = QStringLiteral("Nobody");
    EXPECT_TRUE(sheet->Save());
    EXPECT_EQ(TextOf(db(), "SELECT coalesce(AssignedTo, '') FROM \"Handheld PCs\""), "");
}

class ExchangeDialogTest : public ExchangeTest {
  protected:
    void SetUp() override {
        ExchangeTest::SetUp();
        model = std::make_unique<ExchangeDialogModel>(db(), *exchange, prompter);
    }
    std::unique_ptr<ExchangeDialogModel> model;
};

TEST_F(ExchangeDialogTest, ConnectingListsTheLocksWaitingForProgrammingAllMarked) {
    const int device = EnrolledHandheld(1);
    const int waiting = AddLock(db(), 2, 2);
    LinkLock(waiting, device, 1);
    const int current = AddLock(db(), 1, 0);
    LinkLock(current, device, 1);
    EXPECT_EQ(model->Title(), "Data Exchange");
    EXPECT_FALSE(model->TreeEnabled());

    model->Open(0);

    EXPECT_EQ(model->Title(), QStringLiteral("Data Exchange - Device %1").arg(device));
    EXPECT_FALSE(model->ConnectEnabled());
    EXPECT_TRUE(model->TreeEnabled());
    EXPECT_EQ(model->MarkedLocks(), std::vector<int>({waiting}));
    ASSERT_EQ(model->Tree().children.size(), 1u);
    EXPECT_EQ(model->Tree().children[0].name, "Acme");

    model->ClearSelection(false, 0);
    EXPECT_TRUE(model->MarkedLocks().empty());
    model->Select(false, 1);
    EXPECT_EQ(model->MarkedLocks(), std::vector<int>({waiting}));

    EXPECT_EQ(model->Program(), 0);
    EXPECT_TRUE(model->MarkedLocks().empty()) << "the programmed lock now waits for collection";
    EXPECT_FALSE(Records(RecordKind::Programming).empty());
}

TEST_F(ExchangeDialogTest, ALostConnectionReturnsTheDialogToItsUnconnectedState) {
    const int key = EnrolledHandheld(1);
    const int waiting = AddLock(db(), 2, 2);
    LinkLock(waiting, key, 1);
    ASSERT_TRUE(model->Connect());
    device.callsBeforeLoss = 3;

    EXPECT_EQ(model->Program(), kErrConnectionLost);

    EXPECT_EQ(prompter.Shown().last(), ExchangeErrorText(kErrConnectionLost));
    EXPECT_EQ(model->Title(), "Data Exchange");
    EXPECT_TRUE(model->Tree().children.empty());
    EXPECT_FALSE(model->TreeEnabled());
    EXPECT_FALSE(exchange->Connected());
    EXPECT_EQ(exchange->DeviceKey(), 0);
}

}  // namespace
}  // namespace tandrel::testing
