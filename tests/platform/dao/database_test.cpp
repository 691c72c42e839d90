#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "platform/dao/scratch_file.h"
#include "tests/platform/dao/dao_fixture.h"

namespace dao::testing {
namespace {

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

void AddPerson(Database& db, const QString& name) {
    auto rs = db.OpenTable("People");
    rs->AddNew();
    rs->SetValue("Name", name);
    rs->Update();
}

QStringList Names(Database& db) {
    QStringList names;
    auto rs = db.OpenTable("People");
    rs->SetIndex("Name");
    for (; !rs->IsEOF(); rs->MoveNext()) names << rs->Value("Name").toString();
    return names;
}

TEST_F(DaoTest, CreateAndReopenWithAndWithoutPassword) {
    for (QString password : {QString(), QStringLiteral("s3cret!")}) {
        QString name = password.isEmpty() ? "plain.db" : "secret.db";
        {
            auto db = NewDatabase(name, password);
            db->CreateTable(PeopleTable());
            AddPerson(*db, "Ada");
            EXPECT_EQ(db->HasPassword(), !password.isEmpty());
        }
        auto db = Database::Open(dir.Path(name), ";pwd=" + password);
        EXPECT_EQ(Names(*db), QStringList{"Ada"});
        EXPECT_EQ(FileBytes(dir.Path(name)).startsWith("SQLite format 3"), password.isEmpty());
    }
}

TEST_F(DaoTest, CreateRefusesAnExistingFile) {
    NewDatabase("x.db");
    EXPECT_EQ(ErrorOf([&] { NewDatabase("x.db"); }), kErrDatabaseExists);
}

TEST_F(DaoTest, WrongOrMissingPasswordIs3031AndWritesNothing) {
    NewDatabase("secret.db", "right-one")->CreateTable(PeopleTable());
    QByteArray before = FileBytes(dir.Path("secret.db"));
    EXPECT_EQ(ErrorOf([&] { Database::Open(dir.Path("secret.db"), ";pwd=wrong"); }),
              kErrInvalidPassword);
    EXPECT_EQ(ErrorOf([&] { Database::Open(dir.Path("secret.db"), ""); }), kErrInvalidPassword);
    EXPECT_EQ(FileBytes(dir.Path("secret.db")), before);
    EXPECT_NO_THROW(Database::Open(dir.Path("secret.db"), ";pwd=right-one"));
}

TEST_F(DaoTest, AnyPasswordOpensAFileWithoutOne) {
    NewDatabase("plain.db")->CreateTable(PeopleTable());
    auto db = Database::Open(dir.Path("plain.db"), ";pwd=whatever");
    EXPECT_FALSE(db->HasPassword());
}

TEST_F(DaoTest, SecondOpenerIsRefusedInThisProcessAndAnother) {
    auto db = NewDatabase("held.db");
    db->CreateTable(PeopleTable());
    Error error(0, {});
    try {
        Database::Open(dir.Path("held.db"));
    } catch (const Error& e) {
        error = e;
    }
    EXPECT_EQ(error.Number(), kErrFileInUse);
    EXPECT_TRUE(error.Description().contains(dir.Path("held.db")));

    pid_t child = fork();
    if (child == 0) {
        int rc = ErrorOf([&] { Database::Open(dir.Path("held.db")); });
        _exit(rc == kErrFileInUse ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    db.reset();
    EXPECT_NO_THROW(Database::Open(dir.Path("held.db")));
}

TEST_F(DaoTest, FilesThatAreNotDatabasesGiveAnErrorAndStayUntouched) {
    QByteArray random(5000, '\0');
    for (int i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 7919) >> 3);
    WriteBytes(dir.Path("random.qfd"), random);
    WriteBytes(dir.Path("empty.qfd"), {});
    WriteBytes(dir.Path("text.qfd"), "just some words\n");

    // A database of another program: plain SQLite without our catalog.
    {
        sqlite::Connection other;
        other.Open(dir.Path("other.db"), true);
        other.Exec("CREATE TABLE notes(x TEXT); INSERT INTO notes VALUES('hello')");
    }
    // A facility file cut short.
    {
        auto db = NewDatabase("whole.db");
        db->CreateTable(PeopleTable());
        for (int i = 0; i < 300; ++i) AddPerson(*db, QString("P%1").arg(i));
    }
    QByteArray whole = FileBytes(dir.Path("whole.db"));
    WriteBytes(dir.Path("cut.db"), whole.left(whole.size() / 2 + 100));

    for (const char* name : {"random.qfd", "empty.qfd", "text.qfd", "other.db", "cut.db"}) {
        QByteArray before = FileBytes(dir.Path(name));
        int number = ErrorOf([&] {
            auto db = Database::Open(dir.Path(name));
            Names(*db);
        });
        EXPECT_TRUE(number == kErrUnrecognizedFormat || number == kErrCorrupt) << name << number;
        EXPECT_EQ(FileBytes(dir.Path(name)), before) << name;
    }
    EXPECT_EQ(ErrorOf([&] { Database::Open(dir.Path("missing.db")); }), kErrFileNotFound);
}

TEST_F(DaoTest, PasswordChangesBetweenPlainAndEncrypted) {
    auto db = NewDatabase("f.db");
    db->CreateTable(PeopleTable());
    AddPerson(*db, "Ada");
    EXPECT_EQ(ErrorOf([&] { db->NewPassword("not-current", "x"); }), kErrInvalidPassword);
    db->NewPassword("", "first-pw");
    EXPECT_TRUE(db->HasPassword());
    AddPerson(*db, "Bob");
    db->NewPassword("first-pw", "second-pw");
    db.reset();
    EXPECT_EQ(ErrorOf([&] { Database::Open(dir.Path("f.db"), ";pwd=first-pw"); }),
              kErrInvalidPassword);
    db = Database::Open(dir.Path("f.db"), ";pwd=second-pw");
    EXPECT_EQ(Names(*db), (QStringList{"Ada", "Bob"}));
    db->NewPassword("second-pw", "");
    db.reset();
    EXPECT_TRUE(FileBytes(dir.Path("f.db")).startsWith("SQLite format 3"));
    db = Database::Open(dir.Path("f.db"));
    EXPECT_EQ(Names(*db), (QStringList{"Ada", "Bob"}));
    EXPECT_TRUE(ScratchFilesBeside(dir.Path("f.db")).isEmpty());
}

// Runs `operation` in a child process that dies at `step`; returns whether
// the child reached the step.
template <typename Operation>
bool CrashAt(const char* step, Operation operation) {
    pid_t child = fork();
    if (child == 0) {
        Database::SetStepHook([step](const char* at) {
            if (QByteArray(at) == step) _exit(42);
        });
        try {
            operation();
        } catch (...) {
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 42;
}

TEST_F(DaoTest, APasswordChangeKilledAtAnyStepLeavesAnOpenableFile) {
    for (const char* step : {"password:exported", "password:closed", "password:replaced"}) {
        QString path = dir.Path(QString("crash-%1.db").arg(step).replace(':', '-'));
        {
            auto db = Database::Create(path, "old-pw");
            db->CreateTable(PeopleTable());
            AddPerson(*db, "Ada");
        }
        ASSERT_TRUE(CrashAt(step, [&] {
            auto db = Database::Open(path, ";pwd=old-pw");
            db->NewPassword("old-pw", "new-pw");
        })) << step;
        std::unique_ptr<Database> db;
        for (QString pw : {"old-pw", "new-pw"}) {
            if (!db) ErrorOf([&] { db = Database::Open(path, ";pwd=" + pw); });
        }
        ASSERT_TRUE(db) << step;
        EXPECT_EQ(Names(*db), QStringList{"Ada"}) << step;
        // The killed run's new file is gone once the database is opened.
        EXPECT_TRUE(ScratchFilesBeside(path).isEmpty()) << step;
    }
}

TEST_F(DaoTest, CompactCopiesIntoANewFileWithAPassword) {
    {
        auto db = NewDatabase("src.db", "pw-one");
        db->CreateTable(PeopleTable());
        for (int i = 0; i < 50; ++i) AddPerson(*db, QString("P%1").arg(i, 2, 10, QChar('0')));
        db->CreateQueryDef({"ByName", "SELECT * FROM People WHERE Name=[N];\n", {"N"}});
    }
    Database::Compact(dir.Path("src.db"), ";pwd=pw-one", dir.Path("dst.db"), "pw-two");
    EXPECT_EQ(ErrorOf([&] {
                  Database::Compact(dir.Path("src.db"), ";pwd=pw-one", dir.Path("dst.db"), "");
              }),
              kErrDatabaseExists);
    auto db = Database::Open(dir.Path("dst.db"), ";pwd=pw-two");
    EXPECT_EQ(Names(*db).size(), 50);
    EXPECT_EQ(db->GetQueryDef("ByName").sql, "SELECT * FROM People WHERE Name=[N];\n");
    // Auto numbering continues after the highest key ever given.
    auto rs = db->OpenTable("People");
    rs->AddNew();
    EXPECT_EQ(rs->Value("Person Key").toInt(), 51);
}

TEST_F(DaoTest, NestedTransactionsCommitAndRollBack) {
    auto db = NewDatabase();
    db->CreateTable(PeopleTable());
    db->BeginTrans();
    AddPerson(*db, "Outer");
    db->BeginTrans();
    AddPerson(*db, "Inner");
    db->Rollback();
    EXPECT_EQ(Names(*db), QStringList{"Outer"});
    db->BeginTrans();
    AddPerson(*db, "Kept");
    db->CommitTrans();
    db->CommitTrans();
    EXPECT_EQ(Names(*db), (QStringList{"Kept", "Outer"}));
    {
        Transaction t(*db);
        AddPerson(*db, "Dropped");
    }
    EXPECT_EQ(Names(*db), (QStringList{"Kept", "Outer"}));
    EXPECT_EQ(ErrorOf([&] { db->CommitTrans(); }), kErrNoTransaction);
}

}  // namespace
}  // namespace dao::testing
