#pragma once

#include <QString>

namespace tandrel {

// Whether a text holds decimal digits only (an empty text does).
inline bool AllDigits(const QString& text) {
    for (QChar c : text) {
        if (c < u'0' || c > u'9') return false;
    }
    return true;
}

}  // namespace tandrel
