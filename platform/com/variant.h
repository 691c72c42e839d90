#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace com {

// VARTYPE numbers of the kinds a Variant can hold.
enum VarType : std::uint16_t {
    VT_EMPTY = 0,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UI1 = 17,
    VT_ARRAY = 0x2000,
};

class Variant;

// A one-dimensional SAFEARRAY of bytes (VT_ARRAY | VT_UI1).
struct ByteArray {
    QByteArray bytes;
    std::int32_t lowerBound = 0;
};

// A one-dimensional SAFEARRAY of variants (VT_ARRAY | VT_VARIANT).
struct VariantArray {
    std::vector<Variant> elements;
    std::int32_t lowerBound = 0;
};

// A VARIANT: empty, a 16- or 32-bit integer, a Boolean, a text or an array.
class Variant {
  public:
    Variant() = default;
    static Variant I2(std::int16_t value) { return Variant(value); }
    static Variant I4(std::int32_t value) { return Variant(value); }
    static Variant Bool(bool value) { return Variant(value); }
    static Variant Text(const QString& value) { return Variant(value); }
    static Variant Bytes(const QByteArray& bytes, std::int32_t lowerBound = 0);
    static Variant Array(std::vector<Variant> elements, std::int32_t lowerBound = 0);

    // The VARTYPE: VT_EMPTY, VT_I2, ..., VT_ARRAY | VT_UI1, VT_ARRAY | VT_VARIANT.
    std::uint16_t Vt() const;
    bool IsEmpty() const { return Vt() == VT_EMPTY; }

    // The held value; nullptr (or 0 / false / empty) when the variant holds
    // another kind.
    std::int16_t ToI2() const;
    std::int32_t ToI4() const;
    bool ToBool() const;
    QString ToText() const;
    const ByteArray* AsBytes() const { return std::get_if<ByteArray>(&value_); }
    const VariantArray* AsArray() const { return std::get_if<VariantArray>(&value_); }

    bool operator==(const Variant& other) const = default;

  private:
    using Value = std::variant<std::monostate, std::int16_t, std::int32_t, bool, QString, ByteArray,
                               VariantArray>;
    template <typename T>
    explicit Variant(T value) : value_(std::move(value)) {}

    Value value_;
};

inline bool operator==(const ByteArray& a, const ByteArray& b) {
    return a.bytes == b.bytes && a.lowerBound == b.lowerBound;
}
inline bool operator==(const VariantArray& a, const VariantArray& b) {
    return a.elements == b.elements && a.lowerBound == b.lowerBound;
}

}  // namespace com
