#pragma once

#include <QString>

#include "desktop/data/facility_schema.h"
#include "desktop/data/facility_texts.h"

namespace tandrel {

namespace texts {
inline const QString kFacilityNameSeparator =
    QStringLiteral("Facility name can not contain \"/\" or \"\\\"");
inline const QString kFacilityNameDots = QStringLiteral("Facility name can not be \".\" or \"..\"");
inline const QString kFacilityNameControl =
    QStringLiteral("Facility name can not contain tabs, line breaks or other control characters");
inline QString FacilityNameTooLong(int size) {
    return QStringLiteral("Facility name can not be longer than %1 characters").arg(size);
}
}  // namespace texts

// Why a facility name cannot be one: empty when it can. The name is the
// facility file's name in the facilities folder, never a path, and the
// name of the root location.
inline QString FacilityNameProblem(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) return texts::kMustEnterFacilityName;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return texts::kFacilityNameSeparator;
    if (trimmed == QLatin1String(".") || trimmed == QLatin1String(".."))
        return texts::kFacilityNameDots;
    for (QChar c : name) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return texts::kFacilityNameControl;
    }
    const int size =
        FacilityTable(QStringLiteral("Lock Paths")).Field(QStringLiteral("Node Name"))->size;
    if (name.size() > size) return texts::FacilityNameTooLong(size);
    return {};
}

}  // namespace tandrel
