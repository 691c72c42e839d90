#pragma once

#include "desktop/data/facility_document.h"

namespace tandrel {

// The editable FacilityProperties values, kept in the shape the new
// facility wizard hands to the document.
NewFacilityValues ReadFacilityValues(const CFacilityPropertiesRecordset& row);
// Writes the values into the row in edit mode; the daylight-saving values
// only with `daylight`.
void WriteFacilityValues(CFacilityPropertiesRecordset& row, const NewFacilityValues& values,
                         bool daylight);

struct FacilityChanges {
    bool any = false;
    bool caption = false;  // Contact1Name, Contact2Name or ReferenceName
    bool pinLength = false;
    bool idCodeLength = false;
};
// What differs between the stored and the edited values (daylight-saving
// values only with `daylight`).
FacilityChanges CompareFacilityValues(const NewFacilityValues& stored,
                                      const NewFacilityValues& edited, bool daylight);

}  // namespace tandrel
