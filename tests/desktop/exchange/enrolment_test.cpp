#include "tests/desktop/exchange/exchange_fixture.h"

#include "desktop/exchange/device_texts.h"
#include "desktop/exchange/exchange_texts.h"

namespace tandrel::testing {
namespace {

namespace texts = device_texts;

using EnrolmentTest = ExchangeTest;

TEST_F(EnrolmentTest, NewHandheldGetsARowFromItsPartnershipAndTheFacilityInItsRegistry) {
    connector.partnership = ce::Partnership{"A handheld with a very long name", "Night shift"};
    SetRegistry(0, 0);
    WriteRecord(RecordKind::Programming, [](CHandheldRecord& r) {
        r.SetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS, 0x10000);
        r.SetUI2(PGM_DATA_OFFSET_COMMAND, 0x21);
    });

    const int key = exchange->Enrol(true);

    ASSERT_GT(key, 0) << prompter.Shown().join("|").toStdString();
    EXPECT_EQ(TextOf(db(), QStringLiteral("SELECT Name FROM \"Handheld PCs\"")),
              "A handheld with a ve");  // cut to the column's 20 characters
    EXPECT_EQ(TextOf(db(), QStringLiteral("SELECT Description FROM \"Handheld PCs\"")),
              "Night shift");
    EXPECT_EQ(TextOf(db(), QStringLiteral("SELECT FerrowVersion FROM \"Handheld PCs\"")), "2.10");
    EXPECT_EQ(DeviceValue(key, "Record State"), 2);
    EXPECT_EQ(DeviceValue(key, "Mobile Type"), 0);
    EXPECT_EQ(Registry().facility, CommCode());
    EXPECT_EQ(Registry().identity, static_cast<std::uint32_t>(key));
    EXPECT_EQ(Registry().version, "2.10");
    EXPECT_TRUE(Records(RecordKind::Programming).empty()) << "databases reset";
}

TEST_F(EnrolmentTest, AnEnrolledHandheldIsNotEnrolledTwice) {
    const int key = EnrolledHandheld();
    EXPECT_EQ(exchange->Enrol(true), 0);
    EXPECT_EQ(prompter.Shown().last(), texts::kAlreadyEnrolled);
    EXPECT_EQ(DeviceRows(), 1);
    EXPECT_EQ(Registry().identity, static_cast<std::uint32_t>(key));

    // Enrolling again as another device of this facility is refused too;
    // as itself it is reset and starts over.
    const int other = AddDevice(1);
    exchange->ForDevice(other);
    EXPECT_EQ(exchange->Enrol(false), 0);
    EXPECT_EQ(prompter.Shown().last(), texts::kAlreadyEnrolled);
    exchange->ForDevice(key);
    EXPECT_EQ(exchange->Enrol(false), key);
    EXPECT_EQ(DeviceValue(key, "Record State"), 2);
    EXPECT_EQ(
        TextOf(db(),
               QStringLiteral("SELECT Name FROM \"Handheld PCs\" WHERE \"HPC Key\" = %1").arg(key)),
        "Scanner 7");
}

TEST_F(EnrolmentTest, AHandheldOfAnotherFacilityIsTakenOnlyAfterBothQuestions) {
    SetRegistry(CommCode() + 1, 9);
    WriteRecord(RecordKind::Audit, [](CHandheldRecord& r) {
        r.SetUI2(0, 5);
        r.SetBlob(1, QByteArray("\0\0\0\1", 4));
    });

    prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::No);
    EXPECT_EQ(exchange->Enrol(true), 0);
    EXPECT_EQ(prompter.Shown(), QStringList({texts::kOtherFacility, texts::kOtherFacilityWarning,
                                             texts::kEnrolmentAborted}));
    EXPECT_EQ(DeviceRows(), 0);
    EXPECT_EQ(Records(RecordKind::Audit).size(), 1u) << "the other facility's data stays";

    prompter.Clear();
    prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    const int key = exchange->Enrol(true);
    EXPECT_GT(key, 0);
    EXPECT_TRUE(Records(RecordKind::Audit).empty());
    EXPECT_EQ(Registry().facility, CommCode());
}

TEST_F(EnrolmentTest, AResetThatFailsLeavesTheFacilityWithoutARow) {
    SetRegistry(CommCode() + 1, 9);
    prompter.Answer(PromptAnswer::Yes).Answer(PromptAnswer::Yes);
    // The link goes once the registry has been read, during the reset.
    device.calls.clear();
    Registry();
    device.callsBeforeLoss = static_cast<int>(device.calls.size());

    EXPECT_EQ(exchange->Enrol(true), 0);

    EXPECT_EQ(prompter.Shown().last(), texts::kResetFailed);
    EXPECT_EQ(DeviceRows(), 0);
}

TEST_F(EnrolmentTest, MissingPartnershipOrConnectionStopsBeforeAnythingChanges) {
    connector.partnership.reset();
    EXPECT_EQ(exchange->Enrol(true), 0);
    EXPECT_EQ(prompter.Shown().last(), texts::kNoPartnership);

    connector.reachable = false;
    EXPECT_EQ(exchange->Enrol(true), 0);
    EXPECT_EQ(prompter.Shown().last(), exchange_texts::kNoConnection);

    exchange->ForDevice(77);
    EXPECT_EQ(exchange->Enrol(false), 0);
    EXPECT_EQ(prompter.Shown().last(), texts::kDeviceRowMissing);
    EXPECT_EQ(DeviceRows(), 0);
}

TEST_F(EnrolmentTest, NoKeyAbove65534IsGiven) {
    Sql(db(), "INSERT INTO \"Handheld PCs\" (\"HPC Key\", Name) VALUES (65534, 'Last')");
    EXPECT_EQ(exchange->Enrol(true), 0);
    EXPECT_EQ(prompter.Shown().last(), texts::kOutOfKeys);
    EXPECT_EQ(DeviceRows(), 1);
    EXPECT_EQ(Registry().facility, 0u);
}

TEST_F(EnrolmentTest, ARegistryThatCannotBeWrittenRollsTheRowBack) {
    device.failSet = QStringLiteral("Identity");
    EXPECT_EQ(exchange->Enrol(true), 0);
    EXPECT_EQ(prompter.Shown().last(), texts::kRegistryFailed);
    EXPECT_EQ(DeviceRows(), 0);
}

}  // namespace
}  // namespace tandrel::testing
