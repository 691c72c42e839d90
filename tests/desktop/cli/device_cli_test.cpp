#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/desktop/cli/cli_run.h"
#include "tests/desktop/cli/store_records.h"
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
    std::uint32_t error = 0;
    ASSERT_TRUE(ce::ObjectStore::Open(store, error, true));  // a handheld never enrolled
    Result r = Run({"exchange", "--handheld", Store()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Said("Connected mobile device is\nnot enrolled in this facility."));
}

// Only an enrolment makes a store: an exchange with a store that is not
// there, or with a file that is no store, says so and leaves it as it was.
TEST_F(DeviceCli, AnExchangeNeverMakesOrChangesAStore) {
    const QString typo = dir.Path("handheld.stor");
    Result r = Run({"exchange", "--handheld", typo.toStdString(), "--program", "all"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Said("The handheld store " + typo.toStdString() + " was not found.")) << r.err;
    EXPECT_TRUE(r.Said("Failed to establish connection."));
    EXPECT_FALSE(QFileInfo::exists(typo));

    for (const QByteArray& content : {QByteArray(), QByteArray("notes\n")}) {
        QFile file(store);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        r = Run({"exchange", "--handheld", Store()});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.Said(Store() + " is not a handheld store.")) << r.err;
        EXPECT_EQ(QFileInfo(store).size(), content.size());
        EXPECT_EQ(Run({"device", "enrol", "--handheld", Store()}).exitCode, 1);
        EXPECT_EQ(QFileInfo(store).size(), content.size());
    }
}

// Locks listed for programming that turn out to need nothing (a user
// enrolled and taken out again before any exchange) are not handed to the
// handheld, and the handheld does not wait for their collection.
TEST_F(DeviceCli, LocksThatNeedNothingAreNotHanded) {
    ASSERT_EQ(Run({"device", "enrol", "--handheld", Store()}).exitCode, 0);
    ASSERT_EQ(Run({"device", "assign", "1", "\\Wing\\"}).exitCode, 0);
    ASSERT_EQ(Run({"exchange", "--handheld", Store(), "--program", "all"}).exitCode, 0);
    ASSERT_EQ(Run({"collect", "--handheld", Store()}).exitCode, 0);
    DeliverAllRecords(store);
    ASSERT_EQ(Run({"exchange", "--handheld", Store()}).exitCode, 0);
    EXPECT_EQ(Devices()[0].toObject()["status"].toString(), "Current");

    Result added = Run({"user", "add", "--last", "Lee", "--first", "Ann", "--id", "1111", "--type",
                        "general", "--pin", "432"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    ASSERT_EQ(Run({"enrol", "Lee", "\\Wing\\"}).exitCode, 0);
    ASSERT_EQ(Run({"unenrol", "Lee", "Front", "Back"}).exitCode, 0);
    Result r = Run({"exchange", "--handheld", Store(), "--program", "all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("0 lock(s) programmed"), std::string::npos) << r.out;
    EXPECT_EQ(Counts()["TDXPGM"], 0);
    EXPECT_EQ(Devices()[0].toObject()["status"].toString(), "Current");
    const QJsonObject front =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(Run({"--json", "lock", "show", "Front"}).out))
            .object();
    EXPECT_EQ(front["pendingActions"].toInteger(), 0);
}

TEST_F(DeviceCli, NetworkAddressesPortsAndNamesAreChecked) {
    for (const char* address : {"999.1.1.1", "", "10.1.2", "10.1.2.3.4", "10.01.2.3", "a.b.c.d",
                                " 10.1.2.3", "10.1.2.-3"}) {
        Result r = Run({"device", "add", "Lobby", "--address", address});
        EXPECT_EQ(r.exitCode, 1) << address;
        EXPECT_TRUE(r.Said("The IP address must be four numbers from 0 to 255 separated by dots"))
            << address << ": " << r.err;
    }
    EXPECT_TRUE(Devices().isEmpty());
    EXPECT_EQ(Run({"device", "add", "Lobby", "--address", "10.1.2.3", "--port", "0"}).exitCode, 2);
    EXPECT_EQ(Run({"device", "add", "Lobby", "--address", "10.1.2.3", "--port", "65536"}).exitCode,
              2);

    ASSERT_EQ(Run({"device", "add", "Lobby", "--address", "255.255.255.255"}).exitCode, 0);
    Result twice = Run({"device", "add", "LOBBY", "--address", "10.1.2.4"});
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_TRUE(twice.Said("A device named LOBBY exists already.")) << twice.err;
    EXPECT_EQ(Run({"device", "add", "", "--address", "10.1.2.4"}).exitCode, 1);
    ASSERT_EQ(Devices().size(), 1);
    EXPECT_EQ(Devices()[0].toObject()["name"].toString(), "Lobby");

    // Handhelds take the name their owner gave them: two may share one,
    // and are then named by key.
    const QString second = dir.Path("second.store");
    ASSERT_EQ(Run({"device", "enrol", "--handheld", Store()}).out, "2\n");
    ASSERT_EQ(Run({"device", "enrol", "--handheld", second.toStdString()}).out, "3\n");
    Result which = Run({"device", "assign", "Handheld", "Gate"});
    EXPECT_EQ(which.exitCode, 2);
    EXPECT_TRUE(which.Said("more than one device named 'Handheld': 2, 3; give its key"))
        << which.err;
    ASSERT_EQ(Run({"device", "assign", "3", "Gate"}).exitCode, 0);
}

}  // namespace
}  // namespace tandrel::testing
