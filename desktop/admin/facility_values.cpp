#include "desktop/admin/facility_values.h"

#include <array>

namespace tandrel {
namespace {

using V = NewFacilityValues;

constexpr std::array kDaylightFields = {&V::daylightSavings, &V::dstAheadDay, &V::dstAheadMonth,
                                        &V::dstBackDay, &V::dstBackMonth};
constexpr std::array kCardFields = {&V::cardTrack,
                                    &V::cardIDPosIsField,
                                    &V::cardIDPosition,
                                    &V::cardFacilityPosIsField,
                                    &V::cardFacilityPosition,
                                    &V::cardIssueIsField,
                                    &V::cardIssuePosition,
                                    &V::cardExpireIsField,
                                    &V::cardExpirePosition,
                                    &V::cardExpireFormat,
                                    &V::cardExpireThru};
constexpr std::array kCaptionFields = {&V::contact1Name, &V::contact2Name, &V::referenceName};

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value);
}

template <typename Fields>
bool Differ(const Fields& fields, const V& a, const V& b) {
    for (auto field : fields) {
        if (a.*field != b.*field) return true;
    }
    return false;
}

}  // namespace

NewFacilityValues ReadFacilityValues(const CFacilityPropertiesRecordset& r) {
    V v;
    v.name = r.m_Name;
    v.facilityCode = r.m_FacilityCode;
    v.idCodeLength = r.m_IDCodeLength;
    v.pinLength = r.m_PINLength;
    v.daylightSavings = r.m_DaylightSavings;
    v.dstAheadDay = r.m_DSTAheadDay;
    v.dstAheadMonth = r.m_DSTAheadMonth;
    v.dstBackDay = r.m_DSTBackDay;
    v.dstBackMonth = r.m_DSTBackMonth;
    v.cardTrack = r.m_CardTrack;
    v.cardIDPosIsField = r.m_CardIDPosIsField;
    v.cardIDPosition = r.m_CardIDPosition;
    v.cardFacilityPosIsField = r.m_CardFacilityPosIsField;
    v.cardFacilityPosition = r.m_CardFacilityPosition;
    v.cardIssueIsField = r.m_CardIssueIsField;
    v.cardIssuePosition = r.m_CardIssuePosition;
    v.cardExpireIsField = r.m_CardExpireIsField;
    v.cardExpirePosition = r.m_CardExpirePosition;
    v.cardExpireFormat = r.m_CardExpireFormat;
    v.cardExpireThru = r.m_CardExpireThru;
    v.contact1Name = r.m_Contact1Name;
    v.contact2Name = r.m_Contact2Name;
    v.referenceName = r.m_ReferenceName;
    return v;
}

void WriteFacilityValues(CFacilityPropertiesRecordset& r, const NewFacilityValues& v,
                         bool daylight) {
    r.m_Name = v.name;
    r.m_FacilityCode = v.facilityCode;
    r.m_IDCodeLength = Byte(v.idCodeLength);
    r.m_PINLength = Byte(v.pinLength);
    if (daylight) {
        r.m_DaylightSavings = Byte(v.daylightSavings);
        r.m_DSTAheadDay = Byte(v.dstAheadDay);
        r.m_DSTAheadMonth = Byte(v.dstAheadMonth);
        r.m_DSTBackDay = Byte(v.dstBackDay);
        r.m_DSTBackMonth = Byte(v.dstBackMonth);
    }
    r.m_CardTrack = Byte(v.cardTrack);
    r.m_CardIDPosIsField = Byte(v.cardIDPosIsField);
    r.m_CardIDPosition = Byte(v.cardIDPosition);
    r.m_CardFacilityPosIsField = Byte(v.cardFacilityPosIsField);
    r.m_CardFacilityPosition = Byte(v.cardFacilityPosition);
    r.m_CardIssueIsField = Byte(v.cardIssueIsField);
    r.m_CardIssuePosition = Byte(v.cardIssuePosition);
    r.m_CardExpireIsField = Byte(v.cardExpireIsField);
    r.m_CardExpirePosition = Byte(v.cardExpirePosition);
    r.m_CardExpireFormat = Byte(v.cardExpireFormat);
    r.m_CardExpireThru = Byte(v.cardExpireThru);
    r.m_Contact1Name = v.contact1Name;
    r.m_Contact2Name = v.contact2Name;
    r.m_ReferenceName = v.referenceName;
}

FacilityChanges CompareFacilityValues(const NewFacilityValues& stored,
                                      const NewFacilityValues& edited, bool daylight) {
    FacilityChanges c;
    c.caption = Differ(kCaptionFields, stored, edited);
    c.pinLength = stored.pinLength != edited.pinLength;
    c.idCodeLength = stored.idCodeLength != edited.idCodeLength;
    c.any = c.caption || c.pinLength || c.idCodeLength || stored.name != edited.name ||
            stored.facilityCode != edited.facilityCode || Differ(kCardFields, stored, edited) ||
            (daylight && Differ(kDaylightFields, stored, edited));
    return c;
}

}  // namespace tandrel
