#include "desktop/app/startup.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace tandrel {

QString FacilitiesFolder(const AppSettings& settings) {
    QString folder = settings.FacilitiesFolderOverride();
    if (!folder.isEmpty()) return folder;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
           QStringLiteral("/Facilities");
}

std::optional<QString> LastFacilityToReopen(const AppSettings& settings, Prompter& prompter) {
    const QString path = settings.CurrentDBPath();
    if (path.isEmpty()) return std::nullopt;
    if (QFileInfo(path).isFile()) return path;
    prompter.Message(
        QStringLiteral("Can not find last used facility\n'") + path + QStringLiteral("'"),
        PromptIcon::Exclamation);
    return std::nullopt;
}

std::optional<int> ReaderComPort(AppSettings& settings, Prompter& prompter) {
    std::optional<int> port = settings.ComPort();
    if (!port)
        prompter.Message(QStringLiteral("Can not find last COM PORT Used\n"),
                         PromptIcon::Exclamation);
    return port;
}

}  // namespace tandrel
