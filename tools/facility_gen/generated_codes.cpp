#include "tools/facility_gen/generated_codes.h"

#include <stdexcept>
#include <string>

namespace tandrel {
namespace {

// The longest code ID a facility has.
constexpr int kMaxLength = 10;

qint64 PowerOfTen(int length) {
    qint64 value = 1;
    for (int i = 0; i < length; ++i) value *= 10;
    return value;
}

qint64 Draw(std::mt19937& random, qint64 below) {
    const quint64 wide = (quint64{random()} << 32) | random();
    return static_cast<qint64>(wide % static_cast<quint64>(below));
}

// Coprime to 10^length: odd and not a multiple of 5.
qint64 Multiplier(std::mt19937& random, qint64 space) {
    qint64 m = Draw(random, space) | 1;
    if (m % 5 == 0) m = (m + 2) % space;
    return m;
}

}  // namespace

GeneratedCodeIds::GeneratedCodeIds(int length, int count, std::mt19937& random)
    : length_(length), space_(PowerOfTen(length)) {
    if (length < 1 || length > kMaxLength || count > space_) {
        throw std::invalid_argument(std::to_string(count) + " users do not fit in code IDs of " +
                                    std::to_string(length) + " digits");
    }
    multiplier_ = Multiplier(random, space_);
    offset_ = Draw(random, space_);
}

QString GeneratedCodeIds::operator[](int n) const {
    const auto product = static_cast<unsigned __int128>(multiplier_) * static_cast<unsigned>(n);
    const auto code = static_cast<qint64>((product + offset_) % space_);
    return QStringLiteral("%1").arg(code, length_, 10, QLatin1Char('0'));
}

QString RandomDigits(std::mt19937& random, int count) {
    QString text;
    for (int i = 0; i < count; ++i) text += QChar(static_cast<char16_t>(u'0' + random() % 10));
    return text;
}

}  // namespace tandrel
