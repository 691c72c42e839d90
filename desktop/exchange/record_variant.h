#pragma once

#include "desktop/exchange/handheld_record.h"
#include "platform/com/variant.h"

namespace tandrel {

// A record as a network device passes it: an array of variants, lower bound
// 0, one element per stored property in order (CEVT_UI2 as VT_I2, CEVT_UI4
// as VT_I4, text as VT_BSTR, binary data as a byte array, lower bound 0).
com::Variant RecordToVariant(const CHandheldRecord& record);

// Takes the values of a record variant into `record`. Any other shape (not
// an array of variants, lower bound not 0, a different element count, an
// element of another type, a byte array with lower bound not 0) is refused
// and changes nothing. Empty elements give 0, an empty text or no bytes.
bool RecordFromVariant(const com::Variant& variant, CHandheldRecord& record);

}  // namespace tandrel
