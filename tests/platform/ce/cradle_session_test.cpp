// The desktop's session on a cradled handheld: reaching it, losing it, and
// the partnership it leaves in the desktop's settings.
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>

#include "platform/ce/partnership.h"
#include "tests/platform/ce/store_fixture.h"

namespace ce::testing {
namespace {

class CradleTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        settings.setValue(kCradleStoreKey, path);
    }
    void SetIdent(const char* name, const QString& text) {
        HKey key = 0;
        ASSERT_EQ(store->RegCreateKeyEx(HKEY_LOCAL_MACHINE, kIdentKey, key), 0u);
        QByteArray data(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        ASSERT_EQ(store->RegSetValueEx(key, name, REG_SZ, data), 0u);
        ASSERT_EQ(store->RegCloseKey(key), 0u);
    }
    std::unique_ptr<CradleSession> Connect() {
        std::uint32_t error = 0;
        auto session = ConnectCradle(settings, error, 100);
        EXPECT_EQ(error, 0u);
        return session;
    }
    QSettings settings{dir.Path("desktop.ini"), QSettings::IniFormat};
};

TEST_F(CradleTest, ConnectingWaitsABoundedTimeForTheHandheld) {
    // The handheld program holds its store: no session.
    QElapsedTimer timer;
    timer.start();
    std::uint32_t error = 0;
    EXPECT_EQ(CradleSession::Connect(path, error, 150), nullptr);
    EXPECT_EQ(error, ERROR_SHARING_VIOLATION);
    EXPECT_GE(timer.elapsed(), 150);
    EXPECT_LT(timer.elapsed(), 1500);
    EXPECT_EQ(CradleSession::Connect(dir.Path("absent"), error, 0), nullptr);
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    settings.remove(kCradleStoreKey);
    EXPECT_EQ(ConnectCradle(settings, error, 0), nullptr);
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    // Once it lets go the desktop gets in, and then keeps the handheld
    // program out until the session ends.
    store.reset();
    auto session = CradleSession::Connect(path, error, 0);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(ObjectStore::Open(path, error), nullptr);
    session.reset();
    EXPECT_NE(ObjectStore::Open(path, error), nullptr);
}

TEST_F(CradleTest, AStoreThatVanishesIsALostConnection) {
    Create("TDXPGM", {{0x00010013, 0}});
    store.reset();
    auto session = Connect();
    ASSERT_NE(session, nullptr);
    Oid oid = 0;
    Handle handle = 0;
    ASSERT_EQ(session->OpenDatabase(oid, "TDXPGM", 0, CEDB_AUTOINCREMENT, handle), 0u);
    const QByteArray image = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    ASSERT_TRUE(QFile::remove(path));
    Oid written = 0;
    EXPECT_EQ(session->WriteRecordProps(handle, 0, {PropVal::UI4(1, 1)}, written),
              kErrorConnectionLost);
    // A file put back under the same name is another handheld's: the
    // session stays lost.
    QFile back(path);
    ASSERT_TRUE(back.open(QIODevice::WriteOnly));
    back.write(image);
    back.close();
    EXPECT_EQ(session->CloseHandle(handle), kErrorConnectionLost);
    EXPECT_TRUE(session->Lost());
}

TEST_F(CradleTest, AHandheldSeenFirstGetsAPartnershipNamedFromItsRegistry) {
    SetIdent("Name", "Warehouse 2");
    SetIdent("Desc", "Night shift");
    store.reset();
    std::uint32_t id = 0;
    {
        auto session = Connect();
        ASSERT_NE(session, nullptr);
        ASSERT_EQ(session->GetDeviceId(id), 0u);
        EXPECT_NE(id, 0u);
        Partnership p;
        ASSERT_TRUE(ReadPartnership(settings, *session, p));
        EXPECT_EQ(p.displayName, "Warehouse 2");
        EXPECT_EQ(p.description, "Night shift");
    }
    // The id stays with the handheld; a renamed partnership stays renamed.
    const QString group =
        "Partnerships/" + QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0')).toUpper();
    ASSERT_TRUE(settings.contains(group + "/DisplayName"));
    settings.setValue(group + "/DisplayName", "Renamed");
    auto session = Connect();
    std::uint32_t again = 0;
    ASSERT_EQ(session->GetDeviceId(again), 0u);
    EXPECT_EQ(again, id);
    Partnership p;
    ASSERT_TRUE(ReadPartnership(settings, *session, p));
    EXPECT_EQ(p.displayName, "Renamed");
    // A partnership missing either value cannot be read.
    settings.remove(group + "/Description");
    EXPECT_FALSE(ReadPartnership(settings, *session, p));
    EXPECT_TRUE(p.displayName.isEmpty());
    EXPECT_TRUE(p.description.isEmpty());
}

TEST_F(CradleTest, AnUnnamedHandheldGetsTheDefaultNameAndLongTextsAreCut) {
    SetIdent("Desc", QString(300, QChar(0x00E9)));  // two bytes each
    store.reset();
    auto session = Connect();
    ASSERT_NE(session, nullptr);
    Partnership p;
    ASSERT_TRUE(ReadPartnership(settings, *session, p));
    EXPECT_EQ(p.displayName, kDefaultDeviceName);
    EXPECT_EQ(p.description, QString(127, QChar(0x00E9)));
}

}  // namespace
}  // namespace ce::testing
