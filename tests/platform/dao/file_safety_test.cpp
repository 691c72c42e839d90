// The files of the engine hold PINs and codes: they are owner-only, never
// half-written, never swapped, and a full disk ends an operation cleanly.
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/dao/scratch_file.h"
#include "tests/platform/dao/dao_fixture.h"
#include "tests/support/failing_vfs.h"
#include "tests/support/fast_keys.h"
#include "tests/support/file_checks.h"

namespace dao::testing {
namespace {

QStringList Names(Database& db) {
    QStringList names;
    auto rs = db.OpenTable("People");
    rs->SetIndex("Name");
    for (; !rs->IsEOF(); rs->MoveNext()) names << rs->Value("Name").toString();
    return names;
}

void AddPeople(Database& db, int count, const QString& prefix = "P") {
    auto rs = db.OpenTable("People");
    for (int i = 0; i < count; ++i) {
        rs->AddNew();
        rs->SetValue("Name", QString("%1%2").arg(prefix).arg(i, 4, 10, QChar('0')));
        rs->Update();
    }
}

class FileSafety : public DaoTest {
  protected:
    void SetUp() override { umask_ = ::umask(022); }
    void TearDown() override {
        ::umask(umask_);
        FailingVfs::Install().FailAt(0);
    }

    // A database with a few people, closed.
    QString MakePeople(const QString& name, const QString& password = {}, int count = 3) {
        auto db = NewDatabase(name, password);
        db->CreateTable(PeopleTable());
        AddPeople(*db, count);
        return dir.Path(name);
    }

