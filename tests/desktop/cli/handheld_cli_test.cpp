#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/ce/object_store.h"
#include "tests/desktop/cli/cli_run.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"

namespace tandrel::testing {
namespace {

using Result = CliResult;

class HandheldCli : public ::testing::Test {
  protected:
    void SetUp() override {
        std::uint32_t error = 0;
        auto store = ce::ObjectStore::Open(path, error, true);
        ASSERT_EQ(error, 0u);
        ce::Oid pgm = 0, ldf = 0, written = 0;
        ce::Handle h = 0;
        ASSERT_EQ(store->CreateDatabase("TDXLDF", 0x04746478, {{0x00010012, 0}}, ldf), 0u);
        ASSERT_EQ(store->CreateDatabase("TDXPGM", 0x04746478, {{0x00010013, 0}}, pgm), 0u);
        ASSERT_EQ(store->OpenDatabase(pgm, {}, 0, 0, h), 0u);
        for (std::uint32_t key : {0x00020000u, 0x00010000u}) {
            ASSERT_EQ(store->WriteRecordProps(h, 0,
                                              {ce::PropVal::UI4(1, key), ce::PropVal::UI2(2, 0x20),
                                               ce::PropVal::Blob(3, QByteArray("\x01\x02\xFF", 3))},
                                              written),
                      0u);
        }
        ASSERT_EQ(store->OpenDatabase(ldf, {}, 0, 0, h), 0u);
        ASSERT_EQ(store->WriteRecordProps(h, 0, {ce::PropVal::Text(2, "Building A")}, written), 0u);
        ce::HKey key = 0;
        ASSERT_EQ(store->RegCreateKeyEx(ce::HKEY_LOCAL_MACHINE, "Software\\Data", key), 0u);
        ASSERT_EQ(store->RegSetValueEx(key, "Facility", ce::REG_DWORD, QByteArray("\x10\0\0\0", 4)),
                  0u);
        ASSERT_EQ(store->RegSetValueEx(key, "Version", ce::REG_SZ, QByteArray("1\0.\0", 4)), 0u);
    }
    Result Run(std::vector<std::string> args) { return RunCapturing(args); }
    TempDir dir;
    QString path = dir.Path("handheld.store");
};

TEST_F(HandheldCli, DumpShowsDatabasesRecordsAndRegistry) {
    Result r = Run({"handheld", "dump", path.toStdString()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "database TDXLDF (type 0x04746478, sort 0x00010012, 1 records)\n"
              "  record 1\n"
              "    0x0002001F CEVT_LPWSTR Building A\n"
              "database TDXPGM (type 0x04746478, sort 0x00010013, 2 records)\n"
              "  record 2\n"
              "    0x00010013 CEVT_UI4 65536 (0x00010000)\n"
              "    0x00020012 CEVT_UI2 32 (0x00000020)\n"
              "    0x00030041 CEVT_BLOB 01 02 FF\n"
              "  record 1\n"
              "    0x00010013 CEVT_UI4 131072 (0x00020000)\n"
              "    0x00020012 CEVT_UI2 32 (0x00000020)\n"
              "    0x00030041 CEVT_BLOB 01 02 FF\n"
              "registry\n"
              "  HKEY_LOCAL_MACHINE\\Software\\Data\n"
              "    Facility REG_DWORD 16 (0x00000010)\n"
              "    Version REG_SZ 1.\n");

    Result json = Run({"--json", "handheld", "dump", path.toStdString()});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    QJsonObject dump = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    QJsonObject pgm = dump["databases"].toArray()[1].toObject();
    EXPECT_EQ(pgm["name"].toString(), "TDXPGM");
    QJsonObject first = pgm["records"].toArray()[0].toObject();
    EXPECT_EQ(first["properties"].toArray()[0].toObject()["value"].toInteger(), 0x00010000);
    EXPECT_EQ(first["properties"].toArray()[2].toObject()["value"].toString(), "01 02 FF");
    QJsonObject facility = dump["registry"].toArray()[0].toObject();
    EXPECT_EQ(facility["key"].toString(), "Software\\Data");
    EXPECT_EQ(facility["value"].toInteger(), 16);
}

TEST_F(HandheldCli, DumpNamesWhyItCannotReadAStore) {
    const std::string none = dir.Path("none").toStdString();
    Result missing = Run({"handheld", "dump", none});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.Said("The handheld store " + none + " was not found.")) << missing.err;

    std::uint32_t error = 0;
    auto held = ce::ObjectStore::Open(path, error);
    Result busy = Run({"handheld", "dump", path.toStdString()});
    EXPECT_EQ(busy.exitCode, 1);
    EXPECT_TRUE(busy.Said("is in use by another program.")) << busy.err;
    held.reset();

    // Neither an empty file nor another program's file is a store, and
    // looking at them leaves them as they were.
    for (const QByteArray& content : {QByteArray(), QByteArray("just text\n")}) {
        const QString file = dir.Path("foreign");
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        out.close();
        Result foreign = Run({"handheld", "dump", file.toStdString()});
        EXPECT_EQ(foreign.exitCode, 1);
        EXPECT_TRUE(foreign.Said(file.toStdString() + " is not a handheld store.")) << foreign.err;
        EXPECT_EQ(QFileInfo(file).size(), content.size());
    }
    EXPECT_EQ(Run({"handheld", "dump"}).exitCode, 2);
    EXPECT_EQ(Run({"handheld", "list"}).exitCode, 2);
}

}  // namespace
}  // namespace tandrel::testing
