#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/cli/csv_table.h"
#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace tandrel::testing {
namespace {

using Result = CliResult;

class UserCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", "--name", "Acme", "--folder", dir.Root().toStdString()}).exitCode,
                  0);
    }
    Result Run(const std::vector<std::string>& args) { return RunOnFacility(dir, "Acme", args); }
    QJsonDocument Json(std::vector<std::string> args) {
        args.insert(args.begin(), "--json");
        Result r = Run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out));
    }
    TempDir dir;
};

TEST_F(UserCli, UsersLocksAndEnrolments) {
    ASSERT_EQ(Run({"lock", "add", "--name", "Front"}).out, "1\n");
    ASSERT_EQ(Run({"lock", "add", "--name", "Back", "--open-delay", "5"}).out, "2\n");
    Result refused = Run({"lock", "add", "--name", "Side", "--open-delay", "40"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Valid open delay times are from 3 to 30 seconds."),
              std::string::npos);

    Result added = Run({"user", "add", "--last", "Lovelace", "--first", "Ada", "--id", "1234",
                        "--type", "programmer", "--pin", "123"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "2\n");
    Result badId = Run({"user", "add", "--last", "X", "--first", "Y", "--id", "12", "--type",
                        "general", "--pin", "123"});
    EXPECT_EQ(badId.exitCode, 1);
    EXPECT_NE(badId.err.find("Code ID Length Must Be 4 Digits"), std::string::npos);

    ASSERT_EQ(Run({"enrol", "Lovelace", "\\"}).exitCode, 0);
    QJsonObject user = Json({"user", "show", "Lovelace, Ada"}).object();
    QJsonArray locks = user["locks"].toArray();
    ASSERT_EQ(locks.size(), 2);
    EXPECT_EQ(locks[0].toObject()["state"].toString(), "User is Pending Enrollment");
    EXPECT_EQ(locks[0].toObject()["type"].toString(), "Programmer");

    // The only programmer stays unless the question is answered No... --yes keeps it.
    Result unenrol = Run({"unenrol", "2", "Back"});
    EXPECT_EQ(unenrol.exitCode, 0);
    EXPECT_NE(unenrol.err.find("last remaining enrolled Programmer ID"), std::string::npos);
    QJsonObject lock = Json({"lock", "show", "Front"}).object();
    EXPECT_EQ(lock["programmers"].toInt(), 1);
    EXPECT_EQ(lock["enrolled"].toArray().size(), 1);

    Result list = Run({"user", "list"});
    EXPECT_EQ(list.out, "2\tLovelace, Ada\tCode\t1234\t1 - < Untitled >\n");
    Result unknown = Run({"user", "show", "Nobody"});
    EXPECT_EQ(unknown.exitCode, 2);
}

TEST_F(UserCli, DeleteAndRestore) {
    ASSERT_EQ(Run({"lock", "add", "--name", "Front"}).exitCode, 0);
    for (auto [last, id, type] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"Keeper", "1111", "programmer"}, {"Leaver", "2222", "general"}}) {
        ASSERT_EQ(Run({"user", "add", "--last", last, "--first", "Pat", "--id", id, "--type", type,
                       "--pin", "123"})
                      .exitCode,
                  0);
        ASSERT_EQ(Run({"enrol", last, "Front"}).exitCode, 0);
    }
    EXPECT_EQ(Run({"user", "delete", "Keeper"}).exitCode, 1);
    Result deleted = Run({"user", "delete", "Leaver"});
    EXPECT_EQ(deleted.exitCode, 0);
    // A pending enrolment never delivered: the user is gone at once.
    EXPECT_EQ(Run({"user", "list"}).out, "2\tKeeper, Pat\tCode\t1111\t1 - < Untitled >\n");
    EXPECT_EQ(Run({"user", "restore", "Keeper"}).exitCode, 1);  // not deleted: nothing to do
}

TEST_F(UserCli, ExportAndImportGoThroughTheSameChecks) {
    ASSERT_EQ(Run({"user", "add", "--last", "Lovelace", "--first", "Ada", "--id", "1234", "--type",
                   "manager", "--rights", "5", "--pin", "123", "--groups", "1,3"})
                  .exitCode,
              0);
    const std::string file = dir.Path("users.csv").toStdString();
    ASSERT_EQ(Run({"user", "export", file}).exitCode, 0);
    QFile exported(QString::fromStdString(file));
    exported.open(QIODevice::ReadOnly);
    auto rows = ParseCsv(exported.readAll().toStdString());
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0][1], "Last Name");
    EXPECT_EQ((*rows)[1][1], "Lovelace");

    auto write = [&](const std::string& text) {
        QFile f(dir.Path("in.csv"));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text.c_str());
    };
    const std::string header = "Last Name,First Name,Lock ID code,User Type,CurPIN\n";
    // The second row repeats the first row's ID: nothing is imported.
    write(header + "Babbage,Charles,5555,0,321\nByron,Anne,5555,0,321\n");
    Result refused = Run({"user", "import", dir.Path("in.csv").toStdString()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Code ID Number Already In Use"), std::string::npos);
    EXPECT_NE(refused.err.find("row 3 refused"), std::string::npos);
    EXPECT_EQ(Json({"user", "list"}).array().size(), 1);
    write(header + "Babbage,Charles,5555,0,321\n\"Byron, jr\",Anne,6666,1,321\n");
    Result imported = Run({"user", "import", dir.Path("in.csv").toStdString()});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(Json({"user", "list"}).array().size(), 3);
    write("Last Name,Shoe Size\nX,44\n");
    EXPECT_EQ(Run({"user", "import", dir.Path("in.csv").toStdString()}).exitCode, 2);
}

TEST(CsvTable, QuotesCommasAndLineBreaks) {
    auto rows = ParseCsv("a,\"b,c\",\"d\"\"e\"\r\n\"multi\nline\",x\n\n");
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0], (CsvRow{"a", "b,c", "d\"e"}));
    EXPECT_EQ((*rows)[1], (CsvRow{"multi\nline", "x"}));
    EXPECT_EQ(CsvLine({"a", "b,c", "d\"e", "multi\nline"}), "a,\"b,c\",\"d\"\"e\",\"multi\nline\"");
    std::string error;
    EXPECT_FALSE(ParseCsv("a,\"open\n", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(ParseCsv("")->empty());
}

}  // namespace
}  // namespace tandrel::testing
