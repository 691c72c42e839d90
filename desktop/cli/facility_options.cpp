#include "desktop/cli/facility_options.h"

#include <array>

#include "desktop/admin/facility_properties_sheet.h"

namespace tandrel::cli {
namespace {

using V = NewFacilityValues;

struct NumberOption {
    const char* option;
    int V::*member;
    const char* value;  // the placeholder in the usage
    const char* help;
};
const std::array kNumbers = {
    NumberOption{"--id-length", &V::idCodeLength, "N", "code ID length"},
    NumberOption{"--pin-length", &V::pinLength, "N", "PIN length"},
    NumberOption{"--card-track", &V::cardTrack, "0|1", "the card track read: 0 Track 2, 1 Track 3"},
    NumberOption{"--card-id-position", &V::cardIDPosition, "N",
                 "where the ID is on the card, 1 to 63"},
    NumberOption{"--card-facility-position", &V::cardFacilityPosition, "N",
                 "where the facility code is on the card, 1 to 63"},
    NumberOption{"--card-issue-position", &V::cardIssuePosition, "N",
                 "where the issue number is on the card, 1 to 63"},
    NumberOption{"--card-expire-position", &V::cardExpirePosition, "N",
                 "where the expiration date is on the card, 1 to 63"},
    NumberOption{"--card-expire-format", &V::cardExpireFormat, "N",
                 "expiration date format, 0 (DDMMYY) to 13 (YYYYMMDD)"},
};
const std::array kDaylight = {
    NumberOption{"--daylight-savings", &V::daylightSavings, "0|1",
                 "daylight saving time: 0 off, 1 on"},
    NumberOption{"--dst-ahead-day", &V::dstAheadDay, "W",
                 "the week clocks go ahead: 0 first, 1 last, 2 second, 3 third, 4 fourth"},
    NumberOption{"--dst-ahead-month", &V::dstAheadMonth, "M",
                 "the month clocks go ahead, 0 (January) to 11 (December)"},
    NumberOption{"--dst-back-day", &V::dstBackDay, "W",
                 "the week clocks go back, as --dst-ahead-day"},
    NumberOption{"--dst-back-month", &V::dstBackMonth, "M",
                 "the month clocks go back, as --dst-ahead-month"},
};
// Where a card value sits: a character, a field, or not on the card.
constexpr char kKind[] = "character|field|none";
const std::array kKinds = {
    NumberOption{"--card-id-kind", &V::cardIDPosIsField, kKind,
                 "whether the ID position counts characters or fields"},
    NumberOption{"--card-facility-kind", &V::cardFacilityPosIsField, kKind,
                 "the same for the facility code; none: not on the card"},
    NumberOption{"--card-issue-kind", &V::cardIssueIsField, kKind, "the same for the issue number"},
    NumberOption{"--card-expire-kind", &V::cardExpireIsField, kKind,
                 "the same for the expiration date"},
};
struct TextOption {
    const char* option;
    QString V::*member;
    const char* value;
    const char* help;
};
const std::array kTexts = {
    TextOption{"--name", &V::name, "NAME", "the facility's name, also its file's"},
    TextOption{"--facility-code", &V::facilityCode, "CODE", "facility code, digits only"},
    TextOption{"--contact1-name", &V::contact1Name, "TEXT", "caption of the users' first contact"},
    TextOption{"--contact2-name", &V::contact2Name, "TEXT", "caption of the users' second contact"},
    TextOption{"--reference-name", &V::referenceName, "TEXT", "caption of the users' reference"},
};

}  // namespace

Options FacilityOptions() {
    Options options;
    for (const auto& o : kTexts) options.push_back({o.option, o.value, o.help});
    for (const auto& o : kNumbers) options.push_back({o.option, o.value, o.help});
    for (const auto& o : kKinds) options.push_back({o.option, o.value, o.help});
    options.push_back(
        {"--card-expire-thru", "thru|to", "the card is good thru its expiration date, or to it"});
    for (const auto& o : kDaylight) options.push_back({o.option, o.value, o.help});
    return options;
}

namespace {

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

}  // namespace

bool ApplyFacilityOptions(const Context& c, V& v) {
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

}  // namespace tandrel::cli
