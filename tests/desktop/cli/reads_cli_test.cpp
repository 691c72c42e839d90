#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <map>
#include <sstream>

#include "desktop/cli/json_stream.h"
#include "platform/dao/database.h"
#include "platform/dao/value.h"
#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace tandrel::testing {
namespace {

// The "key: value" lines of a show command's text, and the lines after
// them that list its enrolments.
struct ShownText {
    std::map<QString, QString> fields;
    int listLines = 0;
};

ShownText ParseShown(const std::string& text, const std::string& listPrefix) {
    ShownText shown;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(listPrefix, 0) == 0) {
            ++shown.listLines;
            continue;
        }
        const auto colon = line.find(": ");
        EXPECT_NE(colon, std::string::npos) << line;
        shown.fields[QString::fromStdString(line.substr(0, colon))] =
            QString::fromStdString(line.substr(colon + 2));
    }
    return shown;
}

// A JSON value as the text form writes it.
QString AsText(const QJsonValue& v) {
    switch (v.type()) {
        case QJsonValue::Bool: return v.toBool() ? "true" : "false";
        case QJsonValue::Double: return QString::number(v.toInteger());
        case QJsonValue::String: return v.toString();
        default: return {};
    }
}

// Every fact of the JSON form is in the text form with the same value, and
// the text has nothing else; the one list is as long in both.
void ExpectSameFacts(const QJsonObject& json, const std::string& text, const QString& list,
                     const std::string& listPrefix) {
    const ShownText shown = ParseShown(text, listPrefix);
    std::map<QString, QString> expected;
    for (auto it = json.begin(); it != json.end(); ++it) {
        if (it.key() != list) expected[it.key()] = AsText(it.value());
    }
    EXPECT_EQ(shown.fields, expected);
    EXPECT_EQ(shown.listLines, list.isEmpty() ? 0 : json[list].toArray().size());
}

class ReadsCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", "--name", "Acme", "--folder", dir.Root().toStdString()}).exitCode,
                  0);
    }
    CliResult Run(const std::vector<std::string>& args) { return RunOnFacility(dir, "Acme", args); }
    QJsonDocument Json(std::vector<std::string> args) {
        args.insert(args.begin(), "--json");
        const CliResult r = Run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        QJsonParseError error;
        QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out;
        return doc;
    }
    void AddUser(const std::string& last, const std::string& id, const std::string& idType,
                 const std::string& type = "general") {
        const CliResult r = Run({"user", "add", "--last", last, "--first", "Ada", "--id", id,
                                 "--id-type", idType, "--type", type, "--pin", "123"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    TempDir dir;
};

TEST_F(ReadsCli, UserListShowsTheIdAndItsJsonKeepsEveryCharacter) {
    AddUser("Lovelace", "1234", "code");
    AddUser("Zoë \"Q\" \\ Brandt", "12345678", "prox");
    EXPECT_EQ(Run({"user", "list"}).out,
              "2\tLovelace, Ada\tCode\t1234\t1 - < Untitled >\n"
              "3\tZoë \"Q\" \\ Brandt, Ada\tProx Card\t12345678\t1 - < Untitled >\n");
    const QJsonArray list = Json({"user", "list"}).array();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[1].toObject()["name"].toString(), "Zoë \"Q\" \\ Brandt, Ada");
    EXPECT_EQ(list[1].toObject()["id"].toString(), "12345678");
    EXPECT_EQ(list[1].toObject()["idMedia"].toString(), "Prox Card");
    EXPECT_EQ(list[0].toObject()["key"].toInt(), 2);
    EXPECT_FALSE(list[0].toObject()["deleted"].toBool());
}

TEST_F(ReadsCli, AnEmptyUserListIsAnEmptyArray) {
    EXPECT_EQ(Run({"--json", "user", "list"}).out, "[]\n");
    EXPECT_EQ(Run({"user", "list"}).out, "");
}

TEST_F(ReadsCli, UserFindByIdAndIdType) {
    AddUser("Code", "1234", "code");
    AddUser("Mag", "1234", "mag");
    AddUser("Prox", "12345", "prox");
    EXPECT_EQ(Run({"user", "find", "--id", "1234"}).out,
              "2\tCode, Ada\tCode\t1234\t1 - < Untitled >\n"
              "3\tMag, Ada\tMag Card\t1234\t1 - < Untitled >\n");
    EXPECT_EQ(Run({"user", "find", "--id", "1234", "--id-type", "mag"}).out,
              "3\tMag, Ada\tMag Card\t1234\t1 - < Untitled >\n");
    const QJsonArray found = Json({"user", "find", "--id", "12345"}).array();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].toObject()["name"].toString(), "Prox, Ada");

    // Exactly the ID: no prefix, no other type.
    const CliResult prefix = Run({"user", "find", "--id", "123"});
    EXPECT_EQ(prefix.exitCode, 2);
    EXPECT_EQ(prefix.out, "");
    EXPECT_EQ(prefix.err, "tandrel-cli: no user has the ID '123'\n");
    EXPECT_EQ(Run({"user", "find", "--id", "12345", "--id-type", "code"}).exitCode, 2);
    EXPECT_EQ(Run({"--json", "user", "find", "--id", "999"}).out, "");

    EXPECT_EQ(Run({"user", "find"}).exitCode, 2);
    EXPECT_EQ(Run({"user", "find", "--id", "1234", "--id-type", "badge"}).exitCode, 2);
    EXPECT_EQ(Run({"user", "find", "Code", "--id", "1234"}).exitCode, 2);
}

