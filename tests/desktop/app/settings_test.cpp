#include <gtest/gtest.h>

#include <QFile>

#include "desktop/app/app_settings.h"
#include "desktop/app/startup.h"
#include "desktop/data/scripted_prompter.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace tandrel::testing {
namespace {

class SettingsTest : public ::testing::Test {
  protected:
    TempDir dir;
    AppSettings settings{dir.Path("settings.ini")};
    ScriptedPrompter prompter;
};

TEST_F(SettingsTest, SixFacilitiesLeaveFiveInTheMenuNewestFirst) {
    const QString folder = dir.Path("Facilities");
    for (int i = 1; i <= 6; ++i) settings.RecordRecentFacility(folder + QString("/F%1.qfd").arg(i));
    QStringList menu = RecentMenuTexts(settings.RecentFacilities(), folder);
    EXPECT_EQ(menu, (QStringList{"&1 F6", "&2 F5", "&3 F4", "&4 F3", "&5 F2"}));
    // The oldest shown entry moved into the sixth place, which is not shown.
    EXPECT_EQ(settings.RecentFacilities()[5], folder + "/F1.qfd");
    // Reopening the third moves it to the top without a duplicate.
    settings.RecordRecentFacility(folder + "/F4.qfd");
    menu = RecentMenuTexts(settings.RecentFacilities(), folder);
    EXPECT_EQ(menu, (QStringList{"&1 F4", "&2 F6", "&3 F5", "&4 F3", "&5 F2"}));
}

TEST_F(SettingsTest, FacilitiesElsewhereShowTheirFullPath) {
    settings.RecordRecentFacility("/srv/other/Site.qfd");
    settings.RecordRecentFacility(dir.Path("Facilities") + "/Home.qfd");
    EXPECT_EQ(RecentMenuTexts(settings.RecentFacilities(), dir.Path("FACILITIES")),
              (QStringList{"&1 Home", "&2 /srv/other/Site.qfd"}));
    EXPECT_TRUE(RecentMenuTexts({"", "/x/y.qfd"}, "/x").isEmpty());
}

TEST_F(SettingsTest, ComPortIsWrittenAsZeroWhenMissing) {
    EXPECT_EQ(ReaderComPort(settings, prompter), 0);
    EXPECT_EQ(settings.Raw().value("COMPort").toInt(), 0);
    settings.Raw().setValue("COMPort", 3);
    EXPECT_EQ(ReaderComPort(settings, prompter), 3);
    EXPECT_TRUE(prompter.Shown().isEmpty());
}

TEST_F(SettingsTest, TheLastFacilityIsReopenedOnlyWhenItIsThere) {
    EXPECT_FALSE(LastFacilityToReopen(settings, prompter));
    const QString path = dir.Path("Gone.qfd");
    settings.SetCurrentDBPath(path);
    EXPECT_FALSE(LastFacilityToReopen(settings, prompter));
    EXPECT_EQ(prompter.Shown(), QStringList{"Can not find last used facility\n'" + path + "'"});
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.close();
    EXPECT_EQ(LastFacilityToReopen(settings, prompter), path);
}

TEST_F(SettingsTest, PurgeDialogDefaultsAndChoicesPersist) {
    EXPECT_TRUE(settings.PurgeDialog().purge);
    EXPECT_EQ(settings.PurgeDialog().dateSpanDays, 90);
    settings.SetPurgeDialog({false, -1});
    AppSettings again(dir.Path("settings.ini"));
    EXPECT_FALSE(again.PurgeDialog().purge);
    EXPECT_EQ(again.PurgeDialog().dateSpanDays, -1);
}

}  // namespace
}  // namespace tandrel::testing
