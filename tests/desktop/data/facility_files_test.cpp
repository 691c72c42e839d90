// The facility file is never swapped, leaked or replaced behind a link:
// compactions side by side, links, file modes and the backups compaction
// keeps.
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/dao/scratch_file.h"
#include "tests/desktop/data/facility_fixture.h"
#include "tests/support/file_checks.h"

namespace tandrel::testing {
namespace {

// One-way word between two processes: Send once, Wait for it (false after
// 30 seconds, so that a stuck side never hangs the test run).
class Signal {
  public:
    Signal() { ::pipe(fds_); }
    ~Signal() { ::close(fds_[0]), ::close(fds_[1]); }
    void Send() { (void)!::write(fds_[1], "!", 1); }
    bool Wait() {
        pollfd p{fds_[0], POLLIN, 0};
        char c;
        return ::poll(&p, 1, 30000) == 1 && ::read(fds_[0], &c, 1) == 1;
    }

  private:
    int fds_[2] = {-1, -1};
};

void OnStep(const char* wanted, std::function<void()> then) {
    dao::Database::SetStepHook([wanted, then](const char* at) {
        if (QByteArray(at) == wanted) then();
    });
}

class FacilityFiles : public FacilityTest {
  protected:
    void SetUp() override { umask_ = ::umask(022); }
    void TearDown() override {
        dao::Database::SetStepHook({});
        ::umask(umask_);
    }

    // A closed facility with a password and one user named after it.
    void MakeFacility(const QString& name, const QString& password) {
        NewFacility(name);
        ASSERT_TRUE(doc.ChangePassword(password));
        AddUser(name + "User");
        doc.CloseFacility();
    }
    void AddUser(const QString& lastName) {
        CLockUsersRecordset users(doc.Db());
        users.AddNew();
        users.m_LastName = lastName;
        users.Update();
    }
    bool Open(const QString& path, const QString& password) {
        session.password = password;
        return doc.OpenFacility(path);
    }
    // The last names of the users of a facility file, opened afresh.
    static QStringList LastNames(const QString& path, const QString& password) {
        auto db = dao::Database::Open(path, ";pwd=" + password);
        QStringList names;
        CLockUsersRecordset users(*db);
        for (users.MoveFirst(); !users.IsEOF(); users.MoveNext()) {
            if (users.m_UserKey >= 2) names << users.m_LastName;
        }
        return names;
    }

    mode_t umask_ = 0;
};

TEST_F(FacilityFiles, TwoCompactionsSideBySideLeaveEachFacilityItsOwnPasswordAndData) {
    MakeFacility("Alpha", "alpha-pw");
    MakeFacility("Beta", "beta-pw");
    // Alpha's work file is complete; Beta's compaction, in another process,
    // then runs up to the same point; Alpha's goes on to its end before
    // Beta's does.
    Signal start, betaCopied, finish;
    pid_t child = fork();
    if (child == 0) {
        OnStep("compact:copied", [&] {
            betaCopied.Send();
            if (!finish.Wait()) _exit(2);
        });
        if (!start.Wait()) _exit(2);
        AppSettings betaSettings(dir.Path("beta.ini"));
        FacilitySession betaSession{dir.Root(), "beta-pw", {}};
        ScriptedPrompter betaPrompter;
        CTDXDoc beta(betaSession, betaSettings, betaPrompter);
        _exit(beta.OpenFacility(FacilityPath("Beta")) && beta.Compact(std::nullopt) ? 0 : 1);
    }
    bool betaWasCopying = false;
    OnStep("compact:copied", [&] {
        start.Send();
        betaWasCopying = betaCopied.Wait();
    });
    ASSERT_TRUE(Open(FacilityPath("Alpha"), "alpha-pw"));
    const bool alphaCompacted = doc.Compact(std::nullopt);
    dao::Database::SetStepHook({});
    start.Send();  // in case Alpha never got that far
    finish.Send();
    int status = 0;
    waitpid(child, &status, 0);
    doc.CloseFacility();

    EXPECT_TRUE(betaWasCopying);
    EXPECT_TRUE(alphaCompacted) << prompter.Shown().join("|");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(LastNames(FacilityPath("Alpha"), "alpha-pw"), QStringList{"AlphaUser"});
    EXPECT_EQ(LastNames(FacilityPath("Beta"), "beta-pw"), QStringList{"BetaUser"});
    EXPECT_TRUE(dao::ScratchFilesBeside(FacilityPath("Alpha")).isEmpty());
    EXPECT_TRUE(dao::ScratchFilesBeside(FacilityPath("Beta")).isEmpty());
}

TEST_F(FacilityFiles, ThroughALinkCompactionAndPasswordChangeReplaceTheFileItself) {
    QDir().mkpath(dir.Path("store"));
    session.facilitiesFolder = dir.Path("store");
    MakeFacility("Alpha", "alpha-pw");
    const QString real = dir.Path("store/Alpha.qfd");
    const QString link = dir.Path("Alpha.qfd");
    ASSERT_TRUE(QFile::link(real, link));

    ASSERT_TRUE(Open(link, "alpha-pw"));
    EXPECT_EQ(doc.Path(), real);
    AddUser("Second");
    ASSERT_TRUE(doc.Compact(std::nullopt));
    ASSERT_TRUE(doc.ChangePassword("new-pw"));
    doc.CloseFacility();

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), real);
    EXPECT_EQ(LastNames(real, "new-pw"), (QStringList{"AlphaUser", "Second"}));
    const QFileInfo backup(dir.Path("store/Alpha.old"));
    EXPECT_TRUE(backup.isFile() && !backup.isSymLink());
    EXPECT_EQ(LastNames(backup.filePath(), "alpha-pw"), (QStringList{"AlphaUser", "Second"}));
    EXPECT_FALSE(QFileInfo::exists(dir.Path("Alpha.old")));
}

