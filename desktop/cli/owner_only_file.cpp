#include "desktop/cli/owner_only_file.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tandrel::cli {

bool WriteOwnerOnlyFile(const QString& path, const QByteArray& bytes, QString* error) {
    const QFileInfo target(path);
    // The temporary file is made anew (never opened through a link) with
    // owner-only permissions.
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!file.open() || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    file.close();
    // rename() replaces whatever stands at the path, a link included, in one
    // step, so the path never holds half a file.
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    file.setAutoRemove(false);
    return true;
}

}  // namespace tandrel::cli
