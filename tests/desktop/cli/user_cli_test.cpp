#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/cli/csv_table.h"
#include "platform/dao/database.h"
#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace tandrel::testing {
namespace {

using Result = CliResult;

// The permission bits of a file itself (a link is not followed).
unsigned Mode(const QString& path) {
    struct stat st {};
    if (lstat(QFile::encodeName(path).constData(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

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

TEST_F(UserCli, UsersSharingANameAreNotPickedSilently) {
    for (const char* id : {"1111", "2222"}) {
        ASSERT_EQ(Run({"user", "add", "--last", "Lovelace", "--first", "Ada", "--id", id, "--type",
                       "general", "--pin", "123"})
                      .exitCode,
                  0);
    }
    for (const char* name : {"Lovelace, Ada", "lovelace"}) {
        Result shared = Run({"user", "show", name});
        EXPECT_EQ(shared.exitCode, 2);
        EXPECT_EQ(shared.err, std::string("tandrel-cli: more than one user named '") + name +
                                  "': key 2, key 3; give the user's key\n");
    }
    EXPECT_EQ(Json({"user", "show", "3"}).object()["id"].toString(), "2222");
}

TEST_F(UserCli, MessagesNameTheFieldAndItsLimit) {
    Result longName = Run({"user", "add", "--last", "Averyveryverylonglastname", "--first", "X",
                           "--id", "1234", "--type", "general", "--pin", "123"});
    EXPECT_EQ(longName.exitCode, 1);
    EXPECT_TRUE(longName.Said("Last Name can not be longer than 20 characters")) << longName.err;
    EXPECT_FALSE(longName.Said("Error Adding New User Record"));
    Result brokenName = Run({"user", "add", "--last", "Love\nlace", "--first", "Ada", "--id",
                             "1234", "--type", "general", "--pin", "123"});
    EXPECT_EQ(brokenName.exitCode, 1);
    EXPECT_TRUE(brokenName.Said("Last Name can not contain tabs, line breaks"));
    Result note = Run({"user", "add", "--last", "Lovelace", "--first", "Ada", "--id", "1234",
                       "--type", "general", "--pin", "123", "--contact2", std::string(33, 'c')});
    EXPECT_EQ(note.exitCode, 1);
    EXPECT_TRUE(note.Said("Contact2 can not be longer than 32 characters"));
    Result expiry = Run({"user", "add", "--last", "Lovelace", "--first", "Ada", "--id", "1234",
                         "--type", "general", "--pin", "123", "--expires", "2026-13-45"});
    EXPECT_EQ(expiry.exitCode, 2);
    EXPECT_TRUE(expiry.Said("--expires must be a date, YYYY-MM-DD"));
    EXPECT_TRUE(Json({"user", "list"}).array().isEmpty());
}

TEST_F(UserCli, ASmallLockCountsItsUsersAndKeepsTheirSlots) {
    ASSERT_EQ(Run({"lock", "add", "--name", "Closet", "--capacity", "50"}).out, "1\n");
    EXPECT_EQ(Run({"lock", "list"}).out, "1\tCloset\t\\\t0 users\n");
    for (const char* id : {"1111", "2222"}) {
        ASSERT_EQ(Run({"user", "add", "--last", std::string("U") + id, "--first", "Pat", "--id", id,
                       "--type", "programmer", "--pin", "123"})
                      .exitCode,
                  0);
        ASSERT_EQ(Run({"enrol", std::string("U") + id, "Closet"}).exitCode, 0);
    }
    EXPECT_EQ(Run({"lock", "list"}).out, "1\tCloset\t\\\t2 users\n");
    Result shrunk = Run({"lock", "edit", "Closet", "--capacity", "1"});
    EXPECT_EQ(shrunk.exitCode, 1);
    EXPECT_TRUE(shrunk.Said("User capacity can not be less than 2: lock user slot 1 is in use."));
    ASSERT_EQ(Run({"lock", "edit", "Closet", "--capacity", "2"}).exitCode, 0);
    EXPECT_EQ(Json({"lock", "show", "Closet"}).object()["users"].toInt(), 2);
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

class UserCsv : public UserCli {
  protected:
    void SetUp() override {
        UserCli::SetUp();
        ASSERT_EQ(Run({"user", "add", "--last", "Lovelace", "--first", "Ada", "--id", "1234",
                       "--type", "manager", "--pin", "123", "--home-group", "3"})
                      .exitCode,
                  0);
        ASSERT_EQ(Run({"user", "add", "--last", "Babbage", "--first", "Charles", "--id", "5678",
                       "--type", "general", "--pin", "321"})
                      .exitCode,
                  0);
    }
    void Sql(const std::string& sql) {
        auto db = dao::Database::Open(dir.Path("Acme.qfd"));
        db->ExecuteSql(sql);
    }
    std::vector<CsvRow> Exported(Result* result = nullptr) {
        Result r = Run({"user", "export", file.toStdString()});
        if (result) *result = r;
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return ParseCsv(f.readAll().toStdString()).value_or(std::vector<CsvRow>{});
    }
    Result Import(const QByteArray& text) {
        QFile f(dir.Path("in.csv"));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
        f.close();
        return Run({"user", "import", dir.Path("in.csv").toStdString()});
    }
    const QString file = dir.Path("users.csv");
};

// A stored value can never merge two users' rows: a line break is quoted,
// a control character no text file carries refuses the export by name.
TEST_F(UserCsv, ExportKeepsEveryUserOnItsOwnRow) {
    Sql("UPDATE Users SET Reference = 'Room 1' || char(10) || 'East' WHERE \"User Key\" = 2");
    std::vector<CsvRow> rows = Exported();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][13], "Room 1\nEast");
    EXPECT_EQ(rows[2][1], "Babbage");

    Sql("UPDATE Users SET \"First Name\" = 'A' || char(0) || 'da' WHERE \"User Key\" = 2");
    QFile::remove(file);
    Result refused;
    EXPECT_TRUE(Exported(&refused).empty());
    EXPECT_EQ(refused.exitCode, 1);
    // The name is shown with its control character made visible.
    EXPECT_TRUE(
        refused.Said("user export: user 2 (Lovelace, A\xEF\xBF\xBD"
                     "da)"))
        << refused.err;
    EXPECT_EQ(refused.err.find('\0'), std::string::npos);
    EXPECT_TRUE(
        refused.Said("has a control character in 'First Name'; correct it with user edit. "
                     "Nothing was exported."))
        << refused.err;
    EXPECT_FALSE(QFileInfo::exists(file));
    ASSERT_EQ(Run({"user", "edit", "2", "--first", "Ada"}).exitCode, 0);
    EXPECT_EQ(Exported().size(), 3u);
}

TEST_F(UserCsv, TheFileIsTheOwnersAloneAndNeverWrittenThroughALink) {
    const QString other = dir.Path("other.txt");
    {
        QFile f(other);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me\n");
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    }
    ASSERT_TRUE(QFile::link(other, file));
    ASSERT_EQ(Exported().size(), 3u);
    const QFileInfo written(file);
    EXPECT_FALSE(written.isSymLink());
    EXPECT_EQ(Mode(file), 0600);
    QFile kept(other);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep me\n");
    // A file already there with wider permissions is replaced by one with
    // the owner's alone.
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    ASSERT_EQ(Exported().size(), 3u);
    EXPECT_EQ(Mode(file), 0600);
    EXPECT_EQ(QDir(dir.Root()).entryList(QDir::Hidden | QDir::Files).filter(".users").size(), 0);
    Result noFolder = Run({"user", "export", dir.Path("missing/users.csv").toStdString()});
    EXPECT_EQ(noFolder.exitCode, 2);
}

TEST_F(UserCsv, ImportRefusesControlCharactersNamingRowAndColumn) {
    const QByteArray header = "Last Name,First Name,Lock ID code,User Type,CurPIN,Reference\n";
    QByteArray nul = header + "Hopper,Grace,1111,0,321,\n";
    nul += QByteArray("Turing,Al\0an,2222,0,321,\n", 25);
    Result refused = Import(nul);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.Said("user import: row 3: column 'First Name' holds a control character"))
        << refused.err;
    EXPECT_TRUE(refused.Said("user import: row 3 refused; nothing was imported"));
    EXPECT_EQ(Json({"user", "list"}).array().size(), 2);

    Result quotedBreak = Import(header + "\"Tur\ning\",Alan,2222,0,321,\n");
    EXPECT_EQ(quotedBreak.exitCode, 1);
    EXPECT_TRUE(quotedBreak.Said("row 2: column 'Last Name' holds a control character"));
    Result tabName = Import(header + "Tur\ting,Alan,2222,0,321,\n");
    EXPECT_EQ(tabName.exitCode, 1);
    EXPECT_TRUE(tabName.Said("Last Name can not contain tabs, line breaks"));
    EXPECT_TRUE(tabName.Said("row 2 refused"));
    Result merged = Import(header + "Turing,Alan,2222,0,321,,Hopper,Grace\n");
    EXPECT_EQ(merged.exitCode, 1);
    EXPECT_TRUE(merged.Said("row 2: 8 fields, more than the header's 6"));

    // A tab is data in a free text; empty trailing fields are no data.
    ASSERT_EQ(Import(header + "Turing,Alan,2222,0,321,Room\t7,,\n").exitCode, 0);
    EXPECT_EQ(Json({"user", "show", "Turing"}).object()["reference"].toString(), "Room\t7");
}

// The file numbers groups as the sheets do; a group numbered from 0 is
// refused rather than moved to another group.
TEST_F(UserCsv, HomeGroupsAreNumberedOneToEight) {
    std::vector<CsvRow> rows = Exported();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][10], "Home Group Number");
    EXPECT_EQ(rows[1][10], "3");
    EXPECT_EQ(rows[2][10], "1");

    // A file of the older form, groups from 0, is refused by its column.
    Result older = Import(
        "Last Name,First Name,Lock ID code,User Type,CurPIN,Home "
        "Group\nTuring,Alan,2222,0,321,2\n");
    EXPECT_EQ(older.exitCode, 2);
    EXPECT_TRUE(older.Said("'Home Group' of older files numbered groups from 0")) << older.err;

    const QByteArray header =
        "Last Name,First Name,Lock ID code,User Type,CurPIN,Home Group Number\n";
    Result zero = Import(header + "Turing,Alan,2222,0,321,0\n");
    EXPECT_EQ(zero.exitCode, 1);
    EXPECT_TRUE(
        zero.Said("user import: row 2: column 'Home Group Number' must be a number from 1 to 8"))
        << zero.err;
    Result type = Import(header + "Turing,Alan,2222,7,321,1\n");
    EXPECT_EQ(type.exitCode, 1);
    EXPECT_TRUE(type.Said("column 'User Type' must be a number from 0 to 3"));
    ASSERT_EQ(Import(header + "Turing,Alan,2222,0,321,8\n").exitCode, 0);
    EXPECT_EQ(Json({"user", "show", "Turing"}).object()["homeGroup"].toString(),
              "8 - < Untitled >");
    rows = Exported();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3][1], "Turing");
    EXPECT_EQ(rows[3][10], "8");
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
