#pragma once

#include <QString>

#include <optional>

namespace tandrel {

// A Text(n) column of the facility schema that a sheet stores a text in.
struct TextColumn {
    const char* table;
    const char* column;
};

// Control characters (C0, DEL and C1).
bool IsControlCharacter(QChar c);
// Whether a text holds a control character other than tab.
bool HasControlCharacter(const QString& text);
// Whether a text stays on one line: no tab, no other control character, no
// line or paragraph separator.
bool IsOneLine(const QString& text);

// The characters a column of the facility schema holds.
int ColumnSize(TextColumn column);

// What keeps a text from being stored, as the message naming the field by
// `label`; nullopt when it may be stored. A name stays on one line; other
// texts may hold tabs but no other control character; both must fit their
// column.
std::optional<QString> NameProblem(const QString& label, const QString& text, TextColumn column);
std::optional<QString> TextProblem(const QString& label, const QString& text, TextColumn column);

}  // namespace tandrel
