// The facility file through the command line: backups, commands that only
// read, and a disk that fills up at any write of a command.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>

#include "platform/dao/database.h"
#include "platform/dao/scratch_file.h"
#include "protocol/mixing.h"
#include "tests/desktop/cli/cli_run.h"
#include "tests/desktop/cli/facility_folder.h"
#include "tests/support/failing_vfs.h"
#include "tests/support/fast_keys.h"
#include "tests/support/file_checks.h"
#include "tests/support/qt_printers.h"
#include "tests/support/small_folder.h"
#include "tests/support/temp_dir.h"

namespace tandrel::testing {
namespace {

const std::string kPassword = "alpha-secret";
const QString kDiskFull = "Not enough space on disk.";

// The password the facility file holds: the one derived from the typed one.
QString FilePassword(const std::string& typed) {
    return QString::fromStdString(protocol::DerivedPassword(typed));
}

// A facility "Acme" with a password, a location, two locks, two users
// enrolled and a handheld store beside it; settings kept elsewhere.
class FacilityFilesCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", "--name", "Acme", "--folder", Folder()}).exitCode, 0);
        ASSERT_EQ(Run({"location", "add", "\\Wing\\"}).exitCode, 0);
        ASSERT_EQ(Run({"lock", "add", "--name", "Front", "--location", "\\Wing\\"}).exitCode, 0);
        ASSERT_EQ(Run({"lock", "add", "--name", "Gate"}).exitCode, 0);
        for (const char* name : {"Lee", "Ito"}) {
            ASSERT_EQ(Run({"user", "add", "--last", name, "--first", "A", "--id",
                           name[0] == 'L' ? "1111" : "2222", "--type", "general", "--pin", "432"})
                          .exitCode,
                      0);
            ASSERT_EQ(Run({"enrol", name, "\\Wing\\"}).exitCode, 0);
        }
    }

    CliResult Run(std::vector<std::string> args) {
        std::vector<std::string> all = {"--settings", settings.Path("s.ini").toStdString(),
                                        "--yes"};
        if (args[0] == "create") {
            all.insert(all.end(), {"--password", kPassword});
        } else {
            all.insert(all.end(), {"--file", Facility().toStdString(), "--password", kPassword});
        }
        all.insert(all.end(), args.begin(), args.end());
        return RunCapturing(all);
    }
    std::string Folder() const { return dir.Root().toStdString(); }
    QString Facility() const { return dir.Path("Acme.qfd"); }
    std::string Store() const { return dir.Path("handheld.store").toStdString(); }

    FastKeys fast;
    TempDir dir;
    TempDir settings;
};

// Backups ------------------------------------------------------------------

