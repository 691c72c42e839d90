#include "desktop/exchange/record_layout.h"

#include "platform/ce/ce_types.h"

namespace tandrel {

using ce::CEVT_BLOB;
using ce::CEVT_LPWSTR;
using ce::CEVT_UI2;
using ce::CEVT_UI4;

const std::vector<std::uint16_t>& PropertyTypes(RecordKind kind) {
    static const std::vector<std::uint16_t> kPgm = {CEVT_UI4, CEVT_UI2, CEVT_BLOB};
    static const std::vector<std::uint16_t> kLdf = {CEVT_UI2, CEVT_LPWSTR, CEVT_UI2};
    static const std::vector<std::uint16_t> kLaf = {CEVT_UI2, CEVT_BLOB};
    static const std::vector<std::uint16_t> kLmf = {CEVT_UI2,    CEVT_UI2, CEVT_UI2, CEVT_UI2,
                                                    CEVT_LPWSTR, CEVT_UI2, CEVT_UI2, CEVT_UI2,
                                                    CEVT_UI4,    CEVT_UI4};
    static const std::vector<std::uint16_t> kReg = {CEVT_UI4, CEVT_LPWSTR, CEVT_UI4, CEVT_LPWSTR};
    static const std::vector<std::uint16_t> kLos = {CEVT_UI4, CEVT_BLOB, CEVT_UI4};
    switch (kind) {
        case RecordKind::Programming: return kPgm;
        case RecordKind::Directory: return kLdf;
        case RecordKind::Audit: return kLaf;
        case RecordKind::EnrolledLock: return kLmf;
        case RecordKind::DeviceRegistry: return kReg;
        case RecordKind::OsData: return kLos;
    }
    return kPgm;
}

int StoredPropertyCount(RecordKind kind, bool network) {
    const int listed = static_cast<int>(PropertyTypes(kind).size());
    return kind == RecordKind::OsData && !network ? listed - 1 : listed;
}

bool AlwaysUpdates(RecordKind kind) {
    return kind == RecordKind::DeviceRegistry || kind == RecordKind::OsData;
}

int DataTypeOf(std::uint16_t ceType) {
    switch (ceType) {
        case CEVT_UI2: return DATA_TYPE_I2;
        case CEVT_UI4: return DATA_TYPE_I4;
        case CEVT_LPWSTR: return DATA_TYPE_STRING;
        default: return DATA_TYPE_BINARY;
    }
}

}  // namespace tandrel
