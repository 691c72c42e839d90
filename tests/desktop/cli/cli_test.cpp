#include <gtest/gtest.h>

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"
#include "tools/facility_gen/facility_generator.h"

namespace tandrel::testing {
namespace {

using Result = CliResult;

class CliTest : public ::testing::Test {
  protected:
    Result Cli(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--settings", dir.Path("settings.ini").toStdString()});
        return RunCapturing(args, input);
    }
    std::string Facility() const { return dir.Path("Acme.qfd").toStdString(); }
    QJsonObject Info(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {"--file", Facility(), "--json"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back("info");
        Result r = Cli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    }
    TempDir dir;
};

TEST_F(CliTest, CreateThenInfo) {
    Result created = Cli({"create", "--name", "Acme", "--folder", dir.Root().toStdString(),
                          "--facility-code", "42", "--card-facility-position", "2"},
                         "n\n");
    ASSERT_EQ(created.exitCode, 0) << created.err;
    EXPECT_EQ(created.out, Facility() + "\n");
    EXPECT_NE(created.err.find("Assign a password now?"), std::string::npos);
    QJsonObject info = Info();
    EXPECT_EQ(info["name"].toString(), "Acme");
    EXPECT_EQ(info["version"].toInt(), 11);
    EXPECT_EQ(info["locks"].toInt(), 0);
    EXPECT_EQ(info["users"].toInt(), 0);
    EXPECT_GT(info["communicationCode"].toInt(), 0);
    Result text = Cli({"--file", Facility(), "info"});
    EXPECT_NE(text.out.find("Name: Acme\n"), std::string::npos);
    EXPECT_NE(text.out.find("Audit rows: 0\n"), std::string::npos);
}

TEST_F(CliTest, PasswordSetRemoveAndOpen) {
    ASSERT_EQ(Cli({"--yes", "create", "--name", "Acme", "--folder", dir.Root().toStdString(),
                   "--password", "secret1"})
                  .exitCode,
              0);
    // Without the password the facility cannot be read, and says so.
    Result locked = Cli({"--file", Facility(), "info"});
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_NE(locked.err.find("needs its password"), std::string::npos);
    EXPECT_EQ(Info({"--password", "secret1"})["name"].toString(), "Acme");
    Result changed = Cli(
        {"--file", Facility(), "--password", "secret1", "--yes", "password", "set", "other-pw"});
    EXPECT_EQ(changed.exitCode, 0) << changed.err;
    EXPECT_EQ(Info({"--password", "other-pw"})["name"].toString(), "Acme");
    Result tooShort =
        Cli({"--file", Facility(), "--password", "other-pw", "--yes", "password", "set", "abc"});
    EXPECT_EQ(tooShort.exitCode, 1);
    EXPECT_NE(tooShort.err.find("Passwords must be from 6 to 14 characters long."),
              std::string::npos);
    Result removed =
        Cli({"--file", Facility(), "--password", "other-pw", "--yes", "password", "remove"});
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(Info()["name"].toString(), "Acme");
}

TEST_F(CliTest, CompactWithAPurgeAndRefresh) {
    ASSERT_EQ(
        Cli({"--yes", "create", "--name", "Acme", "--folder", dir.Root().toStdString()}).exitCode,
        0);
    {
        auto db = dao::Database::Open(dir.Path("Acme.qfd"));
        GeneratorOptions options;
        options.locks = 4;
        options.users = 5;
        options.auditRows = 50;
        options.auditStart = QDateTime(QDate(2020, 1, 1), QTime(0, 0));
        GenerateFacilityData(*db, options);
    }
    EXPECT_EQ(Info()["auditRows"].toInt(), 50);
    EXPECT_EQ(Cli({"--file", Facility(), "--yes", "compact"}).exitCode, 0);
    EXPECT_EQ(Info()["auditRows"].toInt(), 50);
    // A date in the future purges everything, once confirmed.
    Result declined = Cli({"--file", Facility(), "compact", "--purge-before", "2999-01-01"}, "n\n");
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_EQ(Info()["auditRows"].toInt(), 50);
    Result purged = Cli({"--file", Facility(), "--yes", "compact", "--purge-before", "2999-01-01"});
    EXPECT_EQ(purged.exitCode, 0) << purged.err;
    EXPECT_NE(purged.err.find("Are you sure you want to purge ALL AUDIT DATA?"), std::string::npos);
    EXPECT_EQ(Info()["auditRows"].toInt(), 0);
    EXPECT_EQ(Info()["users"].toInt(), 5);
    EXPECT_EQ(Cli({"--file", Facility(), "refresh"}).exitCode, 0);
}

TEST_F(CliTest, FailuresAndBadUsage) {
    Result missing = Cli({"--file", dir.Path("none.qfd").toStdString(), "info"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Could not find file"), std::string::npos);
    EXPECT_EQ(Cli({"info"}).exitCode, 2);
    EXPECT_EQ(Cli({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(Cli({"--bogus", "info"}).exitCode, 2);
    EXPECT_EQ(Cli({"create", "--name", "X"}).exitCode, 2);
    // A new facility passes the wizard's checks.
    const std::string folder = dir.Root().toStdString();
    Result longIds = Cli({"create", "--name", "X", "--folder", folder, "--id-length", "11"});
    EXPECT_EQ(longIds.exitCode, 1);
    EXPECT_NE(longIds.err.find("Code ID Length must be from 4 to 10 digits"), std::string::npos);
    Result letters = Cli({"create", "--name", "X", "--folder", folder, "--facility-code", "12a"});
    EXPECT_NE(letters.err.find("Facility Code Must be Numeric Only"), std::string::npos);
    Result clash = Cli({"create", "--name", "X", "--folder", folder, "--facility-code", "12"});
    EXPECT_NE(clash.err.find("User ID and facility code can not be in same card data position"),
              std::string::npos);
    EXPECT_EQ(Cli({}).exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(dir.Path("X.qfd")));
}

}  // namespace
}  // namespace tandrel::testing
