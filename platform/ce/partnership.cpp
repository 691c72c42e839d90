#include "platform/ce/partnership.h"

namespace ce {
namespace {

QString GroupOf(std::uint32_t deviceId) {
    return QLatin1String(kPartnershipsGroup) + QLatin1Char('/') +
           QStringLiteral("%1").arg(deviceId, 8, 16, QLatin1Char('0')).toUpper();
}

// A text cut to whole characters within the buffer (with its terminator).
QString Fitted(const QString& text) {
    QString fitted = text;
    while (fitted.toUtf8().size() > kPartnershipTextBytes - 1) fitted.chop(1);
    if (!fitted.isEmpty() && fitted.back().isHighSurrogate()) fitted.chop(1);
    return fitted;
}

// A REG_SZ value of the handheld's identity key; empty when missing.
QString IdentText(Api& device, const char* name) {
    HKey key = 0;
    if (device.RegOpenKeyEx(HKEY_LOCAL_MACHINE, kIdentKey, key) != 0) return {};
    std::uint32_t type = 0;
    QByteArray data;
    std::uint32_t error = device.RegQueryValueEx(key, name, type, data, 4096);
    device.RegCloseKey(key);
    if (error != 0 || type != REG_SZ) return {};
    QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(data.constData()), data.size() / 2);
    return text.left(text.indexOf(QChar(0)) < 0 ? text.size() : text.indexOf(QChar(0)));
}

}  // namespace

std::unique_ptr<CradleSession> ConnectCradle(QSettings& settings, std::uint32_t& error,
                                             int waitMs) {
    const QString path = settings.value(QLatin1String(kCradleStoreKey)).toString();
    if (path.isEmpty()) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    std::unique_ptr<CradleSession> session = CradleSession::Connect(path, error, waitMs);
    if (session && !EnsurePartnership(settings, *session)) {
        error = kErrorConnectionLost;
        return nullptr;
    }
    return session;
}

bool EnsurePartnership(QSettings& settings, CradleSession& session) {
    std::uint32_t id = 0;
    if (session.GetDeviceId(id) != 0) return false;
    const QString group = GroupOf(id);
    if (settings.contains(group + "/DisplayName") || settings.contains(group + "/Description")) {
        return true;
    }
    QString name = IdentText(session, "Name").trimmed();
    if (name.isEmpty()) name = QLatin1String(kDefaultDeviceName);
    settings.setValue(group + "/DisplayName", Fitted(name));
    settings.setValue(group + "/Description", Fitted(IdentText(session, "Desc")));
    settings.sync();
    return true;
}

bool ReadPartnership(QSettings& settings, CradleSession& session, Partnership& partnership) {
    partnership = {};
    std::uint32_t id = 0;
    if (session.GetDeviceId(id) != 0) return false;
    const QString group = GroupOf(id);
    if (!settings.contains(group + "/DisplayName") || !settings.contains(group + "/Description")) {
        return false;
    }
    partnership.displayName = Fitted(settings.value(group + "/DisplayName").toString());
    partnership.description = Fitted(settings.value(group + "/Description").toString());
    return true;
}

}  // namespace ce
