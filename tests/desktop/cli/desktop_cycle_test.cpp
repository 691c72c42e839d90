// The whole desktop cycle with a handheld, as the demo runs it: enrol the
// handheld, give it its locks, program them, let the handheld visit the
// locks and bring back their audit trail, exchange again.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sstream>

#include "desktop/app/app_settings.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/scripted_prompter.h"
#include "tests/desktop/admin/admin_test_support.h"
#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"
#include "tools/ferrow_standin/standin.h"

namespace tandrel::testing {
namespace {

class DesktopCycle : public ::testing::Test {
  protected:
    CliResult Run(const std::vector<std::string>& args) {
        CliResult r = RunOnFacility(dir, "Demo", args);
        EXPECT_EQ(r.exitCode, 0) << args[0] << " " << (args.size() > 1 ? args[1] : "") << ": "
                                 << r.err;
        return r;
    }
    void Visit(const std::string& script) {
        std::istringstream in(script);
        std::ostringstream out, err;
        ASSERT_EQ(ferrow_standin::Run({store.toStdString(), "-"}, in, out, err), 0) << err.str();
    }
    std::string Store() const { return store.toStdString(); }

    TempDir dir;
    QString store = dir.Path("handheld.store");
};

TEST_F(DesktopCycle, ProgrammingDeliveredAndAuditCollectedLeaveTheFacilityCurrent) {
    Run({"create", "--name", "Demo", "--folder", dir.Root().toStdString()});
    Run({"location", "add", "\\Main\\"});
    Run({"lock", "add", "--name", "Front", "--location", "\\Main\\"});
    Run({"lock", "add", "--name", "Back", "--location", "\\Main\\"});
    Run({"user", "add", "--last", "Lee", "--first", "Ann", "--id", "1111", "--type", "general",
         "--pin", "432"});
    Run({"user", "add", "--last", "Ito", "--first", "Ken", "--id", "2222", "--type", "general",
         "--pin", "876"});
    Run({"enrol", "Lee", "\\Main\\"});
    Run({"enrol", "Ito", "Back"});

    Run({"device", "enrol", "--handheld", Store()});
    Run({"device", "assign", "Handheld", "\\Main\\"});
    Run({"exchange", "--handheld", Store(), "--program", "all"});

    // The handheld visits both locks; Back's log names both users and a
    // refused card without a user slot, and its battery runs low.
    Visit(
        "visit 1 2026-12-08 09:00 volts=5900 hw=3 fw=0x0205 drive=10 cards=4\n"
        "visit 2 2026-12-08 09:10 volts=4000 hw=3 fw=0x0205 drive=20 cards=8\n"
        "audit 2 41\n"
        "  event entry 2026-12-08 08:01 0\n"
        "  event entry 2026-12-08 08:02 1\n"
        "  event attempt 2026-12-08 08:03 none\n"
        "  status 2026-12-08 09:10 volts=4000 hw=3 fw=0x0205 drive=20 cards=8\n"
        "end\n");
    CliResult exchanged = Run({"exchange", "Handheld", "--handheld", Store()});
    EXPECT_TRUE(exchanged.Said("One or more low lock batteries")) << exchanged.err;

    // The facility as the desktop now sees it.
    AppSettings settings(dir.Path("s.ini"));
    FacilitySession session;
    ScriptedPrompter prompter;
    CTDXDoc doc(session, settings, prompter);
    ASSERT_TRUE(doc.OpenFacility(dir.Path("Demo.qfd")));
    dao::Database& db = doc.Db();
    EXPECT_EQ(IntOf(db, "SELECT count(*) FROM \"Users to Locks\" WHERE \"Record State\" <> 1"), 0);
    EXPECT_EQ(IntOf(db,
                    "SELECT count(*) FROM \"Users to Locks\" WHERE \"Download User Rev "
                    "Number\" < 0"),
              0)
        << "every user revision delivered";
    EXPECT_EQ(IntOf(db, "SELECT count(*) FROM \"Users to Locks\""), 3);
    EXPECT_EQ(IntOf(db,
                    "SELECT count(*) FROM Locks WHERE \"Record State\" = 1 AND \"Pending "
                    "Action Counter\" = 0 AND \"Device Link State\" = 1 AND \"Downloaded "
                    "Facility Rev\" >= 0 AND \"Downloaded UG Table Rev\" >= 0"),
              2);
    EXPECT_EQ(IntOf(db, "SELECT \"Supply Volts\" FROM Locks WHERE Name = 'Back'"), 4000);
    EXPECT_EQ(IntOf(db, "SELECT \"Record State\" FROM \"Handheld PCs\""), 1);

    const qint64 lee = IntOf(db, "SELECT \"User Key\" FROM Users WHERE \"Last Name\" = 'Lee'");
    const qint64 ito = IntOf(db, "SELECT \"User Key\" FROM Users WHERE \"Last Name\" = 'Ito'");
    const auto slotOf = [&](qint64 user) {
        return IntOf(db, QStringLiteral("SELECT \"Lock User Index\" FROM \"Users to Locks\" WHERE "
                                        "\"Lock Index\" = 2 AND \"User Index\" = %1")
                             .arg(user));
    };
    ASSERT_EQ(slotOf(lee), 0);
    ASSERT_EQ(slotOf(ito), 1);
    EXPECT_EQ(TextOf(db,
                     "SELECT group_concat(AuditKey || ':' || UserKey || ':' || Event || ':' || "
                     "datetime(TimeStamp, 'unixepoch'), ' | ') FROM (SELECT * FROM \"Audit "
                     "Data\" WHERE LockKey = 2 ORDER BY AuditKey DESC)"),
              QStringLiteral("41:%1:3:2026-12-08 08:01:00 | 40:%2:3:2026-12-08 08:02:00 | "
                             "39:1:4:2026-12-08 08:03:00")
                  .arg(lee)
                  .arg(ito));
    doc.CloseFacility();

    CliResult audit = Run({"--json", "audit", "list", "--lock", "Back"});
    const QJsonArray rows = QJsonDocument::fromJson(QByteArray::fromStdString(audit.out)).array();
    EXPECT_EQ(rows.size(), 3) << audit.out;
}

}  // namespace
}  // namespace tandrel::testing
