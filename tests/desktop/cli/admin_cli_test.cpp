#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"
#include "tools/facility_gen/facility_generator.h"

namespace tandrel::testing {
namespace {

using Result = CliResult;

class AdminCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"--yes", "create", "--name", "Acme", "--folder", dir.Root().toStdString()})
                      .exitCode,
                  0);
    }
    Result Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", dir.Path("settings.ini").toStdString()});
        return RunCapturing(args);
    }
    // A command on the facility; options before the command words.
    Result On(std::vector<std::string> args) {
        args.insert(args.begin(), {"--file", dir.Path("Acme.qfd").toStdString()});
        return Run(args);
    }
    QJsonDocument Json(std::vector<std::string> args) {
        args.insert(args.begin(), "--json");
        Result r = On(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out));
    }
    void Generate(int users) {
        auto db = dao::Database::Open(dir.Path("Acme.qfd"));
        GeneratorOptions options;
        options.users = users;
        options.locks = 2;
        options.enrolments = users;
        options.auditRows = 0;
        GenerateFacilityData(*db, options);
    }
    TempDir dir;
};

TEST_F(AdminCliTest, GroupListAndSetDriveTheSheet) {
    QJsonArray groups = Json({"group", "list"}).array();
    ASSERT_EQ(groups.size(), 8);
    EXPECT_EQ(groups[0].toObject()["group"].toString(), "1");
    EXPECT_EQ(groups[0].toObject()["name"].toString(), "< Untitled >");
    EXPECT_EQ(groups[0].toObject()["autocode"].toString(), "No");

    Result renamed = On({"group", "set", "0", "--name", "Staff", "--reference", "Day shift"});
    EXPECT_EQ(renamed.exitCode, 0) << renamed.err;
    EXPECT_FALSE(renamed.Said("Continue?"));
    Result list = On({"group", "list"});
    EXPECT_EQ(list.out.rfind(" Group  User Group Name  AutoCode  Next PIN Date  Reference\n", 0),
              0u)
        << list.out;
    EXPECT_NE(list.out.find("1       Staff            No                       Day shift\n"),
              std::string::npos)
        << list.out;

    Result interval = On({"group", "set", "Staff", "--unit", "days", "--interval", "31"});
    EXPECT_EQ(interval.exitCode, 1);
    EXPECT_TRUE(interval.Said(
        "Invalid AutoCode Interval\nValid intervals are 1 to 30 Days\nor 1 to 12 months."));

    // Without a terminal the download question stops the command; --no
    // answers it and says what did not happen.
    Result unanswered =
        On({"group", "set", "0", "--autocode", "on", "--unit", "days", "--interval", "7"});
    EXPECT_EQ(unanswered.exitCode, 1);
    EXPECT_TRUE(unanswered.Said("stopped before changing anything: the question \"Warning: The "
                                "changes you have made"));
    EXPECT_TRUE(unanswered.Said("use --yes to answer Yes or --no to answer No"));
    Result declined = On(
        {"--no", "group", "set", "0", "--autocode", "on", "--unit", "days", "--interval", "7"});
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_TRUE(declined.Said(
        "in the facility to take affect.\n\nContinue? [y/N] no\nNo property was changed.\n"));
    EXPECT_EQ(Json({"group", "list"}).array()[0].toObject()["autocode"].toString(), "No");
    Result accepted =
        On({"--yes", "group", "set", "0", "--autocode", "on", "--unit", "days", "--interval", "7"});
    EXPECT_EQ(accepted.exitCode, 0) << accepted.err;
    QJsonObject first = Json({"group", "list"}).array()[0].toObject();
    EXPECT_EQ(first["autocode"].toString(), "Yes");
    EXPECT_FALSE(first["nextPinDate"].toString().isEmpty());
    EXPECT_EQ(Json({"facility", "show"}).object()["UserGroupTableRevision"].toInt(), 2);

    Result date = On({"group", "set", "0", "--next-date", "someday"});
    EXPECT_EQ(date.exitCode, 1);
    EXPECT_TRUE(date.Said("Unrecognized date format."));
    EXPECT_EQ(On({"group", "set", "1", "--next-date", "2030-01-01"}).exitCode, 2);  // AutoCode off
    EXPECT_EQ(On({"group", "set", "nobody"}).exitCode, 2);
    EXPECT_EQ(On({"group", "set", "9"}).exitCode, 2);
    EXPECT_EQ(On({"group", "set", "0", "--autocode", "maybe"}).exitCode, 2);
    EXPECT_EQ(On({"group", "rename"}).exitCode, 2);
}

TEST_F(AdminCliTest, FacilityShowAndSetWithConversions) {
    Generate(5);
    QJsonObject shown = Json({"facility", "show"}).object();
    EXPECT_EQ(shown.size(), 30);
    EXPECT_EQ(shown["Name"].toString(), "Acme");
    EXPECT_EQ(shown["IDCodeLength"].toInt(), 4);
    EXPECT_EQ(shown["PINLength"].toInt(), 3);
    EXPECT_NE(On({"facility", "show"}).out.find("Contact1Name: Contact1\n"), std::string::npos);

    Result caption = On({"facility", "set", "--contact1-name", "Badge"});
    EXPECT_EQ(caption.exitCode, 0) << caption.err;
    EXPECT_FALSE(caption.Said("Continue?"));
    shown = Json({"facility", "show"}).object();
    EXPECT_EQ(shown["Contact1Name"].toString(), "Badge");
    EXPECT_EQ(shown["Revision"].toInt(), 2);

    Result tooLong = On({"facility", "set", "--id-length", "11"});
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_TRUE(tooLong.Said("Code ID Length must be from 4 to 10 digits"));
    Result daylight = On({"facility", "set", "--daylight-savings", "255"});
    EXPECT_EQ(daylight.exitCode, 1);
    EXPECT_TRUE(daylight.Said("You Must Specify a Daylight Savings Type"));

    Result declined = On({"facility", "set", "--id-length", "6", "--pin-length", "4"});
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_EQ(Json({"facility", "show"}).object()["IDCodeLength"].toInt(), 4);
    Result converted = On({"--yes", "facility", "set", "--id-length", "6", "--pin-length", "4",
                           "--card-facility-kind", "none"});
    EXPECT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_TRUE(converted.Said("Extreme Caution:  The Code ID for 5 users will be"));
    shown = Json({"facility", "show"}).object();
    EXPECT_EQ(shown["IDCodeLength"].toInt(), 6);
    EXPECT_EQ(shown["PINLength"].toInt(), 4);
    EXPECT_EQ(shown["CardFacilityPosIsField"].toInt(), 2);
    EXPECT_EQ(shown["Revision"].toInt(), 3);
    {
        auto db = dao::Database::Open(dir.Path("Acme.qfd"));
        dao::sqlite::Statement s(db->Connection().Handle(),
                                 "SELECT count(*) FROM Users WHERE length(\"Lock ID code\") = 6 "
                                 "AND length(CurPIN) = 4");
        s.Step();
        EXPECT_EQ(s.Int(0), 5);
    }
    EXPECT_EQ(On({"facility", "set", "--card-id-kind", "sideways"}).exitCode, 2);
    EXPECT_EQ(On({"facility", "set", "--pin-length", "300"}).exitCode, 2);
    EXPECT_EQ(On({"facility", "list"}).exitCode, 2);
    Result help = Run({"help"});
    EXPECT_NE(help.out.find("group list"), std::string::npos);
    EXPECT_NE(help.out.find("facility set [--name NAME]"), std::string::npos);
}

}  // namespace
}  // namespace tandrel::testing
