#pragma once

#include <QDate>

#include "desktop/admin/random_digits.h"
#include "desktop/data/facility_document.h"

namespace tandrel {

enum class ConversionResult : int { Failed = 0, Converted = 1, NothingToConvert = 2 };

// What a conversion works with: the open facility, the prompter for its
// questions and progress, the random numbers of new digits, and today
// (for the generated PINs of autocode groups).
struct ConversionContext {
    CTDXDoc& doc;
    Prompter& prompter;
    RandomNumber random;
    QDate today;
};

// Both conversions run inside the caller's transaction and leave rolling
// back to it when they fail.

// Rewrites the code ID of every user that has one (keyed codes, not card
// numbers) from `oldLength` to `newLength` digits (4 to 10): longer codes
// get random digits appended, shorter ones keep their first digits while
// unique. The users' current enrolments become pending update and their
// locks are marked.
ConversionResult ConvertCodeIdLength(const ConversionContext& c, int oldLength, int newLength);

// Rewrites the PIN of every user not deleted and removed. Users of an
// autocode home group get their generated PIN, which the locks work out
// themselves; the others get their PIN cut or lengthened with random
// digits and are marked for download. FacilityProperties must already
// hold the new PIN length.
ConversionResult ConvertPinLength(const ConversionContext& c, int oldLength, int newLength);

}  // namespace tandrel
