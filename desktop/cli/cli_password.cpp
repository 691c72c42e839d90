#include "desktop/cli/cli_password.h"

#include <QFile>

#include <sys/stat.h>

namespace tandrel::cli {
namespace {

constexpr mode_t kOthersMayRead = S_IRGRP | S_IROTH;

QString PasswordFromFile(const QString& path, std::ostream& err) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError("cannot read the password file " + path.toStdString());
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0 &&
        (status.st_mode & kOthersMayRead) != 0) {
        err << "tandrel-cli: warning: other users can read the password file " << path.toStdString()
            << " (chmod 600 it)\n";
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    return QString::fromUtf8(line);
}

}  // namespace

std::optional<QString> GivenPassword(const Arguments& args, std::ostream& err) {
    if (args.Has("--password") && args.Has("--password-file"))
        throw UsageError("--password and --password-file exclude each other");
    if (args.Has("--password")) return args.Text("--password");
    if (args.Has("--password-file")) return PasswordFromFile(args.Text("--password-file"), err);
    if (qEnvironmentVariableIsSet(kPasswordVariable))
        return qEnvironmentVariable(kPasswordVariable);
    return std::nullopt;
}

}  // namespace tandrel::cli
