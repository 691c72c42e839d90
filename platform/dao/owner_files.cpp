#include "platform/dao/owner_files.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/dao/error.h"

namespace dao {
namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

[[noreturn]] void ThrowForErrno(int error, const QString& path) {
    switch (error) {
        case ENOSPC:
        case EDQUOT: Throw(kErrDiskFull);
        case EEXIST: Throw(kErrDatabaseExists);
        case ENOENT:
        case ENOTDIR: Throw(kErrInvalidPath, path);
        default:
            throw Error(kErrDiskIo, ErrorText(kErrDiskIo) + " (" + path + ": " +
                                        QString::fromLocal8Bit(std::strerror(error)) + ")");
    }
}

int OpenNew(const QString& path) {
    return ::open(Native(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                  kOwnerOnly);
}

// errno of a failed write, 0 when all was written.
int WriteAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return errno;
        if (written == 0) return ENOSPC;
        data += written;
        size -= written;
    }
    return 0;
}

// Copies `from` into the new file `fd` and flushes it; errno on failure.
int CopyInto(const QString& from, int fd) {
    int source = ::open(Native(from).constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0) return errno;
    char buffer[64 * 1024];
    int error = 0;
    while (error == 0) {
        ssize_t got = ::read(source, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (got < 0) error = errno;
            break;
        }
        error = WriteAll(fd, buffer, got);
    }
    ::close(source);
    if (!error && ::fsync(fd) != 0) error = errno;
    return error;
}

// A copy in place of a second name: new, owner-only, whole or not at all.
bool CopyNoReplace(const QString& from, const QString& to) {
    int fd = OpenNew(to);
    if (fd < 0 && errno == EEXIST) return false;
    if (fd < 0) ThrowForErrno(errno, to);
    int error = CopyInto(from, fd);
    if (::close(fd) != 0 && !error) error = errno;
    if (error) {
        ::unlink(Native(to).constData());
        ThrowForErrno(error, to);
    }
    return true;
}

}  // namespace

void CreateOwnerOnlyFile(const QString& path) {
    int fd = OpenNew(path);
    if (fd < 0) ThrowForErrno(errno, path);
    // The mode asked for at creation is narrowed by the umask only, but a
    // umask may also take the owner's own rights away.
    ::fchmod(fd, kOwnerOnly);
    ::close(fd);
}

void MakeOwnerOnly(const QString& path) {
    int fd = ::open(Native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) ThrowForErrno(errno, path);
    int failed = ::fchmod(fd, kOwnerOnly);
    int error = errno;
    ::close(fd);
    if (failed != 0) ThrowForErrno(error, path);
}

bool AddNameNoReplace(const QString& from, const QString& to) {
    if (::link(Native(from).constData(), Native(to).constData()) == 0) return true;
    switch (errno) {
        case EEXIST: return false;
        case EPERM:
        case EOPNOTSUPP:
        case EXDEV:
        case EMLINK: return CopyNoReplace(from, to);
        default: ThrowForErrno(errno, to);
    }
}

void SyncFolderOf(const QString& path) {
    int fd = ::open(Native(QFileInfo(path).absolutePath()).constData(),
                    O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

QString RealFilePath(const QString& path) {
    const QString real = QFileInfo(path).canonicalFilePath();
    return real.isEmpty() ? path : real;
}

}  // namespace dao
