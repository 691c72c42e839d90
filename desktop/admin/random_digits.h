#pragma once

#include <QString>

#include <functional>

namespace tandrel {

// A source of random numbers from 0 to 32767, as the C library's rand()
// gives them; the conversions take one so tests can fix the sequence.
using RandomNumber = std::function<unsigned()>;

// A source seeded with the current time.
RandomNumber ClockSeededRandom();

// A random digit string: the product of two random numbers as unsigned
// decimal text.
QString RandomDigitString(const RandomNumber& random);

// `code` brought to `length` digits: random digit strings are appended
// while it is shorter, then it is cut to its first `length` digits.
QString FitToLength(const QString& code, int length, const RandomNumber& random);

}  // namespace tandrel
