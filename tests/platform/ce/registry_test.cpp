// The handheld's registry: keys and values as the CE calls see them.
#include <QtEndian>

#include "tests/platform/ce/store_fixture.h"

namespace ce::testing {
namespace {

QByteArray Dword(std::uint32_t value) {
    QByteArray data(4, '\0');
    qToLittleEndian(value, data.data());
    return data;
}

TEST_F(StoreTest, KeysAndValues) {
    HKey key = 0;
    EXPECT_EQ(store->RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\A", key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(store->RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\A\\B", key), 0u);
    ASSERT_EQ(store->RegSetValueEx(key, "Facility", REG_DWORD, Dword(1234)), 0u);
    ASSERT_EQ(store->RegSetValueEx(key, "Version", REG_SZ, QByteArray("1\0.\0", 4)), 0u);
    EXPECT_EQ(store->RegSetValueEx(key, "Short", REG_DWORD, "abc"), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(store->RegCloseKey(key), 0u);
    EXPECT_EQ(store->RegCloseKey(key), ERROR_INVALID_HANDLE);

    // Every level exists; names are compared without regard to case.
    HKey parent = 0;
    ASSERT_EQ(store->RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\a", parent), 0u);
    ASSERT_EQ(store->RegOpenKeyEx(parent, "b", key), 0u);
    std::uint32_t type = 0;
    QByteArray data;
    ASSERT_EQ(store->RegQueryValueEx(key, "FACILITY", type, data, 4), 0u);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(data, Dword(1234));
    EXPECT_EQ(store->RegQueryValueEx(key, "Version", type, data, 3), ERROR_MORE_DATA);
    EXPECT_TRUE(data.isEmpty());
    EXPECT_EQ(store->RegQueryValueEx(key, "Identity", type, data, 4), ERROR_FILE_NOT_FOUND);
    // HKEY_CURRENT_USER is a tree of its own; other roots do not exist.
    EXPECT_EQ(store->RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\A", parent), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store->RegOpenKeyEx(0x80000000, "Software", parent), ERROR_INVALID_HANDLE);
}

TEST_F(StoreTest, ADeletedKeyTakesItsSubkeysAndLeavesOpenHandlesDead) {
    HKey sub = 0, sibling = 0;
    ASSERT_EQ(store->RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\A\\B", sub), 0u);
    ASSERT_EQ(store->RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\A]", sibling), 0u);
    ASSERT_EQ(store->RegSetValueEx(sub, "V", REG_DWORD, Dword(1)), 0u);
    ASSERT_EQ(store->RegSetValueEx(sibling, "W", REG_DWORD, Dword(2)), 0u);
    ASSERT_EQ(store->RegDeleteKey(HKEY_LOCAL_MACHINE, "software\\a"), 0u);
    EXPECT_EQ(store->RegSetValueEx(sub, "V", REG_DWORD, Dword(3)), ERROR_KEY_DELETED);
    HKey key = 0;
    EXPECT_EQ(store->RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\A\\B", key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(store->RegDeleteKey(HKEY_LOCAL_MACHINE, "Software\\A"), ERROR_FILE_NOT_FOUND);
    std::vector<RegistryValue> values;
    ASSERT_EQ(store->RegistryValues(values), 0u);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].key, "Software\\A]");
    EXPECT_EQ(values[0].name, "W");
}

}  // namespace
}  // namespace ce::testing
