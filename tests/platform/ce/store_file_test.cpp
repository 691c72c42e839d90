// The store file: one program at a time, committed changes survive a crash,
// damaged files are refused rather than trusted.
#include <QFile>

#include <sys/wait.h>
#include <unistd.h>

#include "tests/platform/ce/store_fixture.h"

namespace ce::testing {
namespace {

std::uint32_t RecordCount(ObjectStore& store, const QString& name) {
    Oid oid = 0;
    Handle handle = 0;
    if (store.OpenDatabase(oid, name, 0, 0, handle) != 0) return 0xFFFFFFFF;
    ObjectInfo info;
    store.OidGetInfo(oid, info);
    store.CloseHandle(handle);
    return info.database.recordCount;
}

TEST_F(StoreTest, OneProgramAtATime) {
    Handle h = Create("TDXPGM", {{0x00010013, 0}});
    Write(h, {PropVal::UI4(1, 1)});
    std::uint32_t error = 0;
    EXPECT_EQ(ObjectStore::Open(path, error), nullptr);
    EXPECT_EQ(error, ERROR_SHARING_VIOLATION);
    store.reset();  // the first program lets go; what it wrote is there
    auto second = ObjectStore::Open(path, error);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(RecordCount(*second, "TDXPGM"), 1u);
    EXPECT_EQ(ObjectStore::Open(dir.Path("none"), error), nullptr);
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
}

// A store holds PINs and codes.
TEST_F(StoreTest, ANewStoreIsReadableByItsOwnerOnly) {
    EXPECT_EQ(QFile::permissions(path),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    std::uint32_t error = 0;
    EXPECT_EQ(ObjectStore::Open(dir.Path("no/such/folder/x.store"), error, true), nullptr);
    EXPECT_FALSE(QFile::exists(dir.Path("no/such/folder/x.store")));
}

TEST_F(StoreTest, ACrashKeepsWhatWasCommittedAndNothingHalfDone) {
    store.reset();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::uint32_t error = 0;
        auto crashing = ObjectStore::Open(path, error);
        Oid oid = 0, written = 0;
        Handle h = 0;
        crashing->CreateDatabase("TDXPGM", 1, {{0x00010013, 0}}, oid);
        crashing->OpenDatabase(oid, {}, 0, 0, h);
        for (std::uint32_t k = 0; k < 10; ++k)
            crashing->WriteRecordProps(h, 0, {PropVal::UI4(1, k)}, written);
        crashing->CloseHandle(h);  // committed
        crashing->OpenDatabase(oid, {}, 0, 0, h);
        for (std::uint32_t k = 0; k < 5; ++k)
            crashing->WriteRecordProps(h, 0, {PropVal::UI4(1, k)}, written);
        _exit(0);  // no close, no commit
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    std::uint32_t error = 0;
    auto after = ObjectStore::Open(path, error);
    ASSERT_NE(after, nullptr) << error;
    EXPECT_EQ(RecordCount(*after, "TDXPGM"), 10u);
}

TEST_F(StoreTest, DamagedFilesAreRefused) {
    store.reset();
    QFile junk(dir.Path("junk"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(3000, 'j'));
    junk.close();
    std::uint32_t error = 0;
    EXPECT_EQ(ObjectStore::Open(junk.fileName(), error), nullptr);
    EXPECT_EQ(error, ERROR_INVALID_DATA);
    {
        dao::sqlite::Connection other;
        other.Open(dir.Path("other"), true);
        other.Exec("CREATE TABLE meta(name, value)");
    }
    EXPECT_EQ(ObjectStore::Open(dir.Path("other"), error), nullptr);
    EXPECT_EQ(error, ERROR_INVALID_DATA);
    // A store with anything in its schema the store would not have made.
    for (const char* extra :
         {"CREATE VIEW v AS SELECT 1", "CREATE TABLE r9(x)", "CREATE INDEX r1_s2 ON meta(value)",
          "CREATE TRIGGER t AFTER INSERT ON meta BEGIN SELECT 1; END"}) {
        QFile::remove(path);
        ASSERT_NE(ObjectStore::Open(path, error, true), nullptr);
        {
            dao::sqlite::Connection raw;
            raw.Open(path, false);
            raw.Exec(extra);
        }
        EXPECT_EQ(ObjectStore::Open(path, error), nullptr) << extra;
        EXPECT_EQ(error, ERROR_INVALID_DATA);
    }
}

// Only a new store is ever made: a file that is not one is refused as it
// is, never turned into a database.
TEST_F(StoreTest, AFileThatIsNoStoreIsLeftUnchanged) {
    store.reset();
    const QString empty = dir.Path("empty");
    QFile(empty).open(QIODevice::WriteOnly);
    {
        dao::sqlite::Connection other;
        other.Open(dir.Path("other"), true);
        other.Exec("CREATE TABLE notes(text)");
    }
    for (const QString& file : {empty, dir.Path("other")}) {
        QFile before(file);
        ASSERT_TRUE(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        before.close();
        std::uint32_t error = 0;
        EXPECT_EQ(ObjectStore::Open(file, error), nullptr);
        EXPECT_EQ(error, ERROR_INVALID_DATA);
        QFile after(file);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_EQ(after.readAll(), bytes) << file;
    }
}

TEST_F(StoreTest, ADamagedRecordFailsItsReadOnly) {
    Oid oid = 0;
    Handle h = Create("TDXPGM", {{0x00010013, 0}}, &oid);
    Write(h, {PropVal::UI4(1, 1), PropVal::UI2(2, 1)});
    Write(h, {PropVal::UI4(1, 2), PropVal::UI2(2, 2)});
    store.reset();
    {
        dao::sqlite::Connection raw;
        raw.Open(path, false);
        raw.Exec("UPDATE r" + std::to_string(oid) + " SET props = X'0100' WHERE s1 = 1");
    }
    store = Reopen();
    Handle again = 0;
    ASSERT_EQ(store->OpenDatabase(oid, {}, 0, CEDB_AUTOINCREMENT, again), 0u);
    Record props;
    Oid read = 0;
    EXPECT_EQ(store->ReadRecordProps(again, props, read), ERROR_INVALID_DATA);
    EXPECT_FALSE(store->Failed());
    Oid found = 0;
    PropVal key = PropVal::UI4(1, 2);
    ASSERT_EQ(store->SeekDatabase(again, CEDB_SEEK_VALUEFIRSTEQUAL, 0, &key, found), 0u);
    EXPECT_EQ(ReadTags(again), std::vector<std::uint32_t>{2});
}

}  // namespace
}  // namespace ce::testing
