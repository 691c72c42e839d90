#include "desktop/cli/facility_options.h"

#include <array>

#include "desktop/admin/facility_properties_sheet.h"

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

}  // namespace

std::set<std::string> FacilityOptions() {
    std::set<std::string> known{"--card-expire-thru"};
    for (const auto& o : kNumbers) known.insert(o.option);
    for (const auto& o : kDaylight) known.insert(o.option);
    for (const auto& o : kKinds) known.insert(o.option);
    for (const auto& o : kTexts) known.insert(o.option);
    return known;
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
