#include "desktop/admin/unique_code_ids.h"

namespace tandrel {

UniqueCodeIds::UniqueCodeIds(int length, RandomNumber random)
    : length_(length), space_(1), repunit_(0), random_(std::move(random)) {
    for (int i = 0; i < length; ++i) {
        space_ *= 10;
        repunit_ = repunit_ * 10 + 1;
    }
}

// Codes are kept as numbers of a fixed width, so "0042" and "42" differ
// only in how they are written.
std::optional<qint64> UniqueCodeIds::ValueOf(const QString& digits) const {
    if (digits.size() != length_) return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

bool UniqueCodeIds::Free(const std::optional<qint64>& value) const {
    return value && given_.count(*value) == 0;
}

bool UniqueCodeIds::OneRepeatedDigit(qint64 value) const {
    return value % repunit_ == 0;
}

std::optional<qint64> UniqueCodeIds::Odometer(qint64 start) const {
    qint64 value = start;
    for (qint64 tried = 0; tried < space_; ++tried) {
        value = (value + 1) % space_;
        if (given_.count(value) == 0 && !OneRepeatedDigit(value)) return value;
    }
    return std::nullopt;
}

std::optional<QString> UniqueCodeIds::Give(const QString& code) {
    std::optional<qint64> value = ValueOf(FitToLength(code, length_, random_));
    for (int draw = 0; draw < kRandomDraws && !Free(value); ++draw) {
        value = ValueOf(FitToLength({}, length_, random_));
    }
    if (!Free(value)) {
        ++odometerSearches_;
        value = Odometer(value.value_or(0));
        if (!value) return std::nullopt;
    }
    given_.insert(*value);
    return QStringLiteral("%1").arg(*value, length_, 10, QLatin1Char('0'));
}

}  // namespace tandrel
