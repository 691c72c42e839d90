#include "desktop/admin/random_digits.h"

#include <chrono>
#include <memory>
#include <random>

namespace tandrel {

RandomNumber ClockSeededRandom() {
    constexpr unsigned kRandMax = 32767;
    const auto seed = std::chrono::system_clock::now().time_since_epoch().count();
    auto engine = std::make_shared<std::mt19937>(static_cast<std::mt19937::result_type>(seed));
    return [engine] { return static_cast<unsigned>((*engine)() % (kRandMax + 1)); };
}

QString RandomDigitString(const RandomNumber& random) {
    const unsigned a = random();
    const unsigned b = random();
    return QString::number(a * b);
}

QString FitToLength(const QString& code, int length, const RandomNumber& random) {
    QString digits = code;
    while (digits.size() < length) digits += RandomDigitString(random);
    return digits.left(length);
}

}  // namespace tandrel
