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

class ProgramCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", "--name", "Acme", "--folder", dir.Root().toStdString()}).exitCode,
                  0);
        ASSERT_EQ(Run({"lock", "add", "--name", "Front"}).out, "1\n");
        ASSERT_EQ(Run({"lock", "add", "--name", "Back"}).out, "2\n");
    }
    Result Run(const std::vector<std::string>& args) { return RunOnFacility(dir, "Acme", args); }
    // The programming records of the store as (key, command) pairs.
    std::vector<std::pair<qint64, qint64>> Programming() {
        Result r = Run({"--json", "handheld", "dump", store.toStdString()});
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
    TempDir dir;
    QString store = dir.Path("handheld.store");
};

TEST_F(ProgramCli, ProgramsNamedLocksIntoAHandheldStore) {
    Result r = Run({"program", "--handheld", store.toStdString(), "Back"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.Said("Programming data exchange complete."));
    const auto records = Programming();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front(), std::make_pair(qint64{2} << 16, qint64{0x20}));
    EXPECT_EQ(records.back().first >> 16, 2);

    // Without names, every lock waiting for programming; Back still is.
    ASSERT_EQ(Run({"program", "--handheld", store.toStdString()}).exitCode, 0);
    EXPECT_EQ(Programming().size(), 2 * records.size());

    // Nothing was delivered: collection keeps every record.
    ASSERT_EQ(Run({"collect", "--handheld", store.toStdString()}).exitCode, 0);
    EXPECT_EQ(Programming().size(), 2 * records.size());
}

TEST_F(ProgramCli, RefusesBadUse) {
    EXPECT_EQ(Run({"program"}).exitCode, 2);
    EXPECT_EQ(Run({"program", "--handheld", store.toStdString(), "Side"}).exitCode, 2);
    Result away = Run({"program", "--handheld", dir.Path("no/such/dir/h.store").toStdString()});
    EXPECT_EQ(away.exitCode, 1);
    EXPECT_TRUE(away.Said("Failed to establish connection."));
}

}  // namespace
}  // namespace tandrel::testing
