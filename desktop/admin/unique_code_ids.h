#pragma once

#include <QString>

#include <optional>
#include <unordered_set>

#include "desktop/admin/random_digits.h"

namespace tandrel {

// Gives out shortened code IDs of one length, each at most once.
class UniqueCodeIds {
  public:
    static constexpr int kRandomDraws = 1000;

    UniqueCodeIds(int length, RandomNumber random);

    // The new code for a user whose code ID was `code`: its first digits
    // while nobody has them; else random digits, drawn at most 1000 times;
    // else the next free code counting up from the last draw like an
    // odometer, passing over codes of one repeated digit. nullopt when no
    // code is left.
    std::optional<QString> Give(const QString& code);

    // How many codes needed the odometer search.
    int OdometerSearches() const { return odometerSearches_; }

  private:
    std::optional<qint64> ValueOf(const QString& digits) const;
    bool Free(const std::optional<qint64>& value) const;
    bool OneRepeatedDigit(qint64 value) const;
    std::optional<qint64> Odometer(qint64 start) const;

    int length_;
    qint64 space_;    // 10^length codes
    qint64 repunit_;  // 11...1 of `length` digits
    RandomNumber random_;
    std::unordered_set<qint64> given_;
    int odometerSearches_ = 0;
};

}  // namespace tandrel
