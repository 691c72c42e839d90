#include "desktop/admin/facility_properties_sheet.h"
#include "desktop/admin/digits.h"
#include "desktop/admin/page_check.h"

#include <QFileInfo>

#include "desktop/admin/facility_properties_texts.h"
#include "desktop/admin/facility_values.h"
#include "desktop/admin/text_rules.h"
#include "desktop/data/facility_file_name.h"
#include "desktop/data/facility_texts.h"

namespace tandrel {
namespace {

constexpr int kMinIdLength = 4, kMaxIdLength = 10;
constexpr int kMinPinLength = 3, kMaxPinLength = 6;
constexpr int kMaxFacilityCodeDigits = 10;
// The lock keeps a position in the low six bits of its byte (the expiry's
// byte carries two flags above them).
constexpr int kMinCardPosition = 1, kMaxCardPosition = 63;
constexpr int kExpireFormats = 14;
constexpr int kMonths = 12;
constexpr int kWeekChoices = 5;  // first, last, second, third, fourth
constexpr int kDaylightTypes = 2;

bool OneOf(int value, int choices) {
    return value >= 0 && value < choices;
}

bool Positioned(int kind) {
    return kind == kCharacterPosition || kind == kFieldPosition;
}

}  // namespace

std::unique_ptr<CFacilityPropertiesSheet> CFacilityPropertiesSheet::Open(CTDXDoc& doc,
                                                                         Prompter& prompter) {
    std::unique_ptr<CFacilityPropertiesSheet> sheet(new CFacilityPropertiesSheet(&doc, prompter));
    CFacilityPropertiesRecordset& row = *doc.m_pFacilityProperties;
    row.MoveFirst();
    sheet->stored_ = sheet->values_ = ReadFacilityValues(row);
    return sheet;
}

std::unique_ptr<CFacilityPropertiesSheet> CFacilityPropertiesSheet::ForNewFacility(
    Prompter& prompter, const QString& facilitiesFolder) {
    std::unique_ptr<CFacilityPropertiesSheet> sheet(
        new CFacilityPropertiesSheet(nullptr, prompter));
    sheet->facilitiesFolder_ = facilitiesFolder;
    sheet->daylightOpened_ = true;  // a wizard walks every page
    return sheet;
}

bool CFacilityPropertiesSheet::Fail(const QString& message, FacilityField which,
                                    FacilityField* field) {
    return RefuseField(prompter_, message, which, field);
}

bool CFacilityPropertiesSheet::Check(FacilityField* field) {
    return CheckName(field) && CheckLengths(field) && CheckFacilityCode(field) &&
           CheckCardPositions(field) && CheckCardChoices(field) && CheckCaptions(field) &&
           CheckDaylight(field);
}

// A facility is reopened by its file's name, so every name it is given
// must be a file name.
bool CFacilityPropertiesSheet::CheckName(FacilityField* field) {
    if (!IsWizard() && values_.name == stored_.name) return true;
    if (const QString problem = FacilityNameProblem(values_.name); !problem.isEmpty()) {
        return Fail(problem, FacilityField::Name, field);
    }
    if (!IsWizard()) return true;
    const QString file = facilitiesFolder_ + QLatin1Char('/') + values_.name + ".qfd";
    if (QFileInfo::exists(file)) {
        return Fail(texts::FacilityExists(values_.name), FacilityField::Name, field);
    }
    return true;
}

bool CFacilityPropertiesSheet::CheckLengths(FacilityField* field) {
    if (values_.idCodeLength < kMinIdLength || values_.idCodeLength > kMaxIdLength) {
        return Fail(texts::CodeIdLengthRange(kMinIdLength, kMaxIdLength),
                    FacilityField::IdCodeLength, field);
    }
    if (values_.pinLength < kMinPinLength || values_.pinLength > kMaxPinLength) {
        return Fail(texts::PinLengthRange(kMinPinLength, kMaxPinLength), FacilityField::PinLength,
                    field);
    }
    return true;
}

bool CFacilityPropertiesSheet::CheckFacilityCode(FacilityField* field) {
    if (!AllDigits(values_.facilityCode)) {
        return Fail(texts::kFacilityCodeNumeric, FacilityField::FacilityCode, field);
    }
    if (values_.facilityCode.size() > kMaxFacilityCodeDigits) {
        return Fail(texts::FacilityCodeTooLong(kMaxFacilityCodeDigits), FacilityField::FacilityCode,
                    field);
    }
    return true;
}

// Where the facility code sits matters only when there is one.
bool CFacilityPropertiesSheet::CheckCardPositions(FacilityField* field) {
    const NewFacilityValues& v = values_;
    if (!v.facilityCode.isEmpty()) {
        if (!Positioned(v.cardFacilityPosIsField)) {
            return Fail(texts::kFacilityCodeWithoutPosition, FacilityField::CardFacilityPosition,
                        field);
        }
        if (v.cardFacilityPosIsField == v.cardIDPosIsField &&
            v.cardFacilityPosition == v.cardIDPosition) {
            return Fail(texts::kSameCardPosition, FacilityField::CardFacilityPosition, field);
        }
    }
    if (!Positioned(v.cardIDPosIsField)) {
        return Fail(texts::kUserIdPosition, FacilityField::CardIdPosition, field);
    }
    return true;
}

// Values that only the card data page's drop-downs and spin controls set.
bool CFacilityPropertiesSheet::CheckCardChoices(FacilityField* field) {
    const NewFacilityValues& v = values_;
    if (!OneOf(v.cardTrack, 2) && v.cardTrack != kNothingChosen)
        return Fail(texts::kCardTrackChoice, FacilityField::CardTrack, field);
    if (!CheckCardPlace(QStringLiteral("Card user ID"), v.cardIDPosIsField, v.cardIDPosition,
                        FacilityField::CardIdPosition, field) ||
        !CheckCardPlace(QStringLiteral("Card facility code"), v.cardFacilityPosIsField,
                        v.cardFacilityPosition, FacilityField::CardFacilityPosition, field) ||
        !CheckCardPlace(QStringLiteral("Card issue number"), v.cardIssueIsField,
                        v.cardIssuePosition, FacilityField::CardIssuePosition, field) ||
        !CheckCardPlace(QStringLiteral("Card expiration date"), v.cardExpireIsField,
                        v.cardExpirePosition, FacilityField::CardExpirePosition, field)) {
        return false;
    }
    if (!OneOf(v.cardExpireFormat, kExpireFormats))
        return Fail(texts::kCardExpireFormatChoice, FacilityField::CardExpireFormat, field);
    if (!OneOf(v.cardExpireThru, 2))
        return Fail(texts::kCardExpireThruChoice, FacilityField::CardExpireThru, field);
    return true;
}

// A position counts only where the item is on the card.
bool CFacilityPropertiesSheet::CheckCardPlace(const QString& item, int kind, int position,
                                              FacilityField which, FacilityField* field) {
    if (!OneOf(kind, 3)) return Fail(texts::CardKindChoice(item), which, field);
    if (Positioned(kind) && (position < kMinCardPosition || position > kMaxCardPosition)) {
        return Fail(texts::CardPositionRange(item, kMinCardPosition, kMaxCardPosition), which,
                    field);
    }
    return true;
}

// The captions head the users' free fields: each is needed, and a new one
// stays on one line and fits its field.
bool CFacilityPropertiesSheet::CheckCaptions(FacilityField* field) {
    const struct {
        QString NewFacilityValues::*member;
        const QString& needed;
        const char* column;
        FacilityField which;
    } captions[] = {
        {&NewFacilityValues::contact1Name, texts::kContact1FieldName, "Contact1Name",
         FacilityField::Contact1Name},
        {&NewFacilityValues::contact2Name, texts::kContact2FieldName, "Contact2Name",
         FacilityField::Contact2Name},
        {&NewFacilityValues::referenceName, texts::kReferenceFieldName, "ReferenceName",
         FacilityField::ReferenceName},
    };
    for (const auto& c : captions) {
        const QString& caption = values_.*c.member;
        if (caption.trimmed().isEmpty()) return Fail(c.needed, c.which, field);
        if (!IsWizard() && caption == stored_.*c.member) continue;
        const QString label =
            QStringLiteral("Field name for ") + QLatin1String(c.column).chopped(4);
        if (auto problem = NameProblem(label, caption, {kFacilityPropertiesTable, c.column}))
            return Fail(*problem, c.which, field);
    }
    return true;
}

// The daylight-saving values count only once their page was shown.
bool CFacilityPropertiesSheet::CheckDaylight(FacilityField* field) {
    if (!daylightOpened_) return true;
    const NewFacilityValues& v = values_;
    if (v.daylightSavings == kNothingChosen) {
        return Fail(texts::kDaylightSavingsType, FacilityField::DaylightSavingsType, field);
    }
    if (!OneOf(v.daylightSavings, kDaylightTypes)) {
        return Fail(texts::kDaylightSavingsChoice, FacilityField::DaylightSavingsType, field);
    }
    return CheckDaylightChange(QStringLiteral("start"), v.dstAheadMonth, v.dstAheadDay,
                               FacilityField::DstAheadMonth, FacilityField::DstAheadWeek, field) &&
           CheckDaylightChange(QStringLiteral("end"), v.dstBackMonth, v.dstBackDay,
                               FacilityField::DstBackMonth, FacilityField::DstBackWeek, field);
}

// A change is a month and a week of it, both chosen or neither: a lock
// given one without the other would change its clock on a day of nothing.
bool CFacilityPropertiesSheet::CheckDaylightChange(const QString& change, int month, int week,
                                                   FacilityField monthField,
                                                   FacilityField weekField, FacilityField* field) {
    if (!OneOf(month, kMonths) && month != kNothingChosen)
        return Fail(texts::DstMonthChoice(change), monthField, field);
    if (!OneOf(week, kWeekChoices) && week != kNothingChosen)
        return Fail(texts::DstWeekChoice(change), weekField, field);
    if ((month == kNothingChosen) != (week == kNothingChosen)) {
        return Fail(texts::DstHalfChosen(change), month == kNothingChosen ? monthField : weekField,
                    field);
    }
    return true;
}

bool CFacilityPropertiesSheet::Ok(FacilityField* field) {
    if (!Check(field)) return false;
    return IsWizard() || Save();
}

}  // namespace tandrel
