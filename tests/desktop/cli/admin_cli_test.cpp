#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
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
    // `typed` answers the questions as a terminal would.
    Result Run(std::vector<std::string> args, const std::string& typed = {}) {
        args.insert(args.begin(), {"--settings", dir.Path("settings.ini").toStdString()});
        return RunCapturing(args, typed);
    }
    // A command on the facility; options before the command words.
    Result On(std::vector<std::string> args, const std::string& typed = {}) {
        args.insert(args.begin(), {"--file", dir.Path("Acme.qfd").toStdString()});
        return Run(args, typed);
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

    Result renamed = On({"group", "set", "1", "--name", "Staff", "--reference", "Day shift"});
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
        On({"group", "set", "1", "--autocode", "on", "--unit", "days", "--interval", "7"});
    EXPECT_EQ(unanswered.exitCode, 1);
    EXPECT_TRUE(
        unanswered.Said("stopped before changing anything: the question \"Warning: The "
                        "changes you have made"));
    EXPECT_TRUE(unanswered.Said("use --yes to answer Yes or --no to answer No"));
    Result declined =
        On({"--no", "group", "set", "1", "--autocode", "on", "--unit", "days", "--interval", "7"});
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_TRUE(declined.Said(
        "in the facility to take affect.\n\nContinue? [y/N] no\nNo property was changed.\n"));
    Result typedNo =
        On({"group", "set", "1", "--autocode", "on", "--unit", "days", "--interval", "7"}, "n\n");
    EXPECT_EQ(typedNo.exitCode, 1);
    EXPECT_EQ(Json({"group", "list"}).array()[0].toObject()["autocode"].toString(), "No");
    Result accepted =
        On({"--yes", "group", "set", "1", "--autocode", "on", "--unit", "days", "--interval", "7"});
    EXPECT_EQ(accepted.exitCode, 0) << accepted.err;
    QJsonObject first = Json({"group", "list"}).array()[0].toObject();
    EXPECT_EQ(first["autocode"].toString(), "Yes");
    EXPECT_FALSE(first["nextPinDate"].toString().isEmpty());
    EXPECT_EQ(Json({"facility", "show"}).object()["UserGroupTableRevision"].toInt(), 2);

    Result date = On({"group", "set", "1", "--next-date", "someday"});
    EXPECT_EQ(date.exitCode, 1);
    EXPECT_TRUE(date.Said("Unrecognized date format."));
    EXPECT_EQ(On({"group", "set", "2", "--next-date", "2030-01-01"}).exitCode, 2);  // AutoCode off
    EXPECT_EQ(On({"group", "set", "nobody"}).exitCode, 2);
    EXPECT_EQ(On({"group", "set", "9"}).exitCode, 2);
    EXPECT_EQ(On({"group", "set", "1", "--autocode", "maybe"}).exitCode, 2);
    EXPECT_EQ(On({"group", "rename"}).exitCode, 2);
}

// Groups are numbered 1 to 8 on the command line as on the sheets; the
// Group Key itself is refused where it would name another group.
TEST_F(AdminCliTest, GroupsAreNumberedOneToEight) {
    Result zero = On({"group", "set", "0", "--name", "Staff"});
    EXPECT_EQ(zero.exitCode, 2);
    EXPECT_TRUE(zero.Said("no user group 0: User groups are numbered 1 to 8")) << zero.err;
    ASSERT_EQ(On({"group", "set", "8", "--name", "Night"}).exitCode, 0);
    const QJsonObject last = Json({"group", "list"}).array()[7].toObject();
    EXPECT_EQ(last["group"].toString(), "8");
    EXPECT_EQ(last["name"].toString(), "Night");
    EXPECT_FALSE(last.contains("key"));  // one numbering, 1 to 8
    // Seven groups still share their first name: none is picked silently.
    Result shared = On({"group", "set", "< Untitled >", "--name", "Day"});
    EXPECT_EQ(shared.exitCode, 2);
    EXPECT_TRUE(
        shared.Said("more than one user group named '< Untitled >' (1, 2, 3, 4, 5, 6, 7); "
                    "give its number"))
        << shared.err;
    ASSERT_EQ(On({"group", "set", "night", "--reference", "Ward 3"}).exitCode, 0);
    EXPECT_EQ(Json({"group", "list"}).array()[7].toObject()["reference"].toString(), "Ward 3");
    EXPECT_NE(Run({"help", "group"}).out.find("1 to 8"), std::string::npos);
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

    Result declined = On({"facility", "set", "--id-length", "6", "--pin-length", "4"}, "n\n");
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
    EXPECT_NE(help.out.find("facility set [options]"), std::string::npos);
}

TEST_F(AdminCliTest, AFacilityNameIsNeverAPath) {
    QDir(dir.Root()).mkdir("in");
    Result escaped =
        Run({"--yes", "create", "--name", "../escape", "--folder", dir.Path("in").toStdString()});
    EXPECT_EQ(escaped.exitCode, 1);
    EXPECT_TRUE(escaped.Said("Facility name can not contain \"/\" or \"\\\""));
    EXPECT_FALSE(QFileInfo::exists(dir.Path("escape.qfd")));
    EXPECT_TRUE(QDir(dir.Path("in")).isEmpty());
    Result renamed = On({"--yes", "facility", "set", "--name", ".."});
    EXPECT_EQ(renamed.exitCode, 1);
    EXPECT_TRUE(renamed.Said("Facility name can not be \".\" or \"..\""));
    EXPECT_EQ(Json({"facility", "show"}).object()["Name"].toString(), "Acme");
}

TEST_F(AdminCliTest, FacilitySetRefusesWhatNoControlOfTheSheetHolds) {
    const QJsonObject before = Json({"facility", "show"}).object();
    Result refused = On({"--yes", "facility", "set", "--dst-ahead-month", "13", "--dst-ahead-day",
                         "77", "--card-expire-format", "200", "--daylight-savings", "99"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.Said("Card expiration date format must be from 0 to 13"));
    EXPECT_EQ(Json({"facility", "show"}).object(), before);
    Result month =
        On({"--yes", "facility", "set", "--dst-back-month", "200", "--dst-back-day", "1"});
    EXPECT_EQ(month.exitCode, 1);
    EXPECT_TRUE(month.Said("Daylight savings end month must be from 0 (January) to 11 (December)"));
    Result accepted = On({"--yes", "facility", "set", "--dst-ahead-month", "2", "--dst-ahead-day",
                          "2", "--dst-back-month", "9", "--dst-back-day", "1"});
    EXPECT_EQ(accepted.exitCode, 0) << accepted.err;
    const QJsonObject after = Json({"facility", "show"}).object();
    EXPECT_EQ(after["DSTAheadMonth"].toInt(), 2);
    EXPECT_EQ(after["DSTBackDay"].toInt(), 1);
    EXPECT_EQ(after["Revision"].toInt(), 2);
}

}  // namespace
}  // namespace tandrel::testing
