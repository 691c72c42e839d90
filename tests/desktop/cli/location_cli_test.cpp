#include <gtest/gtest.h>

#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace tandrel::testing {
namespace {

using Result = CliResult;

class LocationCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", "--name", "Acme", "--folder", dir.Root().toStdString()}).exitCode,
                  0);
    }
    Result Run(const std::vector<std::string>& args) { return RunOnFacility(dir, "Acme", args); }
    TempDir dir;
};

TEST_F(LocationCli, LocationsAndTheirLocks) {
    EXPECT_EQ(Run({"location", "add", "\\Building A\\"}).out, "2\n");
    EXPECT_EQ(Run({"location", "add", "\\Building A\\East\\"}).out, "3\n");
    Result twice = Run({"location", "add", "\\Building A\\east\\"});
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_NE(twice.err.find("Location Name Already In Use"), std::string::npos);
    ASSERT_EQ(Run({"lock", "add", "--name", "Door", "--location", "\\Building A\\East\\"}).exitCode,
              0);
    EXPECT_EQ(Run({"location", "list"}).out, "2\t\\Building A\\\n3\t\\Building A\\East\\\n");
    EXPECT_EQ(Run({"location", "list", "\\Building A\\"}).out, "location\t3\tEast\n");

    ASSERT_EQ(Run({"location", "rename", "\\Building A\\", "North"}).exitCode, 0);
    Result lock = Run({"lock", "show", "Door"});
    EXPECT_NE(lock.out.find("path: \\North\\East\\"), std::string::npos);

    Result busy = Run({"location", "delete", "\\North\\East\\"});
    EXPECT_EQ(busy.exitCode, 1);
    EXPECT_NE(busy.err.find("Location Is Not Empty -- Unable To Delete."), std::string::npos);
    EXPECT_EQ(Run({"location", "refresh", "\\North\\"}).exitCode, 0);
    EXPECT_EQ(Run({"lock", "refresh", "Door"}).exitCode, 0);
    Result removed = Run({"lock", "remove", "Door"});
    EXPECT_EQ(removed.exitCode, 0);
    EXPECT_NE(removed.err.find("Remove '\\North\\East\\Door'?"), std::string::npos);
    EXPECT_EQ(Run({"location", "delete", "\\North\\East\\"}).exitCode, 0);
    EXPECT_EQ(Run({"location", "list"}).out, "2\t\\North\\\n");
    EXPECT_EQ(Run({"location", "delete", "\\Nowhere\\"}).exitCode, 2);
}

// Lock names are unique within a location, so a name shared across
// locations is told apart by its path; a look-up never picks one silently.
TEST_F(LocationCli, ASharedLockNameIsToldApartByItsPath) {
    ASSERT_EQ(Run({"location", "add", "\\A\\"}).exitCode, 0);
    ASSERT_EQ(Run({"location", "add", "\\B\\"}).exitCode, 0);
    ASSERT_EQ(Run({"lock", "add", "--name", "Front", "--location", "\\A\\"}).out, "1\n");
    ASSERT_EQ(Run({"lock", "add", "--name", "Front", "--location", "\\B\\"}).out, "2\n");
    Result again = Run({"lock", "add", "--name", "front", "--location", "\\A\\"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.Said("Location name already in use."));

    Result shared = Run({"lock", "show", "Front"});
    EXPECT_EQ(shared.exitCode, 2);
    EXPECT_EQ(shared.err,
              "tandrel-cli: more than one lock named 'Front': \\A\\Front (key 1), \\B\\Front "
              "(key 2); give its key or its path, such as \\A\\Front\n");
    EXPECT_NE(Run({"lock", "show", "\\b\\front"}).out.find("key: 2\n"), std::string::npos);
    EXPECT_EQ(Run({"lock", "show", "\\A\\"}).exitCode, 2);
    EXPECT_TRUE(Run({"lock", "show", "\\A\\Back"}).Said("no lock at '\\A\\Back'"));
    EXPECT_TRUE(Run({"lock", "show", "\\C\\Front"}).Said("no location named '\\C\\'"));

    ASSERT_EQ(Run({"user", "add", "--last", "Lovelace", "--first", "Ada", "--id", "1234", "--type",
                   "programmer", "--pin", "123"})
                  .exitCode,
              0);
    EXPECT_EQ(Run({"enrol", "Lovelace", "Front"}).exitCode, 2);
    ASSERT_EQ(Run({"enrol", "Lovelace", "\\B\\Front"}).exitCode, 0);
    ASSERT_EQ(Run({"schedule", "add", "Day"}).exitCode, 0);
    ASSERT_EQ(Run({"schedule", "enrol", "Day", "\\A\\Front"}).exitCode, 0);
    Result user = Run({"--json", "user", "show", "Lovelace"});
    EXPECT_NE(user.out.find("\"locks\":[{\"lock\":2,"), std::string::npos) << user.out;
    EXPECT_EQ(user.out.find("\"lock\":1,"), std::string::npos) << user.out;
    Result schedule = Run({"--json", "schedule", "show", "Day"});
    EXPECT_NE(schedule.out.find("\"locks\":[{\"lock\":1,"), std::string::npos) << schedule.out;
    // A path ending in a location's name stays that location.
    ASSERT_EQ(Run({"enrol", "Lovelace", "\\A"}).exitCode, 0);
    EXPECT_NE(Run({"--json", "user", "show", "Lovelace"}).out.find("\"lock\":1,"),
              std::string::npos);
}

TEST_F(LocationCli, LocationNamesAreOneLevelOfAPath) {
    ASSERT_EQ(Run({"location", "add", "\\A\\"}).exitCode, 0);
    Result split = Run({"location", "rename", "\\A\\", "East\\Wing"});
    EXPECT_EQ(split.exitCode, 1);
    EXPECT_TRUE(split.Said("Location name can not contain"));
    Result wide = Run({"location", "add", "\\" + std::string(33, 'L') + "\\"});
    EXPECT_EQ(wide.exitCode, 1);
    EXPECT_TRUE(wide.Said("Location name can not be longer than 32 characters"));
    EXPECT_EQ(Run({"location", "list"}).out, "2\t\\A\\\n");
}

TEST_F(LocationCli, TheDepthLimit) {
    std::string path = "\\";
    for (int level = 1; level <= 6; ++level) {
        path += "L" + std::to_string(level) + "\\";
        ASSERT_EQ(Run({"location", "add", path}).exitCode, 0) << path;
    }
    Result seventh = Run({"location", "add", path + "L7\\"});
    EXPECT_EQ(seventh.exitCode, 1);
    EXPECT_NE(seventh.err.find("Facility paths can not excede 6 locations in depth"),
              std::string::npos);
}

}  // namespace
}  // namespace tandrel::testing
