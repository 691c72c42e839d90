#include <gtest/gtest.h>

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

// Facility Acme with two locks on its enrolled handheld.
class ProgramCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", "--name", "Acme", "--folder", dir.Root().toStdString()}).exitCode,
                  0);
        ASSERT_EQ(Run({"lock", "add", "--name", "Front"}).out, "1\n");
        ASSERT_EQ(Run({"lock", "add", "--name", "Back"}).out, "2\n");
        ASSERT_EQ(Run({"device", "enrol", "--handheld", Store()}).exitCode, 0);
        ASSERT_EQ(Run({"device", "assign", "1", "Front", "Back"}).exitCode, 0);
    }
    Result Run(const std::vector<std::string>& args) { return RunOnFacility(dir, "Acme", args); }
    std::string Store() const { return store.toStdString(); }
    // The programming records of a store as (key, command) pairs.
    std::vector<std::pair<qint64, qint64>> Programming(const QString& path) {
        Result r = Run({"--json", "handheld", "dump", path.toStdString()});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::pair<qint64, qint64>> out;
        const QJsonObject dump = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
        for (const QJsonValue& db : dump["databases"].toArray()) {
            if (db["name"].toString() != "TDXPGM") continue;
            for (const QJsonValue& rec : db["records"].toArray()) {
                const QJsonArray props = rec["properties"].toArray();
                out.emplace_back(props[0]["value"].toInteger(), props[1]["value"].toInteger());
            }
        }
        return out;
    }
    std::vector<std::pair<qint64, qint64>> Programming() { return Programming(store); }

    TempDir dir;
    QString store = dir.Path("handheld.store");
};

TEST_F(ProgramCli, ProgramsTheHandheldsLocksIntoItsStore) {
    Result r = Run({"program", "--handheld", Store(), "Back"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.Said("Programming data exchange complete."));
    EXPECT_EQ(r.out, "1 lock(s) programmed\n");
    const auto records = Programming();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front(), std::make_pair(qint64{2} << 16, qint64{0x20}));
    EXPECT_EQ(records.back().first >> 16, 2);

    // Without names, every lock of the handheld waiting for programming:
    // Back is handed already, Front is not.
    r = Run({"program", "--handheld", Store()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1 lock(s) programmed\n");
    EXPECT_EQ(Programming().size(), 2 * records.size());

    // Nothing was delivered: collection keeps every record.
    ASSERT_EQ(Run({"collect", "--handheld", Store()}).exitCode, 0);
    EXPECT_EQ(Programming().size(), 2 * records.size());
}

// A lock handed to the handheld whose records are no longer there is
// waiting again: program takes it with everything it lacks.
TEST_F(ProgramCli, ALockWhoseRecordsWereLostIsProgrammedAgain) {
    ASSERT_EQ(Run({"program", "--handheld", Store()}).out, "2 lock(s) programmed\n");
    const auto queued = Programming();
    EditProgramRecords(store, [](CHandheldRecord& pgm) {
        if (pgm.GetUI4(PGM_DATA_OFFSET_LOCK_ADDRESS) >> 16 == 1) {
            ASSERT_TRUE(pgm.Delete());
        }
    });
    ASSERT_LT(Programming().size(), queued.size());
    Result r = Run({"program", "--handheld", Store()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1 lock(s) programmed\n");
    EXPECT_EQ(Programming(), queued);
}

TEST_F(ProgramCli, RefusesBadUse) {
    EXPECT_EQ(Run({"program"}).exitCode, 2);
    EXPECT_EQ(Run({"program", "--handheld", Store(), "Side"}).exitCode, 2);
    // A lock the handheld does not serve is not handed to it.
    ASSERT_EQ(Run({"lock", "add", "--name", "Gate"}).out, "3\n");
    Result other = Run({"program", "--handheld", Store(), "Gate"});
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_TRUE(other.Said("Lock 3 is not served by this device.")) << other.err;
    EXPECT_TRUE(Programming().empty());

    const QString away = dir.Path("no/such/dir/h.store");
    Result missing = Run({"program", "--handheld", away.toStdString()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.Said("Failed to establish connection."));
    EXPECT_TRUE(missing.Said("was not found.")) << missing.err;
    const QString typo = dir.Path("handheld.stor");
    EXPECT_EQ(Run({"collect", "--handheld", typo.toStdString()}).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(typo)) << "a mistyped store is never made";
}

// A second facility's handheld: it neither takes Acme's programming nor
// has its deliveries booked by Acme, and neither does a handheld that names
// a device Acme does not have.
TEST_F(ProgramCli, AnotherFacilitysHandheldIsRefused) {
    const QString otherStore = dir.Path("other.store");
    auto other = [&](const std::vector<std::string>& args) {
        return RunOnFacility(dir, "Other", args);
    };
    ASSERT_EQ(other({"create", "--name", "Other", "--folder", dir.Root().toStdString()}).exitCode,
              0);
    ASSERT_EQ(other({"lock", "add", "--name", "Side"}).out, "1\n");
    ASSERT_EQ(other({"device", "enrol", "--handheld", otherStore.toStdString()}).exitCode, 0);
    ASSERT_EQ(other({"device", "assign", "1", "Side"}).exitCode, 0);
    ASSERT_EQ(other({"program", "--handheld", otherStore.toStdString()}).exitCode, 0);
    DeliverAllRecords(otherStore);
    const auto delivered = Programming(otherStore);
    ASSERT_FALSE(delivered.empty());

    for (const char* command : {"program", "collect"}) {
        Result r = Run({command, "--handheld", otherStore.toStdString()});
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_TRUE(r.Said("Connected mobile device is\nnot enrolled in this facility.")) << r.err;
        EXPECT_EQ(Programming(otherStore), delivered) << command << " changed the store";
    }
    Result locks = Run({"--json", "lock", "show", "Front"});
    EXPECT_NE(locks.out.find("\"recordState\":2"), std::string::npos) << locks.out;

    // Acme's own handheld, once its device row is gone, is no device of
    // Acme's either.
    ASSERT_EQ(Run({"device", "delete", "1"}).exitCode, 0);
    Result gone = Run({"program", "--handheld", Store()});
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_TRUE(gone.Said("Connected mobile device is\nnot enrolled in this facility."))
        << gone.err;

    // The handheld's own facility books them.
    ASSERT_EQ(other({"collect", "--handheld", otherStore.toStdString()}).exitCode, 0);
    EXPECT_TRUE(Programming(otherStore).empty());
}

}  // namespace
}  // namespace tandrel::testing
