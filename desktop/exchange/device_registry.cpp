#include "desktop/exchange/device_registry.h"

#include <QtEndian>

namespace tandrel {
namespace {

// A REG_SZ value read into a text buffer: the text up to its terminator;
// empty when missing or when it and its terminator do not fit.
std::uint32_t QueryText(ce::Api& device, ce::HKey key, const char* name, QString& text) {
    text.clear();
    std::uint32_t type = 0;
    QByteArray data;
    std::uint32_t error = device.RegQueryValueEx(key, name, type, data, kRegistryTextBytes);
    if (error == ce::ERROR_FILE_NOT_FOUND || error == ce::ERROR_MORE_DATA) return 0;
    if (error != 0) return error;
    text = QString::fromUtf16(reinterpret_cast<const char16_t*>(data.constData()), data.size() / 2);
    const qsizetype end = text.indexOf(QChar(0));
    if (end >= 0) {
        text.truncate(end);
    } else if (data.size() > static_cast<qsizetype>(kRegistryTextBytes) - 2) {
        text.clear();  // no room left for the terminator
    }
    return 0;
}

// A 4-byte value; 0 when missing.
std::uint32_t QueryDword(ce::Api& device, ce::HKey key, const char* name, std::uint32_t& value) {
    value = 0;
    std::uint32_t type = 0;
    QByteArray data;
    std::uint32_t error = device.RegQueryValueEx(key, name, type, data, 4);
    if (error == ce::ERROR_FILE_NOT_FOUND || error == ce::ERROR_MORE_DATA) return 0;
    if (error != 0) return error;
    if (data.size() == 4) value = qFromLittleEndian<std::uint32_t>(data.constData());
    return 0;
}

QByteArray TextData(const QString& text) {
    QByteArray data(text.size() * 2, '\0');
    qToLittleEndian<char16_t>(text.utf16(), text.size(), data.data());
    return data;
}

QByteArray DwordData(std::uint32_t value) {
    QByteArray data(4, '\0');
    qToLittleEndian(value, data.data());
    return data;
}

struct RegistryValues {
    std::uint32_t facility = 0;
    QString version;
    std::uint32_t identity = 0;
    QString versionLos;
};

std::uint32_t QueryFirstPart(ce::Api& device, RegistryValues& values) {
    ce::HKey key = 0;
    if (std::uint32_t error = device.RegCreateKeyEx(ce::HKEY_LOCAL_MACHINE, kDataLinkKey, key)) {
        return error;
    }
    std::uint32_t error = QueryText(device, key, "Version", values.version);
    if (error == 0) error = QueryDword(device, key, "Facility", values.facility);
    if (error == 0) error = QueryDword(device, key, "Identity", values.identity);
    device.RegCloseKey(key);
    return error;
}

std::uint32_t QueryLockOs(ce::Api& device, RegistryValues& values) {
    ce::HKey key = 0;
    if (std::uint32_t error = device.RegOpenKeyEx(ce::HKEY_LOCAL_MACHINE, kDataLinkKey, key)) {
        return error;
    }
    std::uint32_t error = QueryText(device, key, "VerLockOS", values.versionLos);
    device.RegCloseKey(key);
    return error;
}

}  // namespace

std::uint32_t ReadDeviceRegistry(ce::Api& device, CHandheldRecord& record) {
    RegistryValues values;
    if (std::uint32_t error = QueryFirstPart(device, values)) return error;
    if (std::uint32_t error = QueryLockOs(device, values)) return error;
    record.SetUI4(REG_DATA_OFFSET_FACILITY, values.facility);
    record.SetString(REG_DATA_OFFSET_VERSION, values.version);
    record.SetUI4(REG_DATA_OFFSET_IDENTITY, values.identity);
    record.SetString(REG_DATA_OFFSET_VERSION_LOS, values.versionLos);
    return 0;
}

std::uint32_t WriteDeviceRegistry(ce::Api& device, const CHandheldRecord& record) {
    ce::HKey key = 0;
    if (std::uint32_t error = device.RegCreateKeyEx(ce::HKEY_LOCAL_MACHINE, kDataLinkKey, key)) {
        return error;
    }
    // Texts go without their terminator.
    const struct {
        const char* name;
        std::uint32_t type;
        QByteArray data;
    } sets[] = {
        {"Version", ce::REG_SZ, TextData(record.GetString(REG_DATA_OFFSET_VERSION))},
        {"Facility", ce::REG_DWORD, DwordData(record.GetUI4(REG_DATA_OFFSET_FACILITY))},
        {"Identity", ce::REG_DWORD, DwordData(record.GetUI4(REG_DATA_OFFSET_IDENTITY))},
        {"VerLockOS", ce::REG_SZ, TextData(record.GetString(REG_DATA_OFFSET_VERSION_LOS))},
    };
    std::uint32_t error = 0;
    for (const auto& set : sets) {
        error = device.RegSetValueEx(key, set.name, set.type, set.data);
        if (error != 0) break;
    }
    // Closing commits the values: a failure there is the write's too.
    std::uint32_t closed = device.RegCloseKey(key);
    return error != 0 ? error : closed;
}

}  // namespace tandrel