TEST_F(FacilityFilesCli, BackupCopiesTheFacilityWithItsPasswordIntoANewOwnerOnlyFile) {
    ::umask(022);
    const QString copy = dir.Path("copies/Acme-copy.qfd");
    QDir().mkpath(dir.Path("copies"));
    CliResult r = Run({"backup", copy.toStdString()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, copy.toStdString() + "\n");
    EXPECT_EQ(ModeOf(copy), 0600);
    EXPECT_EQ(FacilityRows(copy, FilePassword(kPassword)),
              FacilityRows(Facility(), FilePassword(kPassword)));
    EXPECT_EQ(QDir(dir.Path("copies")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Acme-copy.qfd"});
}

TEST_F(FacilityFilesCli, BackupRefusesAnExistingFileAndLeavesItAlone) {
    WriteBytes(dir.Path("taken.qfd"), "someone's file");
    CliResult r = Run({"backup", dir.Path("taken.qfd").toStdString()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.Said("already exists; nothing was written")) << r.err;
    EXPECT_EQ(FileBytes(dir.Path("taken.qfd")), "someone's file");
    EXPECT_EQ(Run({"backup"}).exitCode, 2);
}

// Commands that only read -------------------------------------------------

TEST_F(FacilityFilesCli, CommandsThatOnlyReadLeaveTheFileAsItWas) {
    ASSERT_EQ(Run({"group", "set", "1", "--autocode", "on", "--interval", "1", "--unit", "days"})
                  .exitCode,
              0);
    ASSERT_EQ(Run({"user", "edit", "Lee", "--home-group", "2"}).exitCode, 0);
    ASSERT_EQ(Run({"schedule", "add", "Day"}).exitCode, 0);
    const FolderState before = FolderState::Of(dir.Root());
    for (std::vector<std::string> command : {std::vector<std::string>{"info"},
                                             {"user", "list"},
                                             {"user", "show", "Lee"},
                                             {"lock", "list"},
                                             {"lock", "show", "Front"},
                                             {"facility", "show"},
                                             {"audit", "list"},
                                             {"location", "list"},
                                             {"schedule", "list"},
                                             {"group", "list"}}) {
        CliResult r = Run(command);
        EXPECT_EQ(r.exitCode, 0) << command[0] << ": " << r.err;
        EXPECT_EQ(FolderState::Of(dir.Root()), before) << command[0];
    }
}

// A full disk --------------------------------------------------------------

// A command meets a full disk at each of its writes in turn: its files are
// put back before each run, and the run is judged against the command run
// without trouble. Every failure must be reported with the system's message
// and leave no file behind, the facility opening with its password and
// holding what it held or what the whole command made of it. A command that
// commits in steps (the exchange) may stop between them, provided that
// running it again then gives what one run without trouble gives.
class FullDisk : public FacilityFilesCli {
  protected:
    struct Expected {
        QString oldPassword = FilePassword(kPassword);
        QString newPassword = FilePassword(kPassword);
        QStringList messages = {kDiskFull};
        bool inSteps = false;
    };
    struct Contents {
        QString facility, store;
        bool operator==(const Contents&) const = default;
    };
    // The command's files before it runs, and what they hold before, after
    // one run and after two.
    struct Reference {
        Snapshot before;
        Contents old, whole, twice;
        long writes = 0;
    };

    Reference RunCleanly(const std::vector<std::string>& command, const Expected& expected) {
        Reference ref;
        ref.before = Snapshot::Of(dir.Root());
        ref.old = ContentsNow(expected.oldPassword);
        FailingVfs& vfs = FailingVfs::Install();
        vfs.FailAt(0);
        CliResult clean = Run(command);
        ref.writes = vfs.Count();
        EXPECT_EQ(clean.exitCode, 0) << clean.err;
        ref.whole = ContentsNow(expected.newPassword);
        // What a second run adds when a failed one had got to its end.
        ref.twice = expected.inSteps && Run(command).exitCode == 0
                        ? ContentsNow(expected.newPassword)
                        : ref.whole;
        return ref;
    }

    void AtEveryWrite(const std::vector<std::string>& command, const Expected& expected) {
        const Reference ref = RunCleanly(command, expected);
        ASSERT_GT(ref.writes, 0);
        FailingVfs& vfs = FailingVfs::Install();
        for (long n = 1; n <= ref.writes; ++n) {
            ref.before.Restore(dir.Root());
            vfs.FailAt(n);
            CliResult r = Run(command);
            const bool failed = vfs.Failed();
            vfs.FailAt(0);
            ASSERT_TRUE(failed) << n;
            Judge(QStringLiteral("write %1").arg(n), r, command, ref, expected);
        }
        RecordProperty("writes", static_cast<int>(ref.writes));
    }

    // The same on a real file system with little room: from no page free
    // up to as many as the command needs.
    void AtEveryFreePage(const std::vector<std::string>& command, const Expected& expected) {
        const Snapshot outside = Snapshot::Of(dir.Root());
        SmallFolder small(dir.Root(), 4 << 20);
        if (!small.Mounted()) GTEST_SKIP() << "no small file system can be mounted here";
        outside.Restore(dir.Root());
        const Reference ref = RunCleanly(command, expected);
        for (qint64 pages = 0;; ++pages) {
            ASSERT_LT(pages, 1000) << "the command never succeeded";
            small.Unfill();
            ref.before.Restore(dir.Root());
            small.LeaveFree(pages);
            CliResult r = Run(command);
            small.Unfill();
            if (r.exitCode == 0 && ContentsNow(expected.newPassword) == ref.whole) {
                RecordProperty("pages", static_cast<int>(pages));
                break;
            }
            Judge(QStringLiteral("%1 pages free").arg(pages), r, command, ref, expected);
        }
    }

    void Judge(const QString& at, const CliResult& r, const std::vector<std::string>& command,
               const Reference& ref, const Expected& expected) {
        EXPECT_EQ(ExtraFiles(ref.before), QStringList{}) << at;
        const bool wasOld = ContentsNow(expected.oldPassword) == ref.old;
        const bool isWhole = ContentsNow(expected.newPassword) == ref.whole;
        // A write may fail after the command's work is done (a journal
        // being tidied away); then the work must all be there.
        if (r.exitCode == 0) {
            EXPECT_TRUE(isWhole) << at << ": " << r.err;
            return;
        }
        EXPECT_EQ(r.exitCode, 1) << at << ": " << r.err;
        EXPECT_TRUE(SaidOneOf(r, expected.messages)) << at << ": " << r.err;
        if (!expected.inSteps) {
            EXPECT_TRUE(wasOld || isWhole) << at << ": " << r.err;
            return;
        }
        CliResult again = Run(command);
        EXPECT_EQ(again.exitCode, 0) << at << ": " << again.err;
        const Contents now = ContentsNow(expected.newPassword);
        EXPECT_TRUE(now == ref.whole || now == ref.twice) << at << ": " << r.err;
    }

    static bool SaidOneOf(const CliResult& r, const QStringList& messages) {
        for (const QString& message : messages) {
            if (r.Said(message.toStdString())) return true;
        }
        return false;
    }

    // What the facility (opened with `password`) and the store hold; the
    // store's records without their object ids, which no two runs share.
    Contents ContentsNow(const QString& password) {
        Contents contents{FacilityRows(Facility(), password), {}};
        if (!QFileInfo::exists(QString::fromStdString(Store()))) return contents;
        EXPECT_TRUE(StoreIsWhole(QString::fromStdString(Store())));
        const CliResult dump = RunCapturing({"handheld", "dump", Store()});
        for (const QString& line : QString::fromStdString(dump.out).split('\n')) {
            if (!line.startsWith("  record ")) contents.store += line + '\n';
        }
        return contents;
    }

    // Files that were not there before the command, leaving out the
    // facility's and the store's own journals (which a failed commit may
    // need to put the file back).
    QStringList ExtraFiles(const Snapshot& before) const {
        QStringList extra;
        for (const QString& name : Snapshot::Of(dir.Root()).Names()) {
            if (before.Names().contains(name) || name == "Acme.qfd-journal" ||
                name == "handheld.store-journal") {
                continue;
            }
            extra << name;
        }
        return extra;
    }

    std::vector<std::string> ImportCommand() {
        QFile csv(settings.Path("in.csv"));
        EXPECT_TRUE(csv.open(QIODevice::WriteOnly));
        csv.write(
            "Last Name,First Name,Lock ID code,User Type,CurPIN\n"
            "Babbage,Charles,5555,0,321\nByron,Anne,6666,1,321\n");
        return {"user", "import", csv.fileName().toStdString()};
    }
    static Expected ImportExpected() {
        return {.messages = {kDiskFull, "Error Adding New User Record, Can Not Continue."}};
    }

    std::vector<std::string> ExchangeCommand() {
        EXPECT_EQ(Run({"device", "enrol", "--handheld", Store()}).exitCode, 0);
        EXPECT_EQ(Run({"device", "assign", "Handheld", "\\Wing\\"}).exitCode, 0);
        return {"exchange", "--handheld", Store(), "--program", "all"};
    }
    static Expected ExchangeExpected() {
        return {.messages = {kDiskFull, "Error downloading facility directory.",
                             "Mobile device connection lost.", "Unexpected database error.",
                             "Disk full error on mobile device."},
                .inSteps = true};
    }
    std::vector<std::string> BackupCommand() const {
        return {"backup", dir.Path("copy.qfd").toStdString()};
    }
    static Expected PasswordExpected() { return {.newPassword = FilePassword("beta-secret")}; }
};

const std::vector<std::string> kCompact = {"compact"};
const std::vector<std::string> kSetPassword = {"password", "set", "beta-secret"};

TEST_F(FullDisk, CompactionAtEveryWrite) {
    AtEveryWrite(kCompact, {});
}
TEST_F(FullDisk, PasswordChangeAtEveryWrite) {
    AtEveryWrite(kSetPassword, PasswordExpected());
}
TEST_F(FullDisk, BackupAtEveryWrite) {
    AtEveryWrite(BackupCommand(), {});
}
TEST_F(FullDisk, UserImportAtEveryWrite) {
    AtEveryWrite(ImportCommand(), ImportExpected());
}
TEST_F(FullDisk, ExchangeAtEveryWrite) {
    AtEveryWrite(ExchangeCommand(), ExchangeExpected());
}

TEST_F(FullDisk, CompactionOnASmallFileSystem) {
    AtEveryFreePage(kCompact, {});
}
TEST_F(FullDisk, PasswordChangeOnASmallFileSystem) {
    AtEveryFreePage(kSetPassword, PasswordExpected());
}
TEST_F(FullDisk, BackupOnASmallFileSystem) {
    AtEveryFreePage(BackupCommand(), {});
}
TEST_F(FullDisk, UserImportOnASmallFileSystem) {
    AtEveryFreePage(ImportCommand(), ImportExpected());
}
TEST_F(FullDisk, ExchangeOnASmallFileSystem) {
    AtEveryFreePage(ExchangeCommand(), ExchangeExpected());
}

}  // namespace
}  // namespace tandrel::testing
