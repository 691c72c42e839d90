#include "desktop/data/bound_recordset.h"

namespace tandrel {
namespace {

template <typename T>
T FromVariant(const QVariant& v) {
    if constexpr (std::is_same_v<T, QString>) {
        return v.isNull() ? QString() : v.toString();
    } else if constexpr (std::is_same_v<T, QDateTime>) {
        return v.isNull() ? QDateTime() : v.toDateTime();
    } else if constexpr (std::is_same_v<T, bool>) {
        return !v.isNull() && v.toBool();
    } else {
        return v.isNull() ? T{0} : static_cast<T>(v.toLongLong());
    }
}

template <typename T>
QVariant ToVariant(const T& member) {
    if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, QDateTime> ||
                  std::is_same_v<T, bool>) {
        return QVariant(member);
    } else {
        return QVariant(static_cast<int>(member));
    }
}

template <typename T>
constexpr dao::FieldType FieldTypeOf() {
    if constexpr (std::is_same_v<T, QString>) {
        return dao::FieldType::Text;
    } else if constexpr (std::is_same_v<T, QDateTime>) {
        return dao::FieldType::DateTime;
    } else if constexpr (std::is_same_v<T, bool>) {
        return dao::FieldType::Boolean;
    } else if constexpr (std::is_same_v<T, std::uint8_t>) {
        return dao::FieldType::Byte;
    } else if constexpr (std::is_same_v<T, std::int16_t>) {
        return dao::FieldType::Integer;
    } else {
        return dao::FieldType::Long;
    }
}

}  // namespace

template <typename T>
void FieldExchange::Exchange(int ordinal, const char* name, T& member) {
    if (direction_ == Direction::Describe) {
        described_->push_back({ordinal, QString::fromLatin1(name), FieldTypeOf<T>()});
        return;
    }
    if (loaded_.size() <= static_cast<std::size_t>(ordinal)) loaded_.resize(ordinal + 1);
    if (direction_ == Direction::Load) {
        bool readable = rs_.GetEditMode() != dao::Recordset::EditMode::None || rs_.HasCurrent();
        loaded_[ordinal] = readable ? rs_.Value(ordinal) : QVariant();
        member = FromVariant<T>(loaded_[ordinal]);
        return;
    }
    // Unchanged members (a null read as 0 included) are not written back;
    // in a new row a number or flag is written even when 0, since a null
    // cannot be meant there (text and dates stay null until given).
    bool unchanged = member == FromVariant<T>(loaded_[ordinal]);
    if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, QDateTime>) {
        if (unchanged) return;
    } else {
        bool fillNew =
            rs_.GetEditMode() == dao::Recordset::EditMode::AddNew && loaded_[ordinal].isNull();
        if (unchanged && !fillNew) return;
    }
    if constexpr (std::is_same_v<T, QDateTime>) {
        rs_.SetValue(ordinal, member.isValid() ? QVariant(member) : QVariant());
    } else {
        rs_.SetValue(ordinal, ToVariant(member));
    }
}

void FieldExchange::Field(int ordinal, const char* name, QString& member) {
    Exchange(ordinal, name, member);
}
void FieldExchange::Field(int ordinal, const char* name, std::uint8_t& member) {
    Exchange(ordinal, name, member);
}
void FieldExchange::Field(int ordinal, const char* name, std::int16_t& member) {
    Exchange(ordinal, name, member);
}
void FieldExchange::Field(int ordinal, const char* name, std::int32_t& member) {
    Exchange(ordinal, name, member);
}
void FieldExchange::Field(int ordinal, const char* name, bool& member) {
    Exchange(ordinal, name, member);
}
void FieldExchange::Field(int ordinal, const char* name, QDateTime& member) {
    Exchange(ordinal, name, member);
}

}  // namespace tandrel
