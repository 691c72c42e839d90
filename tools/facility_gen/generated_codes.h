#pragma once

#include <QString>

#include <random>

namespace tandrel {

// Code IDs of one length, each given out once: the n-th is n scrambled by a
// fixed multiplier and offset modulo 10^length, a one-to-one map, so no set
// of codes given out is kept.
class GeneratedCodeIds {
  public:
    // Throws std::invalid_argument when `count` codes do not fit in the
    // length.
    GeneratedCodeIds(int length, int count, std::mt19937& random);
    QString operator[](int n) const;

  private:
    int length_;
    qint64 space_;
    qint64 multiplier_;
    qint64 offset_;
};

// `count` random digits.
QString RandomDigits(std::mt19937& random, int count);

}  // namespace tandrel
