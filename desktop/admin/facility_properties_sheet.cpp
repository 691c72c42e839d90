#include "desktop/admin/facility_properties_sheet.h"
#include "desktop/admin/digits.h"
#include "desktop/admin/page_check.h"

#include <QFileInfo>

#include "desktop/admin/facility_properties_texts.h"
#include "desktop/admin/facility_values.h"
#include "desktop/data/facility_texts.h"

namespace tandrel {
namespace {

constexpr int kMinIdLength = 4, kMaxIdLength = 10;
constexpr int kMinPinLength = 3, kMaxPinLength = 6;
constexpr int kMaxFacilityCodeDigits = 10;

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
    return CheckWizard(field) && CheckLengths(field) && CheckFacilityCode(field) &&
           CheckCardPositions(field) && CheckCaptions(field) && CheckDaylight(field);
}

bool CFacilityPropertiesSheet::CheckWizard(FacilityField* field) {
    if (!IsWizard()) return true;
    if (values_.name.trimmed().isEmpty()) {
        return Fail(texts::kMustEnterFacilityName, FacilityField::Name, field);
    }
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

bool CFacilityPropertiesSheet::CheckCaptions(FacilityField* field) {
    if (values_.contact1Name.trimmed().isEmpty()) {
        return Fail(texts::kContact1FieldName, FacilityField::Contact1Name, field);
    }
    if (values_.contact2Name.trimmed().isEmpty()) {
        return Fail(texts::kContact2FieldName, FacilityField::Contact2Name, field);
    }
    if (values_.referenceName.trimmed().isEmpty()) {
        return Fail(texts::kReferenceFieldName, FacilityField::ReferenceName, field);
    }
    return true;
}

// The daylight-saving values count only once their page was shown.
bool CFacilityPropertiesSheet::CheckDaylight(FacilityField* field) {
    if (daylightOpened_ && values_.daylightSavings == kNothingChosen) {
        return Fail(texts::kDaylightSavingsType, FacilityField::DaylightSavingsType, field);
    }
    return true;
}

bool CFacilityPropertiesSheet::Ok(FacilityField* field) {
    if (!Check(field)) return false;
    return IsWizard() || Save();
}

}  // namespace tandrel
