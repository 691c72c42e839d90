#include "desktop/exchange/handheld_record.h"

namespace tandrel {

CHandheldRecord::CHandheldRecord(RecordKind kind, RecordTransport& transport, ce::Handle database)
    : kind_(kind), transport_(&transport), database_(database) {}

const CHandheldRecord::Slot* CHandheldRecord::SlotOf(int index, std::uint16_t type) const {
    const auto& types = PropertyTypes(kind_);
    if (index < 0 || index >= static_cast<int>(types.size())) return nullptr;
    return types[static_cast<std::size_t>(index)] == type ? &slots_[static_cast<std::size_t>(index)]
                                                          : nullptr;
}

CHandheldRecord::Slot* CHandheldRecord::SlotOf(int index, std::uint16_t type) {
    return const_cast<Slot*>(std::as_const(*this).SlotOf(index, type));
}

QByteArray CHandheldRecord::GetBlob(int index) const {
    const Slot* slot = SlotOf(index, ce::CEVT_BLOB);
    return slot ? slot->blob : QByteArray();
}

void CHandheldRecord::SetBlob(int index, const QByteArray& data) {
    if (Slot* slot = SlotOf(index, ce::CEVT_BLOB)) slot->blob = data;
}

void CHandheldRecord::SetBlob(int index, const void* data, int length) {
    SetBlob(index,
            data && length > 0 ? QByteArray(static_cast<const char*>(data), length) : QByteArray());
}

std::uint16_t CHandheldRecord::GetUI2(int index) const {
    const Slot* slot = SlotOf(index, ce::CEVT_UI2);
    return slot ? static_cast<std::uint16_t>(slot->number) : 0;
}

void CHandheldRecord::SetUI2(int index, std::uint16_t value) {
    if (Slot* slot = SlotOf(index, ce::CEVT_UI2)) slot->number = value;
}

std::uint32_t CHandheldRecord::GetUI4(int index) const {
    const Slot* slot = SlotOf(index, ce::CEVT_UI4);
    return slot ? slot->number : 0;
}

void CHandheldRecord::SetUI4(int index, std::uint32_t value) {
    if (Slot* slot = SlotOf(index, ce::CEVT_UI4)) slot->number = value;
}

QString CHandheldRecord::GetString(int index) const {
    const Slot* slot = SlotOf(index, ce::CEVT_LPWSTR);
    return slot ? slot->text : QString();
}

void CHandheldRecord::SetString(int index, const QString& text) {
    if (Slot* slot = SlotOf(index, ce::CEVT_LPWSTR)) slot->text = text;
}

bool CHandheldRecord::Done(std::uint32_t error) {
    lastError_ = error;
    return error == 0;
}

bool CHandheldRecord::Seek(int mode, int index) {
    if (mode < 0 || mode > 2 || (mode != 0 && (index < 0 || index >= PropertyCount()))) {
        return Done(ce::ERROR_INVALID_PARAMETER);
    }
    return Done(transport_->Seek(*this, mode, index));
}

bool CHandheldRecord::Delete() {
    return Done(transport_->Delete(*this));
}

bool CHandheldRecord::DeleteAll() {
    return Done(transport_->DeleteAll(*this));
}

bool CHandheldRecord::Read() {
    return Done(transport_->Read(*this));
}

bool CHandheldRecord::Write(bool isNew) {
    return Done(transport_->Write(*this, isNew));
}

bool CHandheldRecord::HasType(int index, int dataType) const {
    const auto& types = PropertyTypes(kind_);
    if (index < 0 || index >= static_cast<int>(types.size()) || index >= kMaxProperties) {
        return false;
    }
    return DataTypeOf(types[static_cast<std::size_t>(index)]) == dataType;
}

int CHandheldRecord::PropertyCount() const {
    return StoredPropertyCount(kind_, OnNetwork());
}

ce::Record CHandheldRecord::Properties() const {
    const auto& types = PropertyTypes(kind_);
    const int count = PropertyCount();
    ce::Record props;
    props.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const Slot& slot = slots_[static_cast<std::size_t>(i)];
        ce::PropVal prop;
        prop.id =
            ce::MakePropId(static_cast<std::uint16_t>(i + 1), types[static_cast<std::size_t>(i)]);
        switch (prop.Type()) {
            case ce::CEVT_LPWSTR: prop.text = slot.text; break;
            case ce::CEVT_BLOB: prop.blob = slot.blob; break;
            default: prop.number = slot.number; break;
        }
        props.push_back(std::move(prop));
    }
    return props;
}

void CHandheldRecord::SetProperties(const ce::Record& props) {
    Clear();
    const auto& types = PropertyTypes(kind_);
    for (int i = 0; i < PropertyCount(); ++i) {
        const ce::PropId id =
            ce::MakePropId(static_cast<std::uint16_t>(i + 1), types[static_cast<std::size_t>(i)]);
        for (const ce::PropVal& prop : props) {
            if (prop.id != id) continue;
            Slot& slot = slots_[static_cast<std::size_t>(i)];
            slot.number = prop.number;
            slot.text = prop.text;
            slot.blob = prop.blob;
        }
    }
}

void CHandheldRecord::Clear() {
    slots_.fill(Slot{});
}

}  // namespace tandrel
