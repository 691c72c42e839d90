#include "desktop/admin/text_rules.h"

#include "desktop/admin/text_rule_texts.h"
#include "desktop/data/facility_schema.h"

namespace tandrel {
namespace {

std::optional<QString> Fits(const QString& label, const QString& text, TextColumn column) {
    const int size = ColumnSize(column);
    if (text.size() > size) return texts::TooLong(label, size);
    return std::nullopt;
}

}  // namespace

bool IsControlCharacter(QChar c) {
    return c.category() == QChar::Other_Control;
}

bool HasControlCharacter(const QString& text) {
    for (QChar c : text) {
        if (IsControlCharacter(c) && c != u'\t') return true;
    }
    return false;
}

bool IsOneLine(const QString& text) {
    for (QChar c : text) {
        if (IsControlCharacter(c) || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return false;
    }
    return true;
}

int ColumnSize(TextColumn column) {
    const dao::FieldInfo* field =
        FacilityTable(QLatin1String(column.table)).Field(QLatin1String(column.column));
    return field ? field->size : 0;
}

std::optional<QString> NameProblem(const QString& label, const QString& text, TextColumn column) {
    if (!IsOneLine(text)) return texts::NameOnOneLine(label);
    return Fits(label, text, column);
}

std::optional<QString> TextProblem(const QString& label, const QString& text, TextColumn column) {
    if (HasControlCharacter(text)) return texts::NoControlCharacters(label);
    return Fits(label, text, column);
}

}  // namespace tandrel
