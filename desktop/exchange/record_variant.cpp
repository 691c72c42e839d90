#include "desktop/exchange/record_variant.h"

namespace tandrel {
namespace {

using com::Variant;

Variant ElementOf(const CHandheldRecord& record, int index, std::uint16_t type) {
    switch (type) {
        case ce::CEVT_UI2: return Variant::I2(static_cast<std::int16_t>(record.GetUI2(index)));
        case ce::CEVT_UI4: return Variant::I4(static_cast<std::int32_t>(record.GetUI4(index)));
        case ce::CEVT_LPWSTR: return Variant::Text(record.GetString(index));
        default: return Variant::Bytes(record.GetBlob(index));
    }
}

bool Fits(const Variant& element, std::uint16_t type) {
    if (element.IsEmpty()) return true;
    switch (type) {
        case ce::CEVT_UI2: return element.Vt() == com::VT_I2;
        case ce::CEVT_UI4: return element.Vt() == com::VT_I4;
        case ce::CEVT_LPWSTR: return element.Vt() == com::VT_BSTR;
        default: return element.AsBytes() && element.AsBytes()->lowerBound == 0;
    }
}

void Take(CHandheldRecord& record, int index, const Variant& element, std::uint16_t type) {
    switch (type) {
        case ce::CEVT_UI2: record.SetUI2(index, static_cast<std::uint16_t>(element.ToI2())); break;
        case ce::CEVT_UI4: record.SetUI4(index, static_cast<std::uint32_t>(element.ToI4())); break;
        case ce::CEVT_LPWSTR: record.SetString(index, element.ToText()); break;
        default: record.SetBlob(index, element.AsBytes() ? element.AsBytes()->bytes : QByteArray());
    }
}

}  // namespace

Variant RecordToVariant(const CHandheldRecord& record) {
    const auto& types = PropertyTypes(record.Kind());
    std::vector<Variant> elements;
    for (int i = 0; i < record.PropertyCount(); ++i) {
        elements.push_back(ElementOf(record, i, types[static_cast<std::size_t>(i)]));
    }
    return Variant::Array(std::move(elements));
}

bool RecordFromVariant(const Variant& variant, CHandheldRecord& record) {
    const com::VariantArray* array = variant.AsArray();
    const int count = record.PropertyCount();
    if (!array || array->lowerBound != 0 || static_cast<int>(array->elements.size()) != count) {
        return false;
    }
    const auto& types = PropertyTypes(record.Kind());
    for (int i = 0; i < count; ++i) {
        if (!Fits(array->elements[static_cast<std::size_t>(i)],
                  types[static_cast<std::size_t>(i)])) {
            return false;
        }
    }
    for (int i = 0; i < count; ++i) {
        Take(record, i, array->elements[static_cast<std::size_t>(i)],
             types[static_cast<std::size_t>(i)]);
    }
    return true;
}

}  // namespace tandrel
