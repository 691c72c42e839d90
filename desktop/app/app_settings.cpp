#include "desktop/app/app_settings.h"

#include <QDir>
#include <QFileInfo>

namespace tandrel {
namespace {

const QString kCurrentDBPath = QStringLiteral("CurrentDBPath");
const QString kRecentGroup = QStringLiteral("Recent Facilities");
const QString kComPort = QStringLiteral("COMPort");
const QString kPurgeGroup = QStringLiteral("Purge Audit Data Dialog");

QString RecentKey(int index) {
    return QStringLiteral("FacilityDb%1").arg(index);
}

}  // namespace

AppSettings::AppSettings()
    : settings_(std::make_unique<QSettings>(QString::fromLatin1(kSettingsOrganization),
                                            QString::fromLatin1(kSettingsApplication))) {}

AppSettings::AppSettings(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

QString AppSettings::CurrentDBPath() const {
    return settings_->value(kCurrentDBPath).toString();
}

void AppSettings::SetCurrentDBPath(const QString& path) {
    settings_->setValue(kCurrentDBPath, path);
    settings_->sync();
}

QStringList AppSettings::RecentFacilities() const {
    QStringList entries;
    settings_->beginGroup(kRecentGroup);
    for (int i = 0; i < kRecentFacilityCount; ++i)
        entries << settings_->value(RecentKey(i)).toString();
    settings_->endGroup();
    return entries;
}

void AppSettings::RecordRecentFacility(const QString& path) {
    QStringList entries = RecentFacilities();
    // Entries above the one found (or all shown ones) move down by one.
    int found = kRecentMenuEntries;
    for (int i = 0; i < kRecentMenuEntries; ++i) {
        if (entries[i] == path) {
            found = i;
            break;
        }
    }
    for (int k = found - 1; k >= 0; --k) entries[k + 1] = entries[k];
    entries[0] = path;
    settings_->beginGroup(kRecentGroup);
    for (int i = 0; i < kRecentFacilityCount; ++i) {
        if (!entries[i].isEmpty()) settings_->setValue(RecentKey(i), entries[i]);
    }
    settings_->endGroup();
    settings_->sync();
}

std::optional<int> AppSettings::ComPort() {
    if (settings_->status() != QSettings::NoError) return std::nullopt;
    if (!settings_->contains(kComPort)) {
        settings_->setValue(kComPort, 0);
        settings_->sync();
    }
    bool ok = false;
    int port = settings_->value(kComPort).toInt(&ok);
    if (!ok) return std::nullopt;
    return port;
}

PurgeDialogState AppSettings::PurgeDialog() const {
    PurgeDialogState state;
    settings_->beginGroup(kPurgeGroup);
    state.purge = settings_->value(QStringLiteral("Purge Data"), 1).toInt() != 0;
    state.dateSpanDays = settings_->value(QStringLiteral("Date Span Days"), 90).toInt();
    settings_->endGroup();
    return state;
}

void AppSettings::SetPurgeDialog(const PurgeDialogState& state) {
    settings_->beginGroup(kPurgeGroup);
    settings_->setValue(QStringLiteral("Purge Data"), state.purge ? 1 : 0);
    settings_->setValue(QStringLiteral("Date Span Days"), state.dateSpanDays);
    settings_->endGroup();
    settings_->sync();
}

QString AppSettings::FacilitiesFolderOverride() const {
    return settings_->value(QStringLiteral("FacilitiesFolder")).toString();
}

QStringList RecentMenuTexts(const QStringList& entries, const QString& facilitiesFolder) {
    QStringList texts;
    const QString folder = QDir::cleanPath(facilitiesFolder);
    for (int i = 0; i < kRecentMenuEntries && i < entries.size(); ++i) {
        if (entries[i].isEmpty()) break;
        QFileInfo info(entries[i]);
        bool inFolder =
            QDir::cleanPath(info.absolutePath()).compare(folder, Qt::CaseInsensitive) == 0;
        texts << QStringLiteral("&%1 %2").arg(i + 1).arg(inFolder ? info.completeBaseName()
                                                                  : entries[i]);
    }
    return texts;
}

}  // namespace tandrel
