// Installing a lock OS file on a handheld (one TDXLOS record per line) and
// on a network device (2000-byte blocks), the checks that stop it, and
// removing it again.
#include <QFile>

#include "desktop/data/facility_schema.h"
#include "desktop/exchange/handheld_record.h"
#include "desktop/exchange/lock_os_blocks.h"
#include "desktop/exchange/lock_os_texts.h"
#include "desktop/exchange/network_transport.h"
#include "desktop/exchange/record_variant.h"
#include "platform/dao/error.h"
#include "tests/desktop/exchange/lock_os_fixture.h"

namespace tandrel::testing {
namespace {

namespace texts = lock_os_texts;

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

// The installer on a handheld store.
using InstallHandheld = LockOsTest;

TEST_F(InstallHandheld, WritesEachLineAsPlatformAndDataRecordInTableOrder) {
    const QString badChecksum = Line(0x9000, {1, 2, 3}).replace(14, 2, "00");
    std::vector<LockOsRow> rows = Image(1);
    rows.push_back({kHardware1, Line(0x9000, {0xDE, 0xAD}, 0xA5).replace(12, 2, "00")});
    rows.push_back({0x00020000, badChecksum});  // bit 17: not checked
    rows.push_back({kHardware1, "00FFF00110"});
    const LockOsInstallResult result = installer.Install(MakeFile(rows));

    ASSERT_TRUE(result.ok) << prompter.Shown().join("\n");
    EXPECT_EQ(result.version, (protocol::LosVersion{3, 5}));
    EXPECT_TRUE(prompter.messages.empty());
    const auto records = LosRecords();
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 5u);
    EXPECT_EQ((*records)[0], std::make_pair(0x10000u, Bytes({4, 0, 0, 3, 5, 1, 0})));
    EXPECT_EQ((*records)[1].second.size(), 19);
    EXPECT_EQ((*records)[2].second, Bytes({2, 0x90, 0x00, 0xDE, 0xAD}));
    // TDXLOS sorts on the platform: hardware type 2 comes after type 1.
    EXPECT_EQ((*records)[3].second, Bytes({0, 0xFF, 0xF0}));
    EXPECT_EQ((*records)[4], std::make_pair(0x20000u, Bytes({3, 0x90, 0x00, 1, 2, 3})));

    EXPECT_TRUE(prompter.ProgressTexts().contains(texts::kConnecting));
    EXPECT_TRUE(prompter.ProgressTexts().contains("Installing QUANDRIX OS Version 3.05 ..."));
    EXPECT_EQ(prompter.range, 5);
    EXPECT_EQ(prompter.position, 5);
    EXPECT_FALSE(prompter.progressOpen);
    EXPECT_EQ(device.calls.back(), "CloseHandle");
}

TEST_F(InstallHandheld, ReplacesTheOsAlreadyThere) {
    ASSERT_TRUE(installer.Install(MakeFile(Image(4), "old.los")).ok);
    ASSERT_TRUE(installer.Install(MakeFile(Image(1), "new.los")).ok);
    EXPECT_EQ(LosRecords()->size(), 2u);
    EXPECT_TRUE(Called("DeleteDatabase"));
}

TEST_F(InstallHandheld, BadLinesStopTheCopyWithChecksumMismatch) {
    const QString good = Line(0x8000, {0x1A, 0x2B});
    for (const QString& bad : {QString(good).replace(12, 2, "00"),  // checksum
                               good.toLower(),                      // lower-case digits
                               good + "00", good.left(good.size() - 2), QString()}) {
        prompter.messages.clear();
        std::vector<LockOsRow> rows = Image(2);
        rows.push_back({kHardware1, bad});
        rows.push_back({kHardware1, good});
        const LockOsInstallResult result = installer.Install(MakeFile(rows, bad + ".los"));
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_TRUE(result.deviceChanged);
        ASSERT_EQ(prompter.messages.size(), 1u) << bad;
        EXPECT_EQ(prompter.messages[0],
                  std::make_pair(texts::kChecksumMismatch, PromptIcon::Information));
        EXPECT_EQ(LosRecords()->size(), 3u) << "the lines before it were written";
    }
}

TEST_F(InstallHandheld, EmptyFileIsRefusedAfterTheOldOsWasDeleted) {
    ASSERT_TRUE(installer.Install(MakeFile(Image(3), "old.los")).ok);
    const LockOsInstallResult result = installer.Install(MakeFile({}, "empty.los"));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.deviceChanged);
    EXPECT_EQ(prompter.messages.back(), std::make_pair(texts::kFileEmpty, PromptIcon::Information));
    EXPECT_EQ(LosRecords()->size(), 0u);
}

