#include "platform/ce/record_codec.h"

#include <QtEndian>

#include <algorithm>

namespace ce {
namespace {

constexpr qsizetype kHeaderSize = 8;

void AppendU32(QByteArray& out, std::uint32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void AppendData(QByteArray& out, const PropVal& prop) {
    char bytes[4];
    switch (prop.Type()) {
        case CEVT_UI2:
            qToLittleEndian(static_cast<std::uint16_t>(prop.number), bytes);
            out.append(bytes, 2);
            break;
        case CEVT_UI4:
            qToLittleEndian(prop.number, bytes);
            out.append(bytes, 4);
            break;
        case CEVT_LPWSTR: {
            const qsizetype at = out.size();
            out.resize(at + prop.text.size() * 2);
            qToLittleEndian<char16_t>(prop.text.utf16(), prop.text.size(), out.data() + at);
            break;
        }
        default: out += prop.blob; break;
    }
}

// The value of one property from its data; false when the length does not
// suit the type.
bool SetData(PropVal& prop, const char* data, qsizetype size) {
    switch (prop.Type()) {
        case CEVT_UI2:
            if (size != 2) return false;
            prop.number = qFromLittleEndian<std::uint16_t>(data);
            return true;
        case CEVT_UI4:
            if (size != 4) return false;
            prop.number = qFromLittleEndian<std::uint32_t>(data);
            return true;
        case CEVT_LPWSTR:
            if (size % 2 != 0) return false;
            prop.text.resize(size / 2);
            qFromLittleEndian<char16_t>(data, size / 2, prop.text.data());
            return true;
        case CEVT_BLOB: prop.blob = QByteArray(data, size); return true;
        default: return false;
    }
}

// Records hold a handful of properties: comparing each pair beats sorting
// a copy on every write. Longer lists are sorted.
bool HasDuplicateIds(const Record& props) {
    constexpr std::size_t kPairwise = 16;
    if (props.size() > kPairwise) {
        std::vector<PropId> ids;
        ids.reserve(props.size());
        for (const PropVal& prop : props) ids.push_back(prop.id);
        std::sort(ids.begin(), ids.end());
        return std::adjacent_find(ids.begin(), ids.end()) != ids.end();
    }
    for (auto it = props.begin(); it != props.end(); ++it) {
        for (auto later = it + 1; later != props.end(); ++later) {
            if (later->id == it->id) return true;
        }
    }
    return false;
}

}  // namespace

bool IsKnownType(std::uint16_t type) {
    return type == CEVT_UI2 || type == CEVT_UI4 || type == CEVT_LPWSTR || type == CEVT_BLOB;
}

PropVal PropVal::UI2(std::uint16_t propNumber, std::uint16_t value) {
    return {MakePropId(propNumber, CEVT_UI2), 0, value, {}, {}};
}
PropVal PropVal::UI4(std::uint16_t propNumber, std::uint32_t value) {
    return {MakePropId(propNumber, CEVT_UI4), 0, value, {}, {}};
}
PropVal PropVal::Text(std::uint16_t propNumber, const QString& value) {
    return {MakePropId(propNumber, CEVT_LPWSTR), 0, 0, value, {}};
}
PropVal PropVal::Blob(std::uint16_t propNumber, const QByteArray& value) {
    return {MakePropId(propNumber, CEVT_BLOB), 0, 0, {}, value};
}

qsizetype DataSize(const PropVal& prop) {
    switch (prop.Type()) {
        case CEVT_UI2: return 2;
        case CEVT_UI4: return 4;
        case CEVT_LPWSTR: return prop.text.size() * 2;
        default: return prop.blob.size();
    }
}

QByteArray EncodeRecord(const Record& props) {
    qsizetype size = 0;
    for (const PropVal& prop : props) size += kHeaderSize + DataSize(prop);
    QByteArray out;
    out.reserve(size);
    for (const PropVal& prop : props) {
        AppendU32(out, prop.id);
        AppendU32(out, static_cast<std::uint32_t>(DataSize(prop)));
        AppendData(out, prop);
    }
    return out;
}

std::optional<Record> DecodeRecord(const QByteArray& stored) {
    Record props;
    const char* p = stored.constData();
    qsizetype left = stored.size();
    while (left > 0) {
        if (left < kHeaderSize) return std::nullopt;
        PropVal prop;
        prop.id = qFromLittleEndian<std::uint32_t>(p);
        std::uint32_t size = qFromLittleEndian<std::uint32_t>(p + 4);
        p += kHeaderSize;
        left -= kHeaderSize;
        if (size > static_cast<std::uint32_t>(left) || !SetData(prop, p, size)) return std::nullopt;
        p += size;
        left -= size;
        props.push_back(std::move(prop));
    }
    return props;
}

std::uint32_t CheckWritable(const Record& props) {
    if (HasDuplicateIds(props)) return ERROR_INVALID_PARAMETER;
    qsizetype total = 0;
    for (const PropVal& prop : props) {
        const bool remove = prop.flags == CEDB_PROPDELETE;
        if (!IsKnownType(prop.Type()) || (prop.flags != 0 && !remove)) {
            return ERROR_INVALID_PARAMETER;
        }
        if (remove) continue;
        if (prop.Type() == CEVT_UI2 && prop.number > 0xFFFF) return ERROR_INVALID_PARAMETER;
        if (DataSize(prop) > CEDB_MAXPROPDATASIZE) return ERROR_INVALID_PARAMETER;
        total += DataSize(prop) + kHeaderSize;
    }
    return total > CEDB_MAXRECORDSIZE ? ERROR_INVALID_PARAMETER : 0;
}

Record MergeRecord(Record stored, const Record& changes) {
    for (const PropVal& change : changes) {
        auto it = std::find_if(stored.begin(), stored.end(),
                               [&](const PropVal& p) { return p.id == change.id; });
        if (change.flags == CEDB_PROPDELETE) {
            if (it != stored.end()) stored.erase(it);
        } else if (it != stored.end()) {
            *it = change;
        } else {
            stored.push_back(change);
        }
    }
    return stored;
}

}  // namespace ce
