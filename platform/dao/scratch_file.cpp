#include "platform/dao/scratch_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/dao/error.h"
#include "platform/dao/owner_files.h"

namespace dao {
namespace {

constexpr int kNameAttempts = 100;
constexpr int kRandomLength = 8;
const char kKinds[] = "compact|pwtmp|backup";

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QString RandomPart() {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString part;
    for (int i = 0; i < kRandomLength; ++i) {
        part += QLatin1Char(
            kLetters[QRandomGenerator::system()->bounded(static_cast<int>(sizeof kLetters - 1))]);
    }
    return part;
}

// Names of scratch files beside the file called `name`, with their journals.
QRegularExpression ScratchName(const QString& name) {
    return QRegularExpression(QStringLiteral("^(~%1\\.[A-Za-z0-9]{%2}\\.(%3))(-journal)?$")
                                  .arg(QRegularExpression::escape(name))
                                  .arg(kRandomLength)
                                  .arg(QLatin1String(kKinds)));
}

[[noreturn]] void ThrowIo(const QString& what) {
    throw Error(kErrDiskIo, ErrorText(kErrDiskIo) + " (" + what + ")");
}

// Removes `file` unless a run still holds the scratch file `owner` (the
// file itself or the one whose journal it is). The owner stays locked
// while the file goes; one that cannot be opened is nobody's.
void RemoveUnlessHeld(const QString& owner, const QString& file) {
    int fd = ::open(Native(owner).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return;
    }
    ::unlink(Native(file).constData());
    if (fd >= 0) ::close(fd);
}

}  // namespace

ScratchFile::ScratchFile(const QString& beside, const QString& kind) {
    const QFileInfo info(beside);
    for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
        path_ = info.absolutePath() + QStringLiteral("/~") + info.fileName() + QLatin1Char('.') +
                RandomPart() + QLatin1Char('.') + kind;
        fd_ = ::open(Native(path_).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                     S_IRUSR | S_IWUSR);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        if (errno == ENOSPC || errno == EDQUOT) Throw(kErrDiskFull);
        ThrowIo(path_);
    }
    struct stat st {};
    ::fchmod(fd_, S_IRUSR | S_IWUSR);
    ::fstat(fd_, &st);
    device_ = st.st_dev;
    inode_ = st.st_ino;
    ::flock(fd_, LOCK_EX | LOCK_NB);
}

ScratchFile::~ScratchFile() {
    if (!placed_) {
        struct stat st {};
        // Only the file this object made goes: its name may have been
        // taken over meanwhile.
        if (::lstat(Native(path_).constData(), &st) == 0 && st.st_dev == device_ &&
            st.st_ino == inode_) {
            ::unlink(Native(path_).constData());
        }
    }
    ::close(fd_);
}

void ScratchFile::Sync() {
    if (::fsync(fd_) != 0) {
        if (errno == ENOSPC || errno == EDQUOT) Throw(kErrDiskFull);
        ThrowIo(path_);
    }
}

void ScratchFile::CheckStillOurs() const {
    struct stat st {};
    if (::lstat(Native(path_).constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_dev != device_ || st.st_ino != inode_) {
        ThrowIo(path_ + QStringLiteral(" was replaced"));
    }
}

void ScratchFile::RenameOver(const QString& target) {
    CheckStillOurs();
    if (std::rename(Native(path_).constData(), Native(target).constData()) != 0) ThrowIo(target);
    placed_ = true;
    SyncFolderOf(target);
}

void ScratchFile::MoveToNewName(const QString& target) {
    CheckStillOurs();
    if (::link(Native(path_).constData(), Native(target).constData()) == 0) {
        ::unlink(Native(path_).constData());
    } else if (errno == EEXIST) {
        Throw(kErrDatabaseExists);
    } else if (::renameat2(AT_FDCWD, Native(path_).constData(), AT_FDCWD,
                           Native(target).constData(), RENAME_NOREPLACE) != 0) {
        // A file system without hard links.
        if (errno == EEXIST) Throw(kErrDatabaseExists);
        ThrowIo(target);
    }
    placed_ = true;
    SyncFolderOf(target);
}

QStringList ScratchFilesBeside(const QString& path) {
    const QFileInfo info(path);
    const QRegularExpression pattern = ScratchName(info.fileName());
    QStringList found;
    const QDir folder = info.absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::System | QDir::Hidden)) {
        if (pattern.match(name).hasMatch()) found << folder.filePath(name);
    }
    return found;
}

void RemoveLeftoverScratchFiles(const QString& path) {
    const QRegularExpression pattern = ScratchName(QFileInfo(path).fileName());
    for (const QString& file : ScratchFilesBeside(path)) {
        const QFileInfo info(file);
        // A journal goes with its file.
        RemoveUnlessHeld(
            info.absolutePath() + QLatin1Char('/') + pattern.match(info.fileName()).captured(1),
            file);
    }
}

}  // namespace dao
