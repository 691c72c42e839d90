#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

#include "desktop/admin/facility_properties_sheet.h"
#include "desktop/cli/cli_context.h"
#include "desktop/cli/facility_options.h"

namespace tandrel::cli {
namespace {

QJsonValue JsonOf(const QVariant& value) {
    if (value.isNull()) return QJsonValue::Null;
    if (value.typeId() == QMetaType::QDateTime) return value.toDateTime().toString(Qt::ISODate);
    return QJsonValue::fromVariant(value);
}

int Show(Context& c) {
    if (c.args.Words().size() != 2) throw UsageError("usage: facility show");
    c.args.RejectOthers({});
    if (!c.OpenFacility()) return 1;
    CFacilityPropertiesRecordset& row = *c.doc.m_pFacilityProperties;
    row.MoveFirst();
    const dao::TableRecordset& raw = row.Raw();
    // The text shows each field as the JSON does (dates included), in field order.
    QJsonObject json;
    for (int i = 0; i < raw.FieldCount(); ++i) {
        const QString name = raw.FieldDef(i).name;
        json[name] = JsonOf(raw.Value(i));
        if (!c.Json()) {
            c.out << name.toStdString() << ": " << json[name].toVariant().toString().toStdString()
                  << "\n";
        }
    }
    if (c.Json()) c.out << QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString() << "\n";
    return 0;
}

int Set(Context& c) {
    if (c.args.Words().size() != 2) throw UsageError("usage: facility set [options]");
    c.args.RejectOthers(FacilityOptions());
    if (!c.OpenFacility()) return 1;
    auto sheet = CFacilityPropertiesSheet::Open(c.doc, c.prompter);
    if (ApplyFacilityOptions(c, sheet->Values())) sheet->OpenDaylightPage();
    return sheet->Ok() ? 0 : 1;
}

int Facility(Context& c) {
    const QString sub = c.args.Word(1);
    if (sub == QLatin1String("show")) return Show(c);
    if (sub == QLatin1String("set")) return Set(c);
    throw UsageError("usage: facility show | facility set [options]");
}

}  // namespace

void AddPropertiesCommands(CommandTable& table) {
    table["facility"] = {
        "facility show           every facility property\n"
        "  facility set [--name NAME] [--facility-code CODE] [--id-length N] [--pin-length N]\n"
        "         [--contact1-name T] [--contact2-name T] [--reference-name T] [--card-track 0|1]\n"
        "         [--card-id-kind|--card-facility-kind|--card-issue-kind|--card-expire-kind\n"
        "          character|field|none] [--card-id-position N] [--card-facility-position N]\n"
        "         [--card-issue-position N] [--card-expire-position N] [--card-expire-format N]\n"
        "         [--card-expire-thru thru|to] [--daylight-savings 0|1] [--dst-ahead-day W]\n"
        "         [--dst-ahead-month M] [--dst-back-day W] [--dst-back-month M]\n"
        "         change the facility properties; new code ID or PIN lengths convert\n"
        "         every user's codes. Card track 0 is Track 2, 1 Track 3; positions 1 to 63;\n"
        "         expiration formats 0 (DDMMYY) to 13 (YYYYMMDD); months M 0 (January) to\n"
        "         11 (December); weeks W 0 first, 1 last, 2 second, 3 third, 4 fourth",
        {},
        Facility};
}

}  // namespace tandrel::cli
