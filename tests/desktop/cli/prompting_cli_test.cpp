#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>
#include <sstream>

#include "desktop/cli/cli.h"
#include "platform/dao/database.h"
#include "tests/desktop/cli/cli_run.h"
#include "tests/support/temp_dir.h"
#include "tools/facility_gen/facility_generator.h"

namespace tandrel::testing {
namespace {

// Questions, passwords, the default facility and progress, as a script or a
// person at a terminal meets them.
class PromptingCliTest : public ::testing::Test {
  protected:
    CliResult Cli(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--settings", dir.Path("s.ini").toStdString()});
        return RunCapturing(args, input);
    }
    CliResult On(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--file", Facility()});
        return Cli(args, input);
    }
    std::string Facility() const { return dir.Path("Acme.qfd").toStdString(); }
    void Create(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {"create", "--name", "Acme", "--folder",
                                         dir.Root().toStdString()};
        args.insert(args.end(), extra.begin(), extra.end());
        CliResult r = Cli(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    void Fill(const QString& password = {}) {
        auto db = dao::Database::Open(dir.Path("Acme.qfd"), ";pwd=" + password);
        GeneratorOptions options;
        options.locks = 3;
        options.users = 4;
        options.auditRows = 30;
        options.auditStart = QDateTime(QDate(2020, 1, 1), QTime(0, 0));
        GenerateFacilityData(*db, options);
    }
    QJsonObject Info(std::vector<std::string> extra = {}) {
        extra.insert(extra.end(), {"--json", "info"});
        CliResult r = On(extra);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    }
    QString WriteFile(const QString& name, const QByteArray& content,
                      QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner) {
        QFile file(dir.Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        file.setPermissions(permissions);
        return file.fileName();
    }
    TempDir dir;
};

TEST_F(PromptingCliTest, WithoutATerminalAQuestionStopsTheCommandBeforeAnyChange) {
    Create();
    Fill();
    CliResult purge = On({"compact", "--purge-before", "2099-01-01"});
    EXPECT_EQ(purge.exitCode, 1);
    EXPECT_TRUE(
        purge.Said("tandrel-cli: stopped before changing anything: the question \"Are you "
                   "sure you want to purge ALL AUDIT DATA?\" needs an answer; use --yes "
                   "to answer Yes or --no to answer No\n"));
    EXPECT_EQ(Info()["auditRows"].toInt(), 30);

    CliResult del = On({"user", "delete", "2"});
    EXPECT_EQ(del.exitCode, 1);
    EXPECT_TRUE(del.Said("stopped before changing anything"));
    EXPECT_EQ(Info()["users"].toInt(), 4);

    // The rename question of the open is asked before anything is written.
    ASSERT_TRUE(QFile::rename(dir.Path("Acme.qfd"), dir.Path("Main.qfd")));
    CliResult renamed = Cli({"--file", dir.Path("Main.qfd").toStdString(), "--json", "info"});
    EXPECT_EQ(renamed.exitCode, 1);
    EXPECT_TRUE(renamed.Said("The facility name has changed"));
    CliResult kept = Cli({"--no", "--file", dir.Path("Main.qfd").toStdString(), "--json", "info"});
    ASSERT_EQ(kept.exitCode, 0) << kept.err;
    EXPECT_TRUE(
        kept.Said("[Y/n] no\nThe facility's name and its devices' directories were not "
                  "updated.\n"));
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(kept.out))["name"].toString(),
              "Acme");
}

TEST_F(PromptingCliTest, NoAnswersEveryQuestionNoAndSaysWhatDidNotHappen) {
    Create();
    Fill();
    CliResult purge = On({"--no", "compact", "--purge-before", "2099-01-01"});
    EXPECT_EQ(purge.exitCode, 1);
    EXPECT_TRUE(purge.Said("purge ALL AUDIT DATA? [Y/n] no\nNothing was purged or compacted.\n"));
    EXPECT_EQ(Info()["auditRows"].toInt(), 30);
    EXPECT_EQ(On({"--no", "user", "delete", "2"}).exitCode, 1);
    EXPECT_EQ(Info()["users"].toInt(), 4);
    EXPECT_EQ(On({"--yes", "--no", "info"}).exitCode, 2);
}

TEST_F(PromptingCliTest, OnATerminalAnEmptyLineTakesTheDefaultAndTheEndOfInputIsNo) {
    Create();
    Fill();
    // "Delete ... from facility?" has No for its default.
    CliResult empty = On({"user", "delete", "2"}, "\n");
    EXPECT_TRUE(empty.Said("from facility? [y/N] no\nThe user was not deleted.\n"));
    EXPECT_EQ(Info()["users"].toInt(), 4);
    // The end of the input answers No even where Yes is the default.
    std::istringstream in;
    std::ostringstream out, err;
    CliTerminal terminal;
    terminal.input = true;
    EXPECT_EQ(RunCli({"--settings", dir.Path("s.ini").toStdString(), "--file", Facility(),
                      "compact", "--purge-before", "2099-01-01"},
                     in, out, err, terminal),
              1);
    EXPECT_EQ(Info()["auditRows"].toInt(), 30);
    CliResult yes = On({"user", "delete", "2"}, "y\n");
    EXPECT_EQ(yes.exitCode, 0) << yes.err;
    EXPECT_FALSE(yes.Said("not deleted"));
}

TEST_F(PromptingCliTest, CreateAsksForAPasswordOnlyWhereOneCanFollow) {
    Create();
    CliResult info = On({"info"});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_FALSE(info.Said("Assign a password")) << "not asked without a terminal";

    // A password given answers the questions; no --yes is needed.
    ASSERT_TRUE(QFile::remove(dir.Path("Acme.qfd")));
    Create({"--password", "secret1"});
    EXPECT_EQ(On({"info"}).exitCode, 1);
    EXPECT_EQ(Info({"--password", "secret1"})["name"].toString(), "Acme");

    // On a terminal the question comes, and the password is typed twice.
    ASSERT_TRUE(QFile::remove(dir.Path("Acme.qfd")));
    CliResult typed = Cli({"create", "--name", "Acme", "--folder", dir.Root().toStdString()},
                          "y\nsecret2\nsecret2\ny\n");
    ASSERT_EQ(typed.exitCode, 0) << typed.err;
    EXPECT_TRUE(typed.Said("Assign a password now? [Y/n] yes\nNew Password: "));
    EXPECT_EQ(Info({"--password", "secret2"})["name"].toString(), "Acme");
}

TEST_F(PromptingCliTest, PasswordsComeFromAFileOrTheEnvironmentAndAreNeverEmptied) {
    Create({"--password", "secret1"});
    const QString file = WriteFile("pw", "secret1\n");
    EXPECT_EQ(Info({"--password-file", file.toStdString()})["name"].toString(), "Acme");
    const QString shared = WriteFile("pw-shared", "secret1\n",
                                     QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    CliResult warned = On({"--password-file", shared.toStdString(), "info"});
    EXPECT_EQ(warned.exitCode, 0);
    EXPECT_TRUE(warned.Said("other users can read the password file"));
    EXPECT_EQ(On({"--password-file", dir.Path("none").toStdString(), "info"}).exitCode, 2);

    ASSERT_EQ(setenv("TANDREL_PASSWORD", "secret1", 1), 0);
    EXPECT_EQ(Info()["name"].toString(), "Acme");
    ASSERT_EQ(setenv("TANDREL_PASSWORD", "wrong-pw", 1), 0);
    CliResult wrong = On({"info"});
    unsetenv("TANDREL_PASSWORD");
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.Said("Invalid facility password."));
    EXPECT_FALSE(wrong.Said("needs its password")) << "a refused password is reported once";
    EXPECT_TRUE(
        On({"info"}).Said("needs its password (--password-file, TANDREL_PASSWORD or "
                          "--password)"));

    // An empty new password would remove the password: refused.
    CliResult emptied = On({"--password", "secret1", "--yes", "password", "set", ""});
    EXPECT_EQ(emptied.exitCode, 2);
    EXPECT_TRUE(emptied.Said("'password remove' removes it"));
    EXPECT_EQ(On({"--password", "secret1", "--yes", "password", "set"}).exitCode, 2)
        << "nothing to type the new password on";
    CliResult typedEmpty = On({"--password", "secret1", "password", "set"}, "\n");
    EXPECT_EQ(typedEmpty.exitCode, 1);
    EXPECT_EQ(Info({"--password", "secret1"})["name"].toString(), "Acme");
}

TEST_F(PromptingCliTest, APasswordTypedOnTheTerminalIsNotEchoed) {
    Create({"--password", "secret1"});
    std::istringstream in("secret1\nnew-secret\nnew-secret\ny\n");
    std::ostringstream out, err;
    std::vector<bool> echo;
    CliTerminal terminal;
    terminal.input = true;
    terminal.setEcho = [&](bool on) { echo.push_back(on); };
    ASSERT_EQ(RunCli({"--settings", dir.Path("s.ini").toStdString(), "--file", Facility(),
                      "password", "set"},
                     in, out, err, terminal),
              0)
        << err.str();
    EXPECT_EQ(echo, (std::vector<bool>{false, true, false, true, false, true}));
    EXPECT_EQ(err.str().find("new-secret"), std::string::npos);
    EXPECT_EQ(Info({"--password", "new-secret"})["name"].toString(), "Acme");
}

TEST_F(PromptingCliTest, WithoutFileTheFacilityOpenedLastIsUsedAndNamed) {
    EXPECT_TRUE(Cli({"info"}).Said("no facility was opened yet"));
    Create();
    CliResult r = Cli({"--json", "info"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.Said("tandrel-cli: using " +
                       QFileInfo(dir.Path("Acme.qfd")).absoluteFilePath().toStdString() +
                       ", the facility opened last\n"));
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(r.out))["name"].toString(), "Acme");
}

TEST_F(PromptingCliTest, SettingsThatCannotBeSavedAreRefusedAtOnce) {
    CliResult folder = RunCapturing({"--settings", dir.Root().toStdString(), "info"});
    EXPECT_EQ(folder.exitCode, 2);
    EXPECT_TRUE(folder.Said("names the folder"));
    CliResult missing =
        RunCapturing({"--settings", dir.Path("no/such/s.ini").toStdString(), "info"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.Said("does not exist"));
}

TEST_F(PromptingCliTest, HelpForOneCommandAndOneLineForALookUp) {
    CliResult help = Cli({"help", "lock"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: tandrel-cli [global options] lock add", 0), 0u);
    EXPECT_EQ(help.out.find("user add"), std::string::npos);
    EXPECT_EQ(Cli({"lock", "--help"}).out, help.out);
    EXPECT_EQ(Cli({"help", "frobnicate"}).exitCode, 2);
    Create();
    CliResult missing = On({"lock", "show", "Nowhere"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, "tandrel-cli: no lock named 'Nowhere'\n");
    CliResult wrong = On({"lock", "show"});
    EXPECT_TRUE(wrong.Said("usage: tandrel-cli [global options] lock add"));
    EXPECT_FALSE(wrong.Said("user add"));
}

TEST_F(PromptingCliTest, ProgressLinesOnATerminalOrOnRequest) {
    Create();
    Fill();
    CliResult quiet = On({"--yes", "compact"});
    EXPECT_FALSE(quiet.Said("Compacting Facility:"));
    CliResult logged = On({"--yes", "--progress", "compact"});
    ASSERT_EQ(logged.exitCode, 0) << logged.err;
    EXPECT_TRUE(logged.Said("Compacting Facility: Compacting Lock User Records..."));
    EXPECT_TRUE(logged.Said("(100%)\n"));
    CliResult refresh = On({"--progress", "refresh"});
    ASSERT_EQ(refresh.exitCode, 0) << refresh.err;
    EXPECT_TRUE(
        refresh.Said("Refreshing Locks: Checking the locks and their users...\n"
                     "Refreshing Locks: Checking the locks and their users... 1/2 (50%)\n"
                     "Refreshing Locks: Marking 3 lock(s) for a complete reprogramming...\n"));

    std::istringstream in;
    std::ostringstream out, err;
    CliTerminal terminal;
    terminal.errors = true;
    ASSERT_EQ(RunCli({"--settings", dir.Path("s.ini").toStdString(), "--file", Facility(), "--yes",
                      "compact"},
                     in, out, err, terminal),
              0);
    // Drawn in place and taken away before the next message.
    EXPECT_NE(err.str().find("\r\x1b[KCompacting Facility: "), std::string::npos);
    EXPECT_NE(err.str().find("\r\x1b[KFacility Compacted Successfully\n"), std::string::npos);
}

}  // namespace
}  // namespace tandrel::testing
