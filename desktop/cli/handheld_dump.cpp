#include "desktop/cli/handheld_dump.h"

#include <QJsonArray>
#include <QtEndian>

namespace tandrel::cli {
namespace {

QString Hex32(std::uint32_t value) {
    return QStringLiteral("0x%1").arg(value, 8, 16, QLatin1Char('0')).toUpper().replace("0X", "0x");
}

QString HexBytes(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QJsonObject PropertyJson(const ce::PropVal& prop) {
    static const std::map<std::uint16_t, QString> kNames = {{ce::CEVT_UI2, "CEVT_UI2"},
                                                            {ce::CEVT_UI4, "CEVT_UI4"},
                                                            {ce::CEVT_LPWSTR, "CEVT_LPWSTR"},
                                                            {ce::CEVT_BLOB, "CEVT_BLOB"}};
    QJsonObject o{{"id", Hex32(prop.id)}, {"type", kNames.at(prop.Type())}};
    switch (prop.Type()) {
        case ce::CEVT_LPWSTR: o["value"] = prop.text; break;
        case ce::CEVT_BLOB: o["value"] = HexBytes(prop.blob); break;
        default: o["value"] = static_cast<qint64>(prop.number); break;
    }
    return o;
}

std::uint32_t RecordsJson(ce::ObjectStore& store, ce::Oid oid, QJsonArray& records) {
    ce::Handle handle = 0;
    if (std::uint32_t error = store.OpenDatabase(oid, {}, 0, ce::CEDB_AUTOINCREMENT, handle)) {
        return error;
    }
    std::uint32_t error = 0;
    for (;;) {
        ce::Record props;
        ce::Oid read = 0;
        error = store.ReadRecordProps(handle, props, read);
        if (error != 0) break;
        QJsonArray properties;
        for (const ce::PropVal& prop : props) properties.append(PropertyJson(prop));
        records.append(QJsonObject{{"oid", static_cast<qint64>(read)}, {"properties", properties}});
    }
    store.CloseHandle(handle);
    return error == ce::ERROR_NO_MORE_ITEMS ? 0 : error;
}

std::uint32_t DatabaseJson(ce::ObjectStore& store, ce::Oid oid, QJsonObject& database) {
    ce::ObjectInfo info;
    if (std::uint32_t error = store.OidGetInfo(oid, info)) return error;
    QJsonArray sorts;
    for (const ce::SortOrderSpec& sort : info.database.sortOrders) sorts.append(Hex32(sort.propId));
    QJsonArray records;
    if (std::uint32_t error = RecordsJson(store, oid, records)) return error;
    database = {{"name", info.database.name},
                {"oid", static_cast<qint64>(oid)},
                {"type", Hex32(info.database.type)},
                {"sortOrders", sorts},
                {"records", records}};
    return 0;
}

QJsonValue RegistryValueJson(const ce::RegistryValue& value) {
    if (value.type == ce::REG_DWORD && value.data.size() == 4) {
        return static_cast<qint64>(qFromLittleEndian<std::uint32_t>(value.data.constData()));
    }
    if (value.type == ce::REG_SZ && value.data.size() % 2 == 0) {
        QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(value.data.constData()),
                                          value.data.size() / 2);
        return text.left(text.indexOf(QChar(0)) < 0 ? text.size() : text.indexOf(QChar(0)));
    }
    return HexBytes(value.data);
}

QJsonObject RegistryJson(const ce::RegistryValue& value) {
    static const std::map<std::uint32_t, QString> kTypes = {
        {ce::REG_SZ, "REG_SZ"}, {ce::REG_BINARY, "REG_BINARY"}, {ce::REG_DWORD, "REG_DWORD"}};
    auto type = kTypes.find(value.type);
    return {
        {"root", value.root == ce::HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER"},
        {"key", value.key},
        {"name", value.name},
        {"type", type != kTypes.end() ? type->second : QString::number(value.type)},
        {"value", RegistryValueJson(value)}};
}

std::string Text(const QJsonValue& value) {
    if (value.isDouble()) {
        const auto n = static_cast<std::uint32_t>(value.toInteger());
        return std::to_string(n) + " (" + Hex32(n).toStdString() + ")";
    }
    return value.toString().toStdString();
}

}  // namespace

bool DumpStore(ce::ObjectStore& store, QJsonObject& dump, std::uint32_t& error) {
    std::vector<ce::Oid> oids;
    if ((error = store.FindDatabases(0, oids)) != 0) return false;
    QJsonArray databases;
    for (ce::Oid oid : oids) {
        QJsonObject database;
        if ((error = DatabaseJson(store, oid, database)) != 0) return false;
        databases.append(database);
    }
    std::vector<ce::RegistryValue> values;
    if ((error = store.RegistryValues(values)) != 0) return false;
    QJsonArray registry;
    for (const ce::RegistryValue& value : values) registry.append(RegistryJson(value));
    dump = {{"databases", databases}, {"registry", registry}};
    return true;
}

void PrintDump(std::ostream& out, const QJsonObject& dump) {
    for (const QJsonValue& d : dump["databases"].toArray()) {
        const QJsonObject db = d.toObject();
        QStringList sorts;
        for (const QJsonValue& s : db["sortOrders"].toArray()) sorts << s.toString();
        const QJsonArray records = db["records"].toArray();
        out << "database " << Text(db["name"]) << " (type " << Text(db["type"]) << ", sort "
            << sorts.join(", ").toStdString() << ", " << records.size() << " records)\n";
        for (const QJsonValue& r : records) {
            out << "  record " << r["oid"].toInteger() << "\n";
            for (const QJsonValue& p : r["properties"].toArray()) {
                out << "    " << Text(p["id"]) << " " << Text(p["type"]) << " " << Text(p["value"])
                    << "\n";
            }
        }
    }
    out << "registry\n";
    QString key;
    for (const QJsonValue& v : dump["registry"].toArray()) {
        const QString path = v["root"].toString() + "\\" + v["key"].toString();
        if (path != key) out << "  " << path.toStdString() << "\n";
        key = path;
        out << "    " << Text(v["name"]) << " " << Text(v["type"]) << " " << Text(v["value"])
            << "\n";
    }
}

}  // namespace tandrel::cli