TEST_F(InstallHandheld, FirstLineTooShortForAVersionIsRefused) {
    std::vector<LockOsRow> rows = {{kHardware1, Line(0, {3})}, {kHardware1, Line(0x10, {1, 2})}};
    const LockOsInstallResult result = installer.Install(MakeFile(rows));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(prompter.messages.back().first, texts::kNoVersion);
    EXPECT_EQ(LosRecords()->size(), 0u);
}

TEST_F(InstallHandheld, FileThatCannotBeReadLeavesTheDeviceAlone) {
    ASSERT_TRUE(installer.Install(MakeFile(Image(3), "old.los")).ok);
    // Another password, no table LOS, a table LOS of another shape, not a
    // database at all, no file.
    dao::Database::Create(dir.Path("other.los"), "secret")->CreateTable(LockOSTable());
    dao::TableDef notLos = LockOSTable();
    notLos.name = "Other";
    dao::Database::Create(dir.Path("notable.los"), "9KtrLampPost")->CreateTable(notLos);
    dao::TableDef swapped = LockOSTable();
    std::swap(swapped.fields[0], swapped.fields[1]);
    dao::Database::Create(dir.Path("swapped.los"), "9KtrLampPost")->CreateTable(swapped);
    QFile text(dir.Path("text.los"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("PgmData\n10804000101112\n");
    text.close();
    const std::pair<const char*, int> cases[] = {{"other.los", dao::kErrInvalidPassword},
                                                 {"notable.los", dao::kErrNoSuchObject},
                                                 {"swapped.los", dao::kErrItemNotFound},
                                                 {"text.los", dao::kErrUnrecognizedFormat},
                                                 {"missing.los", dao::kErrFileNotFound}};
    for (const auto& [name, number] : cases) {
        prompter.messages.clear();
        device.calls.clear();
        const LockOsInstallResult result = installer.Install(dir.Path(name));
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.deviceChanged) << name;
        ASSERT_EQ(prompter.messages.size(), 1u);
        const QString item =
            number == dao::kErrNoSuchObject ? "LOS"
            : number == dao::kErrFileNotFound || number == dao::kErrUnrecognizedFormat
                ? dir.Path(name)
                : "";
        EXPECT_EQ(prompter.messages[0],
                  std::make_pair(dao::ErrorText(number, item), PromptIcon::Stop))
            << name;
        EXPECT_TRUE(device.calls.empty()) << name;
    }
    EXPECT_EQ(LosRecords()->size(), 4u);
}

// A handheld whose record writes fail with a given CE error after `okWrites`.
class FailingWrites : public RecordingDevice {
  public:
    std::uint32_t error = 0;
    int okWrites = 0;
    std::uint32_t WriteRecordProps(ce::Handle handle, ce::Oid oid, const ce::Record& props,
                                   ce::Oid& written) override {
        if (okWrites-- <= 0) return error;
        return RecordingDevice::WriteRecordProps(handle, oid, props, written);
    }
};

TEST_F(InstallHandheld, WriteErrorsAreNamedByTheirCeError) {
    const QString file = MakeFile(Image(3));
    const std::pair<std::uint32_t, QString> cases[] = {
        {ce::ERROR_INVALID_PARAMETER, texts::kInvalidParameter},
        {ce::ERROR_DISK_FULL, texts::kMemoryFull},
        {ce::kErrorConnectionLost, texts::kUnknownWriteError},
        {ce::ERROR_GEN_FAILURE, texts::kUnknownWriteError}};
    for (const auto& [error, text] : cases) {
        FailingWrites failing;
        failing.SetInner(*store);
        failing.error = error;
        failing.okWrites = 2;
        HandheldTransport failingTransport(failing);
        RecordingPrompter shown;
        LockOsInstaller(LockOsDevice::Handheld(failingTransport), shown).Install(file);
        ASSERT_EQ(shown.messages.size(), 1u);
        EXPECT_EQ(shown.messages[0], std::make_pair(text, PromptIcon::Information)) << error;
        EXPECT_EQ(LosRecords()->size(), 2u);
    }
    // A full object store says so itself.
    store->SetCapacity(1);
    installer.Install(file);
    EXPECT_EQ(prompter.messages.back().first, texts::kMemoryFull);
}

TEST_F(InstallHandheld, DeviceThatCannotTakeTdxlosIsReported) {
    device.callsBeforeLoss = 0;
    const LockOsInstallResult result = installer.Install(MakeFile(Image(1)));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(prompter.messages.back(),
              std::make_pair(texts::kCreateFailed, PromptIcon::Information));
}

TEST_F(InstallHandheld, RemoveDeletesTdxlosAndReportsALostDevice) {
    ASSERT_TRUE(installer.Install(MakeFile(Image(2))).ok);
    EXPECT_EQ(installer.Remove(), 0u);
    EXPECT_FALSE(LosRecords());
    EXPECT_TRUE(prompter.ProgressTexts().contains(texts::kRemoving));
    EXPECT_EQ(installer.Remove(), 0u) << "nothing to remove is no failure";
    device.callsBeforeLoss = 0;
    EXPECT_EQ(installer.Remove(), ce::kErrorConnectionLost);
}

// A network device: the link's record store, and one that refuses block writes.
class RefusingUpdates : public FakeLink {
  public:
    std::int32_t UpdateCurrentLockRecord(int type, const com::Variant& data) override {
        FakeLink::UpdateCurrentLockRecord(type, data);
        return -1;
    }
};

class InstallNetwork : public ::testing::Test {
  protected:
    // OS data records of `total` bytes: the version line (7 bytes), full
    // lines of 122 data bytes (125), and a last line for the rest.
    QString FileOf(int total, std::int32_t lastPlatform = 0x00030000) {
        std::vector<LockOsRow> rows = {{kHardware1, Line(0, {3, 5, 1, 0})}};
        int left = total - 7;
        while (left > 0) {
            const int n = std::min(left, 125) - 3;
            left -= n + 3;
            rows.push_back({left == 0 ? lastPlatform : kHardware1,
                            Line(0x100, protocol::Bytes(static_cast<std::size_t>(n), 0xEE))});
        }
        const QString path = dir.Path(QString::number(total) + ".los");
        CreateLockOsFile(path, rows);
        rowCount = static_cast<int>(rows.size());
        return path;
    }
    // The blocks the device holds: (platform, size, block number).
    std::vector<std::tuple<std::uint32_t, int, std::uint32_t>> Blocks() {
        std::vector<std::tuple<std::uint32_t, int, std::uint32_t>> out;
        for (const com::Variant& v : link.Records(5)) {
            CHandheldRecord r(RecordKind::OsData, transport);
            EXPECT_TRUE(RecordFromVariant(v, r));
            out.emplace_back(r.GetUI4(LOS_DATA_OFFSET_FACILITY),
                             static_cast<int>(r.GetBlob(LOS_DATA_OFFSET_DATA).size()),
                             r.GetUI4(LOS_DATA_OFFSET_BLOCK_NUMBER));
        }
        return out;
    }

    TempDir dir;
    FakeLink link;
    NetworkTransport transport{link};
    RecordingPrompter prompter;
    LockOsInstaller installer{LockOsDevice::Network(transport), prompter};
    int rowCount = 0;
};

TEST_F(InstallNetwork, TwoThousandBytesAreOneLastBlock) {
    ASSERT_TRUE(installer.Install(FileOf(2000)).ok);
    using B = std::tuple<std::uint32_t, int, std::uint32_t>;
    EXPECT_EQ(Blocks(), (std::vector<B>{{0x30000, 2000, 4095}}));
    EXPECT_EQ(link.calls.front(), "RemoveAll 5");
    EXPECT_EQ(prompter.range, rowCount * 3 / 2);
    EXPECT_EQ(prompter.position, rowCount + 1);

    ASSERT_TRUE(installer.Install(FileOf(2001)).ok);
    EXPECT_EQ(Blocks(), (std::vector<B>{{0x30000, 2000, 0}, {0x30000, 1, 4095}}));
    EXPECT_EQ(std::count(link.calls.begin(), link.calls.end(), "Add 5"), 0)
        << "OS data is only ever updated";
}

TEST_F(InstallNetwork, BlocksHoldTheRecordsEndToEnd) {
    ASSERT_TRUE(installer.Install(FileOf(4100)).ok);
    QByteArray joined;
    std::vector<std::uint32_t> numbers;
    for (const com::Variant& v : link.Records(5)) {
        CHandheldRecord r(RecordKind::OsData, transport);
        ASSERT_TRUE(RecordFromVariant(v, r));
        joined += r.GetBlob(LOS_DATA_OFFSET_DATA);
        numbers.push_back(r.GetUI4(LOS_DATA_OFFSET_BLOCK_NUMBER));
    }
    EXPECT_EQ(numbers, (std::vector<std::uint32_t>{0, 1, 4095}));
    ASSERT_EQ(joined.size(), 4100);
    EXPECT_EQ(joined.left(7), Bytes({4, 0, 0, 3, 5, 1, 0}));
    EXPECT_EQ(joined.mid(7, 4), Bytes({122, 1, 0, 0xEE}));
}

TEST_F(InstallNetwork, RefusedWritesAreAnUpdateFailure) {
    RefusingUpdates refusing;
    NetworkTransport refusingTransport(refusing);
    const QString file = FileOf(100);
    EXPECT_FALSE(
        LockOsInstaller(LockOsDevice::Network(refusingTransport), prompter).Install(file).ok);
    link.refuse = true;
    const LockOsInstallResult result = installer.Install(file);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.deviceChanged);
    for (const auto& message : prompter.messages) {
        EXPECT_EQ(message, std::make_pair(texts::kUpdateFailure, PromptIcon::Information));
    }
    EXPECT_EQ(prompter.messages.size(), 2u);
}