TEST_F(ReadsCli, UserFindLeavesOutRemovedUsers) {
    AddUser("Leaver", "4321", "code");
    ASSERT_EQ(Run({"user", "delete", "Leaver"}).exitCode, 0);
    EXPECT_EQ(Run({"user", "find", "--id", "4321"}).exitCode, 2);
}

TEST_F(ReadsCli, LockShowGivesWhatLockAddTookAndTheStatus) {
    ASSERT_EQ(Run({"schedule", "add", "Day Shift"}).exitCode, 0);
    ASSERT_EQ(Run({"device", "add", "Lobby", "--address", "10.1.2.3"}).exitCode, 0);
    ASSERT_EQ(Run({"location", "add", "\\Building A\\"}).exitCode, 0);
    const CliResult added =
        Run({"lock",           "add",          "--name",      "Front",      "--location",
             "\\Building A\\", "--open-delay", "7",           "--serial",   "SN-1",
             "--model",        "QX-9",         "--installed", "03/14/2026", "--battery-installed",
             "03/15/2026",     "--schedule",   "Day Shift",   "--device",   "Lobby",
             "--capacity",     "500"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const QJsonObject lock = Json({"lock", "show", "Front"}).object();
    EXPECT_EQ(lock["name"].toString(), "Front");
    EXPECT_EQ(lock["path"].toString(), "\\Building A\\");
    EXPECT_EQ(lock["openDelaySeconds"].toInt(), 7);
    EXPECT_EQ(lock["serial"].toString(), "SN-1");
    EXPECT_EQ(lock["model"].toString(), "QX-9");
    EXPECT_EQ(lock["installed"].toString(), "03/14/2026");
    EXPECT_EQ(lock["batteryInstalled"].toString(), "03/15/2026");
    EXPECT_EQ(lock["schedule"].toString(), "Day Shift");
    EXPECT_EQ(lock["device"].toString(), "Lobby < Pending Enrollment >");
    EXPECT_EQ(lock["capacity"].toInt(), 500);
    EXPECT_EQ(lock["recordState"].toInt(), 2);
    EXPECT_EQ(lock["battery"].toString(), "");  // nothing reported before the first programming

    ASSERT_EQ(Run({"lock", "add", "--name", "Bare"}).exitCode, 0);
    const QJsonObject bare = Json({"lock", "show", "Bare"}).object();
    EXPECT_EQ(bare["schedule"].toString(), "< None >");
    EXPECT_EQ(bare["device"].toString(), "< None >");
    EXPECT_EQ(bare["installed"].toString(), "");
    EXPECT_EQ(bare["capacity"].toInt(), 2000);
}

TEST_F(ReadsCli, TextAndJsonShowTheSameFacts) {
    ASSERT_EQ(Run({"lock", "add", "--name", "Front", "--serial", "SN-1"}).exitCode, 0);
    ASSERT_EQ(Run({"lock", "add", "--name", "Back"}).exitCode, 0);
    AddUser("Lovelace", "1234", "code", "programmer");
    ASSERT_EQ(Run({"enrol", "Lovelace", "Front", "Back"}).exitCode, 0);

    ExpectSameFacts(Json({"user", "show", "Lovelace"}).object(),
                    Run({"user", "show", "Lovelace"}).out, "locks", "lock ");
    ExpectSameFacts(Json({"lock", "show", "Front"}).object(), Run({"lock", "show", "Front"}).out,
                    "enrolled", "user ");
    // The facility's dates and unset values read the same in both.
    {
        auto db = dao::Database::Open(dir.Path("Acme.qfd"));
        db->ExecuteSql("UPDATE FacilityProperties SET LastModified = " +
                       std::to_string(dao::DateTimeToStorage(
                           QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53)))));
    }
    EXPECT_EQ(Json({"facility", "show"}).object()["LastModified"].toString(),
              "2026-03-14T09:26:53");
    ExpectSameFacts(Json({"facility", "show"}).object(), Run({"facility", "show"}).out, {}, "\x01");
}

// Any text survives the way to JSON and back: control characters, quotes,
// backslashes, letters beyond ASCII and characters beyond the BMP.
TEST(JsonObjectText, ReadsBackAsWritten) {
    const QString text = QString::fromUtf8("a\x01\x1f\n\r\t\b\f\"q\" \\ Zoë \xF0\x9F\x94\x91 \x7f");
    std::ostringstream out;
    cli::JsonArrayStream array(out);
    array.Add(
        cli::JsonObjectText().Add("text", text).Add("n", -7).Add("yes", true).AddNull("none"));
    array.Add(cli::JsonObjectText());
    array.End();
    QJsonParseError error;
    const QJsonArray list =
        QJsonDocument::fromJson(QByteArray::fromStdString(out.str()), &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << out.str();
    ASSERT_EQ(list.size(), 2);
    const QJsonObject o = list[0].toObject();
    EXPECT_EQ(o["text"].toString(), text);
    EXPECT_EQ(o["n"].toInt(), -7);
    EXPECT_TRUE(o["yes"].toBool());
    EXPECT_TRUE(o["none"].isNull());
    EXPECT_TRUE(list[1].toObject().isEmpty());
}

}  // namespace
}  // namespace tandrel::testing
