#include "platform/com/variant.h"

namespace com {

Variant Variant::Bytes(const QByteArray& bytes, std::int32_t lowerBound) {
    return Variant(ByteArray{bytes, lowerBound});
}

Variant Variant::Array(std::vector<Variant> elements, std::int32_t lowerBound) {
    return Variant(VariantArray{std::move(elements), lowerBound});
}

std::uint16_t Variant::Vt() const {
    static constexpr std::uint16_t kTypes[] = {
        VT_EMPTY, VT_I2, VT_I4, VT_BOOL, VT_BSTR, VT_ARRAY | VT_UI1, VT_ARRAY | VT_VARIANT};
    return kTypes[value_.index()];
}

std::int16_t Variant::ToI2() const {
    const auto* v = std::get_if<std::int16_t>(&value_);
    return v ? *v : 0;
}

std::int32_t Variant::ToI4() const {
    const auto* v = std::get_if<std::int32_t>(&value_);
    return v ? *v : 0;
}

bool Variant::ToBool() const {
    const auto* v = std::get_if<bool>(&value_);
    return v && *v;
}

QString Variant::ToText() const {
    const auto* v = std::get_if<QString>(&value_);
    return v ? *v : QString();
}

}  // namespace com