TEST_F(FacilityFiles, FacilityWorkAndBackupFilesAreTheOwnersOnly) {
    NewFacility("Alpha");
    EXPECT_EQ(ModeOf(FacilityPath("Alpha")), 0600);
    // A facility an older program left readable by all.
    ::chmod(QFile::encodeName(FacilityPath("Alpha")).constData(), 0644);
    QStringList seen;
    dao::Database::SetStepHook([&](const char* step) {
        for (const QString& file : dao::ScratchFilesBeside(FacilityPath("Alpha"))) {
            seen << QString("%1 %2 %3").arg(step, QFileInfo(file).suffix()).arg(ModeOf(file), 0, 8);
        }
    });
    ASSERT_TRUE(doc.Compact(std::nullopt));
    ASSERT_TRUE(doc.ChangePassword("alpha-pw"));
    EXPECT_EQ(seen,
              (QStringList{"compact:work-created compact 600", "compact:copied compact 600",
                           "compact:earlier-backup-kept compact 600",
                           "compact:backup-saved compact 600", "password:exported pwtmp 600"}));
    EXPECT_EQ(ModeOf(FacilityPath("Alpha")), 0600);
    EXPECT_EQ(ModeOf(CompactionBackupFile(FacilityPath("Alpha"))), 0600);
}

TEST_F(FacilityFiles, CompactionKeepsEarlierBackupsUnderDatedNames) {
    NewFacility("Alpha");
    const QString old = CompactionBackupFile(FacilityPath("Alpha"));
    auto dateBackup = [&] {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime(QDate(2026, 12, 9), QTime(6, 15)),
                      QFileDevice::FileModificationTime);
    };
    ASSERT_TRUE(doc.Compact(std::nullopt));
    dateBackup();
    AddUser("First");
    ASSERT_TRUE(doc.Compact(std::nullopt));
    dateBackup();
    AddUser("Second");
    ASSERT_TRUE(doc.Compact(std::nullopt));
    doc.CloseFacility();

    // Two backups from one minute: the later one is numbered.
    EXPECT_EQ(LastNames(dir.Path("Alpha.2026-12-09-0615.old"), {}), QStringList{});
    EXPECT_EQ(LastNames(dir.Path("Alpha.2026-12-09-0615-2.old"), {}), QStringList{"First"});
    EXPECT_EQ(LastNames(old, {}), (QStringList{"First", "Second"}));
    EXPECT_EQ(QDir(dir.Root()).entryList({"*.old"}).size(), 3);
}

TEST_F(FacilityFiles, ABackupNameLeftOnTheFacilityItselfIsNoBackupToKeep) {
    NewFacility("Alpha");
    AddUser("First");
    // What a compaction killed after saving its backup leaves: the backup
    // is a second name of the facility, which changes on.
    const QString old = CompactionBackupFile(FacilityPath("Alpha"));
    ASSERT_EQ(::link(QFile::encodeName(FacilityPath("Alpha")).constData(),
                     QFile::encodeName(old).constData()),
              0);
    AddUser("Second");
    ASSERT_TRUE(doc.Compact(std::nullopt));
    AddUser("Third");
    doc.CloseFacility();
    EXPECT_EQ(QDir(dir.Root()).entryList({"*.old"}), QStringList{"Alpha.old"});
    EXPECT_EQ(LastNames(old, {}), (QStringList{"First", "Second"}));
}

}  // namespace
}  // namespace tandrel::testing
