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
    if (!c.OpenFacility()) return 1;
    auto sheet = CFacilityPropertiesSheet::Open(c.doc, c.prompter);
    if (ApplyFacilityOptions(c, sheet->Values())) sheet->OpenDaylightPage();
    return sheet->Ok() ? 0 : 1;
}

}  // namespace

void AddPropertiesCommands(CommandTable& table) {
    table.Add({
        .name = "facility",
        .verbs =
            {
                {.words = {"show"}, .summary = "every facility property", .run = Show},
                {.words = {"set"},
                 .summary = "change the facility properties; new code ID or PIN lengths convert "
                            "every user's codes",
                 .options = FacilityOptions(),
                 .run = Set},
            },
    });
}

}  // namespace tandrel::cli
