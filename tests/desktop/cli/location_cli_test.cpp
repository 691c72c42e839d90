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