TEST_F(InstallNetwork, RemoveSeeksToTheBeginningThenDeletesAll) {
    ASSERT_TRUE(installer.Install(FileOf(3000)).ok);
    link.calls.clear();
    EXPECT_EQ(installer.Remove(), 0u);
    EXPECT_EQ(link.calls, (std::vector<std::string>{"Find 0 0 0 5", "RemoveAll 5"}));
    EXPECT_TRUE(link.Records(5).empty());
    EXPECT_EQ(installer.Remove(), 0u) << "an empty device is no failure";
    link.refuse = true;
    EXPECT_NE(installer.Remove(), 0u);
}

TEST(OsBlocks, LastBlockIs4095AndNoFullBlockMayTakeItsNumber) {
    EXPECT_TRUE(CutOsBlocks({})->empty());
    const auto exact = CutOsBlocks(QByteArray(4000, 'x'));
    ASSERT_EQ(exact->size(), 2u);
    EXPECT_EQ((*exact)[1], (OsBlock{QByteArray(2000, 'x'), 4095}));
    const auto largest = CutOsBlocks(QByteArray(4096 * 2000, 'x'));
    ASSERT_TRUE(largest);
    ASSERT_EQ(largest->size(), 4096u);
    EXPECT_EQ((*largest)[4094].number, 4094u);
    EXPECT_EQ((*largest)[4095].number, 4095u);
    EXPECT_FALSE(CutOsBlocks(QByteArray(4096 * 2000 + 1, 'x')));
}

}  // namespace
}  // namespace tandrel::testing
