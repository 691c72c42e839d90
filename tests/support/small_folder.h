#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QFile>
#include <QString>

// A folder on a file system of its own with little room: a tmpfs of
// `bytes` mounted over an existing folder, in a mount namespace of this
// thread's own, so nothing outside the test sees it and it goes away with
// the process. Where mounting is not permitted (no root, a container
// without the right), Mounted() is false and the folder is untouched.
class SmallFolder {
  public:
    static constexpr qint64 kPage = 4096;

    SmallFolder(const QString& path, qint64 bytes) : path_(QFile::encodeName(path)) {
        if (::unshare(CLONE_NEWNS) != 0) return;
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return;
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
        mounted_ = ::mount("tmpfs", path_.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                           options.constData()) == 0;
    }
    ~SmallFolder() {
        if (mounted_) ::umount2(path_.constData(), MNT_DETACH);
    }
    SmallFolder(const SmallFolder&) = delete;
    SmallFolder& operator=(const SmallFolder&) = delete;

    bool Mounted() const { return mounted_; }

    // Fills the folder with a hidden file until only `pages` pages are free.
    void LeaveFree(qint64 pages) {
        Unfill();
        const qint64 used = FreePages() - pages;
        if (used <= 0) return;
        int fd = ::open(Filler().constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) return;
        ::posix_fallocate(fd, 0, used * kPage);
        ::close(fd);
    }
    void Unfill() { ::unlink(Filler().constData()); }
    qint64 FreePages() const {
        struct statvfs fs {};
        if (::statvfs(path_.constData(), &fs) != 0) return 0;
        return static_cast<qint64>(fs.f_bavail) * static_cast<qint64>(fs.f_frsize) / kPage;
    }
    static QString FillerName() { return QStringLiteral(".filler"); }

  private:
    QByteArray Filler() const { return path_ + "/" + QFile::encodeName(FillerName()); }

    QByteArray path_;
    bool mounted_ = false;
};
