#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace tandrel::testing {
namespace {

using Result = CliResult;

// A facility with two locks below a location and a handheld store.
class DeviceCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", "--name", "Acme", "--folder", dir.Root().toStdString()}).exitCode,
                  0);
        ASSERT_EQ(Run({"location", "add", "\\Wing\\"}).exitCode, 0);
        ASSERT_EQ(Run({"lock", "add", "--name", "Front", "--location", "\\Wing\\"}).out, "1\n");
        ASSERT_EQ(Run({"lock", "add", "--name", "Back", "--location", "\\Wing\\"}).out, "2\n");
        ASSERT_EQ(Run({"lock", "add", "--name", "Gate"}).out, "3\n");
    }
    Result Run(const std::vector<std::string>& args) { return RunOnFacility(dir, "Acme", args); }
    QJsonArray Devices() {
        Result r = Run({"--json", "device", "list"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).array();
    }
    // The record counts of the store's databases by name.
    std::map<QString, int> Counts() {
        Result r = Run({"--json", "handheld", "dump", store.toStdString()});
        std::map<QString, int> counts;
        const QJsonObject dump = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
        for (const QJsonValue& db : dump["databases"].toArray())
            counts[db["name"].toString()] = static_cast<int>(db["records"].toArray().size());
        return counts;
    }
    std::string Store() const { return store.toStdString(); }

    TempDir dir;
    QString store = dir.Path("handheld.store");
};

TEST_F(DeviceCli, EnrolAssignExchangeAndProgramAHandheld) {
    Result r = Run({"device", "enrol", "--handheld", Store()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(Run({"device", "enrol", "--handheld", Store()}).exitCode, 1);

    ASSERT_EQ(Run({"device", "assign", "1", "\\Wing\\", "Gate"}).exitCode, 0);
    QJsonArray devices = Devices();
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices[0].toObject()["type"].toString(), "Mobile");
    EXPECT_EQ(devices[0].toObject()["status"].toString(), "Pending Download");

    r = Run({"exchange", "--handheld", Store(), "--program", "Front,Gate"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Data Exchange - Handheld"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2 lock(s) programmed"), std::string::npos) << r.out;
    auto counts = Counts();
    EXPECT_EQ(counts["TDXLMF"], 3);
    EXPECT_EQ(counts["TDXLDF"], 2);  // the root and the wing
    EXPECT_GT(counts["TDXPGM"], 0);

    // Taking a lock off: it leaves the device at the next exchange.
    ASSERT_EQ(Run({"device", "unassign", "Handheld", "Back"}).exitCode, 0);
    ASSERT_EQ(Run({"exchange", "1", "--handheld", Store()}).exitCode, 0);
    EXPECT_EQ(Counts()["TDXLMF"], 2);
}

TEST_F(DeviceCli, NetworkDevicesAreAddedDeletedAndRestored) {
    Result r = Run({"device", "add", "Lobby", "--address", "10.1.2.3", "--port", "4001"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(Devices()[0].toObject()["type"].toString(), "Network");
    ASSERT_EQ(Run({"device", "assign", "Lobby", "Gate"}).exitCode, 0);

    // Not connected: --yes answers OK, so it is removed at once.
    ASSERT_EQ(Run({"device", "add", "Spare", "--address", "10.1.2.4"}).exitCode, 0);
    r = Run({"device", "delete", "Spare", "--handheld", Store()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Devices().size(), 1);

    EXPECT_EQ(Run({"device", "restore", "Lobby"}).exitCode, 2) << "not pending removal";
    EXPECT_EQ(Run({"device", "assign", "Lobby", "Nowhere"}).exitCode, 2);
    EXPECT_EQ(Run({"device", "frobnicate", "Lobby"}).exitCode, 2);
}

TEST_F(DeviceCli, DeletingTheConnectedHandheldRemovesItThroughAnExchange) {
    ASSERT_EQ(Run({"device", "enrol", "--handheld", Store()}).exitCode, 0);
    ASSERT_EQ(Run({"device", "assign", "1", "Gate"}).exitCode, 0);
    ASSERT_EQ(Run({"exchange", "--handheld", Store(), "--program", "all"}).exitCode, 0);

    Result r = Run({"device", "delete", "1", "--handheld", Store()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Devices().isEmpty());
    EXPECT_EQ(Counts()["TDXPGM"], 0);
    EXPECT_EQ(Counts()["TDXLMF"], 0);
    EXPECT_EQ(Run({"exchange", "--handheld", Store()}).exitCode, 1) << "no longer enrolled";
}

TEST_F(DeviceCli, AnExchangeWithoutAnEnrolledDeviceFails) {
    Result r = Run({"exchange", "--handheld", Store()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Said("Connected mobile device is\nnot enrolled in this facility."));
}

}  // namespace
}  // namespace tandrel::testing
