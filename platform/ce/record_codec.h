#pragma once

#include <QByteArray>

#include <optional>

#include "platform/ce/ce_types.h"

// A record's properties as one stored value: for each property, in the
// order written, its id (4 bytes), its data length (4 bytes), both
// little-endian, and the data: CEVT_UI2 2 bytes, CEVT_UI4 4 bytes,
// CEVT_LPWSTR the UTF-16 code units without terminator, CEVT_BLOB the bytes.
namespace ce {

QByteArray EncodeRecord(const Record& props);
// nullopt when the bytes are not such a record (the store file is outside
// input).
std::optional<Record> DecodeRecord(const QByteArray& stored);

// 0, or ERROR_INVALID_PARAMETER for properties a write must refuse: an
// unknown type or flag, a property twice, a value too large for its type.
std::uint32_t CheckWritable(const Record& props);

// `stored` with the properties of `changes` replaced, added at the end, or
// removed (CEDB_PROPDELETE).
Record MergeRecord(Record stored, const Record& changes);

// Bytes of data a property takes.
qsizetype DataSize(const PropVal& prop);

}  // namespace ce