    mode_t umask_ = 0;
};

TEST_F(FileSafety, NewFilesAndTheirJournalsAreTheOwnersOnly) {
    auto db = NewDatabase("f.db", "pw-secret");
    EXPECT_EQ(ModeOf(dir.Path("f.db")), 0600);
    db->CreateTable(PeopleTable());
    Transaction transaction(*db);
    AddPeople(*db, 1);
    ASSERT_TRUE(QFileInfo::exists(dir.Path("f.db-journal")));
    EXPECT_EQ(ModeOf(dir.Path("f.db-journal")), 0600);
}

TEST_F(FileSafety, CreateNeverOpensAnExistingNameOrALink) {
    QFile::link(dir.Path("elsewhere.db"), dir.Path("link.db"));
    EXPECT_EQ(ErrorOf([&] { NewDatabase("link.db"); }), kErrDatabaseExists);
    EXPECT_FALSE(QFileInfo::exists(dir.Path("elsewhere.db")));
    EXPECT_EQ(ErrorOf([&] { Database::Create(dir.Path("no/such/folder.db")); }), kErrInvalidPath);
}

TEST_F(FileSafety, PasswordChangeThroughALinkChangesTheFileItself) {
    QDir().mkpath(dir.Path("real"));
    {
        auto db = Database::Create(dir.Path("real/f.db"), "old-pw");
        db->CreateTable(PeopleTable());
        AddPeople(*db, 2);
    }
    ASSERT_TRUE(QFile::link(dir.Path("real/f.db"), dir.Path("f.db")));
    auto db = Database::Open(dir.Path("f.db"), ";pwd=old-pw");
    EXPECT_EQ(db->Path(), dir.Path("real/f.db"));
    db->NewPassword("old-pw", "new-pw");
    db.reset();
    EXPECT_TRUE(QFileInfo(dir.Path("f.db")).isSymLink());
    EXPECT_EQ(ModeOf(dir.Path("real/f.db")), 0600);
    EXPECT_EQ(ErrorOf([&] { Database::Open(dir.Path("real/f.db"), ";pwd=old-pw"); }),
              kErrInvalidPassword);
    EXPECT_EQ(Names(*Database::Open(dir.Path("f.db"), ";pwd=new-pw")).size(), 2);
}

TEST_F(FileSafety, ScratchFilesAreUniqueExclusiveAndTheOwnersOnly) {
    const QString beside = dir.Path("f.db");
    ScratchFile one(beside, "compact");
    ScratchFile two(beside, "compact");
    EXPECT_NE(one.Path(), two.Path());
    EXPECT_TRUE(QFileInfo(one.Path()).fileName().startsWith("~f.db."));
    EXPECT_EQ(ModeOf(one.Path()), 0600);
    EXPECT_EQ(ScratchFilesBeside(beside).size(), 2);
    { ScratchFile gone(beside, "pwtmp"); }
    EXPECT_EQ(ScratchFilesBeside(beside).size(), 2) << "removed with its object";
}

TEST_F(FileSafety, AScratchFileOnlyEverMovesTheFileItMade) {
    const QString target = MakePeople("f.db");
    const QByteArray before = FileBytes(target);
    ScratchFile work(target, "compact");
    // Someone puts another file under the scratch file's name.
    QFile::remove(work.Path());
    WriteBytes(work.Path(), "not the work file");
    EXPECT_EQ(ErrorOf([&] { work.RenameOver(target); }), kErrDiskIo);
    EXPECT_EQ(FileBytes(target), before);
    EXPECT_EQ(ErrorOf([&] { work.MoveToNewName(dir.Path("copy.db")); }), kErrDiskIo);
    EXPECT_FALSE(QFileInfo::exists(dir.Path("copy.db")));
}

TEST_F(FileSafety, LeftoversOfAKilledRunGoAtTheNextOpenButNotThoseOfALiveRun) {
    const QString path = MakePeople("f.db");
    // What a killed run leaves: scratch files nobody holds, and a journal.
    WriteBytes(dir.Path("~f.db.AbCdEf12.compact"), "x");
    WriteBytes(dir.Path("~f.db.AbCdEf12.compact-journal"), "x");
    WriteBytes(dir.Path("~f.db.Zz9Zz9Zz.pwtmp"), "x");
    ScratchFile live(path, "compact");
    // Look-alikes of other files stay.
    WriteBytes(dir.Path("~f.db.short.compact"), "x");
    WriteBytes(dir.Path("~g.db.AbCdEf12.compact"), "x");
    Database::Open(path);
    EXPECT_EQ(ScratchFilesBeside(path), QStringList{live.Path()});
    EXPECT_TRUE(QFileInfo::exists(dir.Path("~f.db.short.compact")));
    EXPECT_TRUE(QFileInfo::exists(dir.Path("~g.db.AbCdEf12.compact")));
}

TEST_F(FileSafety, ABackupIsAConsistentOwnerOnlyCopyThatNeverReplacesAFile) {
    const QString path = MakePeople("f.db", "pw-secret");
    auto db = Database::Open(path, ";pwd=pw-secret");
    db->BackupTo(dir.Path("copy.db"));
    EXPECT_EQ(ModeOf(dir.Path("copy.db")), 0600);
    EXPECT_EQ(Names(*Database::Open(dir.Path("copy.db"), ";pwd=pw-secret")).size(), 3);

    WriteBytes(dir.Path("taken.db"), "mine");
    EXPECT_EQ(ErrorOf([&] { db->BackupTo(dir.Path("taken.db")); }), kErrDatabaseExists);
    EXPECT_EQ(FileBytes(dir.Path("taken.db")), "mine");
    QFile::link(dir.Path("nowhere.db"), dir.Path("dangling.db"));
    EXPECT_EQ(ErrorOf([&] { db->BackupTo(dir.Path("dangling.db")); }), kErrDatabaseExists);
    EXPECT_FALSE(QFileInfo::exists(dir.Path("nowhere.db")));
    db->BeginTrans();
    EXPECT_EQ(ErrorOf([&] { db->BackupTo(dir.Path("during.db")); }), kErrNotInTransaction);
    db->Rollback();
    EXPECT_TRUE(ScratchFilesBeside(dir.Path("copy.db")).isEmpty());
}

// Disk full ----------------------------------------------------------------

TEST_F(FileSafety, AFullDiskInATransactionRollsBackAtEveryWrite) {
    FailingVfs& vfs = FailingVfs::Install();
    const QString pristine = MakePeople("pristine.db");
    const QString path = dir.Path("f.db");
    auto work = [&](Database& db) {
        Transaction outer(db);
        AddPeople(db, 50, "Q");
        Transaction inner(db);
        AddPeople(db, 400, "R");  // more than the cache holds: pages spill
        inner.Commit();
        outer.Commit();
    };
    long writes = 0;
    for (long n = 0; n == 0 || n <= writes; ++n) {
        QFile::remove(path);
        QFile::copy(pristine, path);
        auto db = Database::Open(path);
        vfs.FailAt(n);
        int error = ErrorOf([&] { work(*db); });
        const long counted = vfs.Count();
        vfs.FailAt(0);
        if (n == 0) {
            writes = counted;
            ASSERT_GT(writes, 3);
            continue;
        }
        ASSERT_EQ(error, kErrDiskFull) << n;
        EXPECT_EQ(db->TransactionDepth(), 0) << n;
        // All or nothing was kept (a commit is whole before its journal is
        // done with), and the database goes on working.
        const auto kept = Names(*db).size();
        EXPECT_TRUE(kept == 3 || kept == 453) << n << ": " << kept;
        AddPeople(*db, 1, "S");
        db.reset();
        EXPECT_EQ(Names(*Database::Open(path)).size(), kept + 1) << n;
    }
}

TEST_F(FileSafety, WritingOnAfterTheEngineRolledBackIsRefused) {
    FailingVfs& vfs = FailingVfs::Install();
    auto db = NewDatabase("f.db");
    db->CreateTable(PeopleTable());
    db->BeginTrans();
    db->BeginTrans();
    AddPeople(*db, 10, "A");
    // A full disk while the journal is written rolls everything back.
    vfs.FailAt(1);
    EXPECT_EQ(ErrorOf([&] { AddPeople(*db, 400, "B"); }), kErrDiskFull);
    vfs.FailAt(0);
    ASSERT_TRUE(sqlite3_get_autocommit(db->Connection().Handle()));
    // Each change would now be committed alone.
    EXPECT_EQ(ErrorOf([&] { AddPeople(*db, 1, "C"); }), kErrNoTransaction);
    EXPECT_EQ(ErrorOf([&] { db->BeginTrans(); }), kErrNoTransaction);
    EXPECT_EQ(ErrorOf([&] { db->CommitTrans(); }), kErrNoTransaction);
    EXPECT_EQ(ErrorOf([&] { db->Rollback(); }), 0);
    EXPECT_EQ(ErrorOf([&] { db->Rollback(); }), 0);
    EXPECT_EQ(db->TransactionDepth(), 0);
    EXPECT_TRUE(Names(*db).isEmpty());
}

// Runs `operation` on the database at `path` with each of its writes
// failing in turn (counted on a copy first); after each failure `check`
// sees the error number.
template <typename Operation, typename Check>
void AtEveryFailingWrite(const QString& path, Operation operation, Check check) {
    FailingVfs& vfs = FailingVfs::Install();
    FastKeys fast;
    const QString copy = path + ".count";
    QFile::copy(path, copy);
    vfs.FailAt(0);
    operation(copy);
    const long writes = vfs.Count();
    ASSERT_GT(writes, 0);
    for (long n = 1; n <= writes; ++n) {
        vfs.FailAt(n);
        int error = ErrorOf([&] { operation(path); });
        vfs.FailAt(0);
        check(n, error);
    }
}

TEST_F(FileSafety, AFullDiskDuringAPasswordChangeLeavesTheOldFileAndNoScratch) {
    FastKeys fast;
    const QString path = MakePeople("f.db", "old-pw", 200);
    AtEveryFailingWrite(
        path,
        [](const QString& file) {
            Database::Open(file, ";pwd=old-pw")->NewPassword("old-pw", "new-pw");
        },
        [&](long n, int error) {
            EXPECT_EQ(error, kErrDiskFull) << n;
            EXPECT_EQ(Names(*Database::Open(path, ";pwd=old-pw")).size(), 200) << n;
            EXPECT_TRUE(ScratchFilesBeside(path).isEmpty()) << n;
        });
}

TEST_F(FileSafety, AFullDiskDuringABackupLeavesNoPartialCopy) {
    FastKeys fast;
    const QString path = MakePeople("f.db", "pw-secret", 200);
    const QString backup = dir.Path("copy.db");
    AtEveryFailingWrite(
        path,
        [&](const QString& file) {
            auto db = Database::Open(file, ";pwd=pw-secret");
            db->BackupTo(file == path ? backup : backup + ".count");
        },
        [&](long n, int error) {
            EXPECT_EQ(error, kErrDiskFull) << n;
            EXPECT_FALSE(QFileInfo::exists(backup)) << n;
            EXPECT_TRUE(ScratchFilesBeside(backup).isEmpty()) << n;
            EXPECT_EQ(Names(*Database::Open(path, ";pwd=pw-secret")).size(), 200) << n;
        });
}

}  // namespace
}  // namespace dao::testing
