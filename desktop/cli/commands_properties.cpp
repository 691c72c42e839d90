#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

#include "desktop/admin/facility_properties_sheet.h"
#include "desktop/cli/cli_context.h"

namespace tandrel::cli {
namespace {

using V = NewFacilityValues;

struct NumberOption {
    const char* option;
    int V::*member;
};
const std::array kNumbers = {
    NumberOption{"--id-length", &V::idCodeLength},
    NumberOption{"--pin-length", &V::pinLength},
    NumberOption{"--card-track", &V::cardTrack},
    NumberOption{"--card-id-position", &V::cardIDPosition},
    NumberOption{"--card-facility-position", &V::cardFacilityPosition},
    NumberOption{"--card-issue-position", &V::cardIssuePosition},
    NumberOption{"--card-expire-position", &V::cardExpirePosition},
    NumberOption{"--card-expire-format", &V::cardExpireFormat},
};
const std::array kDaylight = {
    NumberOption{"--daylight-savings", &V::daylightSavings},
    NumberOption{"--dst-ahead-day", &V::dstAheadDay},
    NumberOption{"--dst-ahead-month", &V::dstAheadMonth},
    NumberOption{"--dst-back-day", &V::dstBackDay},
    NumberOption{"--dst-back-month", &V::dstBackMonth},
};
// Where a card value sits: a character, a field, or not on the card.
const std::array kKinds = {
    NumberOption{"--card-id-kind", &V::cardIDPosIsField},
    NumberOption{"--card-facility-kind", &V::cardFacilityPosIsField},
    NumberOption{"--card-issue-kind", &V::cardIssueIsField},
    NumberOption{"--card-expire-kind", &V::cardExpireIsField},
};
struct TextOption {
    const char* option;
    QString V::*member;
};
const std::array kTexts = {
    TextOption{"--name", &V::name},
    TextOption{"--facility-code", &V::facilityCode},
    TextOption{"--contact1-name", &V::contact1Name},
    TextOption{"--contact2-name", &V::contact2Name},
    TextOption{"--reference-name", &V::referenceName},
};

std::set<std::string> KnownOptions() {
    std::set<std::string> known{"--card-expire-thru"};
    for (const auto& o : kNumbers) known.insert(o.option);
    for (const auto& o : kDaylight) known.insert(o.option);
    for (const auto& o : kKinds) known.insert(o.option);
    for (const auto& o : kTexts) known.insert(o.option);
    return known;
}

int KindOf(const Context& c, const std::string& option) {
    const QString word = c.args.Text(option);
    if (word == QLatin1String("character")) return kCharacterPosition;
    if (word == QLatin1String("field")) return kFieldPosition;
    if (word == QLatin1String("none")) return kPositionNotUsed;
    throw UsageError(option + " must be character, field or none");
}

int ThruOf(const Context& c) {
    const QString word = c.args.Text("--card-expire-thru");
    if (word == QLatin1String("thru")) return 0;
    if (word == QLatin1String("to")) return 1;
    throw UsageError("--card-expire-thru must be thru or to");
}

// Reads every option into the values; true when a daylight-saving value
// was given (its page counts as shown).
bool Apply(const Context& c, V& v) {
    for (const auto& o : kTexts) {
        if (c.args.Has(o.option)) v.*o.member = c.args.Text(o.option);
    }
    for (const auto& o : kNumbers) v.*o.member = c.args.Number(o.option, v.*o.member, 0, 255);
    for (const auto& o : kKinds) {
        if (c.args.Has(o.option)) v.*o.member = KindOf(c, o.option);
    }
    if (c.args.Has("--card-expire-thru")) v.cardExpireThru = ThruOf(c);
    bool daylight = false;
    for (const auto& o : kDaylight) {
        daylight = daylight || c.args.Has(o.option);
        v.*o.member = c.args.Number(o.option, v.*o.member, 0, 255);
    }
    return daylight;
}

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
    c.args.RejectOthers(KnownOptions());
    if (!c.OpenFacility()) return 1;
    auto sheet = CFacilityPropertiesSheet::Open(c.doc, c.prompter);
    if (Apply(c, sheet->Values())) sheet->OpenDaylightPage();
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
        "         [--contact1-name T] [--contact2-name T] [--reference-name T] [--card-track N]\n"
        "         [--card-id-kind|--card-facility-kind|--card-issue-kind|--card-expire-kind\n"
        "          character|field|none] [--card-id-position N] [--card-facility-position N]\n"
        "         [--card-issue-position N] [--card-expire-position N] [--card-expire-format N]\n"
        "         [--card-expire-thru thru|to] [--daylight-savings N] [--dst-ahead-day N]\n"
        "         [--dst-ahead-month N] [--dst-back-day N] [--dst-back-month N]\n"
        "         change the facility properties; new code ID or PIN lengths convert\n"
        "         every user's codes",
        {},
        Facility};
}

}  // namespace tandrel::cli
