// tandrel-cli's los commands: a file's summary, and install, status and
// remove on a handheld store enrolled in the facility.
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/exchange/device_registry.h"
#include "tests/desktop/cli/cli_run.h"
#include "tests/desktop/exchange/lock_os_fixture.h"

namespace tandrel::testing {
namespace {

class LosCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", "--name", "Acme", "--folder", dir.Root().toStdString()}).exitCode,
                  0);
        const CliResult info = Run({"--json", "info"});
        const QJsonObject facility =
            QJsonDocument::fromJson(QByteArray::fromStdString(info.out)).object();
        commCode = static_cast<std::uint32_t>(facility["communicationCode"].toInteger());
        const CliResult enrolled = Run({"device", "enrol", "--handheld", store.toStdString()});
        ASSERT_EQ(enrolled.exitCode, 0) << enrolled.err;
        deviceKey = std::stoi(enrolled.out);
        CreateLockOsFile(good, Image(2));
        std::vector<LockOsRow> rows = Image(2);
        rows[2].pgmData.chop(2);
        rows.push_back({0x00020000, "NOT HEX"});  // exempt, but not a line
        CreateLockOsFile(bad, rows);
    }
    // Answers every question Yes, unless `terminal` gives the answers.
    CliResult Run(std::vector<std::string> args, const std::string& terminal = {}) {
        std::vector<std::string> all = {"--settings", dir.Path("s.ini").toStdString()};
        if (terminal.empty()) all.push_back("--yes");
        if (args[0] != "create")
            all.insert(all.end(), {"--file", dir.Path("Acme.qfd").toStdString()});
        all.insert(all.end(), args.begin(), args.end());
        return RunCapturing(all, terminal);
    }
    // Writes the store's registry as a device of `facility` known there as
    // `identity` would have it.
    void RegisterStore(std::uint32_t facility, std::uint32_t identity) {
        std::uint32_t error = 0;
        auto handheld = ce::ObjectStore::Open(store, error);
        ASSERT_TRUE(handheld);
        HandheldTransport transport(*handheld);
        CHandheldRecord reg(RecordKind::DeviceRegistry, transport);
        reg.SetUI4(REG_DATA_OFFSET_FACILITY, facility);
        reg.SetUI4(REG_DATA_OFFSET_IDENTITY, identity);
        ASSERT_EQ(WriteDeviceRegistry(*handheld, reg), 0u);
    }
    // TDXLOS's record count; -1 without TDXLOS.
    int LosRecordCount() {
        std::uint32_t error = 0;
        auto handheld = ce::ObjectStore::Open(store, error);
        ce::Oid oid = 0;
        ce::Handle handle = 0;
        if (handheld->OpenDatabase(oid, "TDXLOS", 0, 0, handle) != 0) return -1;
        ce::ObjectInfo info;
        handheld->OidGetInfo(oid, info);
        return static_cast<int>(info.database.recordCount);
    }

    TempDir dir;
    QString store = dir.Path("handheld.store");
    QString good = dir.Path("good.los");
    QString bad = dir.Path("bad.los");
    std::uint32_t commCode = 0;
    int deviceKey = 0;
};

TEST_F(LosCli, ShowSummarisesAFile) {
    CliResult r = Run({"los", "show", good.toStdString()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "file: " + good.toStdString() +
                         "\nversion: 3.05\nrows: 3\nplatforms: 0x00010000\nlines: all pass\n");

    r = Run({"--json", "los", "show", bad.toStdString()});
    EXPECT_EQ(r.exitCode, 1);
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    EXPECT_EQ(json["rows"].toInteger(), 4);
    EXPECT_EQ(json["platforms"].toVariant().toStringList(),
              QStringList({"0x00010000", "0x00020000"}));
    EXPECT_EQ(json["failingRows"].toVariant().toList(), QVariantList({3, 4}));

    r = Run({"los", "show", dir.Path("none.los").toStdString()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Said("Could not find file"));
    EXPECT_EQ(Run({"los", "show"}).exitCode, 2);
}

TEST_F(LosCli, InstallStatusAndRemoveOnAnEnrolledHandheld) {
    const std::string handheld = store.toStdString();
    CliResult r = Run({"los", "install", good.toStdString(), "--handheld", handheld});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.Said("QUANDRIX OS Version 3.05 Installed Successfully"));
    EXPECT_EQ(LosRecordCount(), 3);
    EXPECT_EQ(Run({"los", "status", "--handheld", handheld}).out,
              "QUANDRIX OS version 3.05 is currently installed on the connected device\n");

    // Answered No, nothing is removed.
    r = Run({"los", "remove", "--handheld", handheld}, "n\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(
        r.Said("Remove Lock OS version 3.05 from this device? [y/N] no\n"
               "The lock OS file stays on the device.\n"));
    EXPECT_EQ(LosRecordCount(), 3);

    ASSERT_EQ(Run({"los", "remove", "--handheld", handheld}).exitCode, 0);
    EXPECT_EQ(LosRecordCount(), -1);
    EXPECT_EQ(Run({"los", "status", "--handheld", handheld}).out,
              "There is currently no QUANDRIX OS installed on the connected device\n");

    // A bad file: the checksum failure, then no OS at all.
    ASSERT_EQ(Run({"los", "install", good.toStdString(), "--handheld", handheld}).exitCode, 0);
    r = Run({"los", "install", bad.toStdString(), "--handheld", handheld});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Said("LOS Record checksum mismatch"));
    EXPECT_EQ(LosRecordCount(), -1);
}

TEST_F(LosCli, ShowSaysWhyAFileCannotBeInstalled) {
    // A first line too short to carry the version, yet a sound line.
    const QString short_ = dir.Path("short.los"), empty = dir.Path("empty.los");
    CreateLockOsFile(short_, {{kHardware1, Line(0, {3})}});
    CreateLockOsFile(empty, {});
    CliResult r = Run({"los", "show", short_.toStdString()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(
        r.Said(short_.toStdString() + " cannot be installed: Lock OS file carries no version."))
        << r.err;
    r = Run({"los", "show", bad.toStdString()});
    EXPECT_TRUE(r.Said("cannot be installed: LOS Record checksum mismatch.")) << r.err;
    r = Run({"los", "show", empty.toStdString()});
    EXPECT_TRUE(r.Said("cannot be installed: Lock OS file is empty.")) << r.err;
}

TEST_F(LosCli, RefusesAStoreOfAnotherFacilityOrNone) {
    // Another facility's handheld, and one naming a device this facility
    // does not have: neither is shown nor given an OS.
    for (auto [facility, identity] :
         {std::pair{commCode + 1, std::uint32_t(deviceKey)},
          std::pair{commCode, std::uint32_t(deviceKey + 1)}, std::pair{commCode, 0u}}) {
        RegisterStore(facility, identity);
        CliResult r =
            Run({"los", "install", good.toStdString(), "--handheld", store.toStdString()});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.Said("Connected Mobile device is not enrolled in this facility")) << r.err;
        EXPECT_EQ(LosRecordCount(), -1);
        r = Run({"los", "status", "--handheld", store.toStdString()});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.Said("Connected Mobile device is not enrolled in this facility")) << r.err;
    }

    const std::string none = dir.Path("none.store").toStdString();
    CliResult r = Run({"los", "status", "--handheld", none});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Said("The handheld store " + none + " was not found.")) << r.err;
    EXPECT_TRUE(r.Said("Failed to establish connection."));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(none)));
    EXPECT_EQ(Run({"los", "install", good.toStdString()}).exitCode, 2);
}

}  // namespace
}  // namespace tandrel::testing
