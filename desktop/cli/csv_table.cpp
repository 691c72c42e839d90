#include "desktop/cli/csv_table.h"

namespace tandrel {

std::optional<std::vector<CsvRow>> ParseCsv(std::string_view text, std::string* error) {
    std::vector<CsvRow> rows;
    CsvRow row;
    std::string field;
    bool quoted = false;
    bool fieldStarted = false;
    std::size_t line = 1;
    auto endField = [&] {
        row.push_back(std::move(field));
        field.clear();
        fieldStarted = false;
    };
    auto endRow = [&] {
        endField();
        // A blank line is no row.
        if (!(row.size() == 1 && row[0].empty())) rows.push_back(std::move(row));
        row.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n') ++line;
                field += c;
            }
            continue;
        }
        switch (c) {
            case '"':
                if (!fieldStarted && field.empty()) {
                    quoted = true;
                    fieldStarted = true;
                } else {
                    field += c;
                }
                break;
            case ',': endField(); break;
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') break;
                field += c;
                break;
            case '\n':
                endRow();
                ++line;
                break;
            default:
                field += c;
                fieldStarted = true;
                break;
        }
    }
    if (quoted) {
        if (error)
            *error =
                "a quoted field starting before line " + std::to_string(line) + " is not closed";
        return std::nullopt;
    }
    if (fieldStarted || !field.empty() || !row.empty()) endRow();
    return rows;
}

std::string CsvLine(const CsvRow& row) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& f = row[i];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            line += f;
            continue;
        }
        line += '"';
        for (char c : f) line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
    }
    return line;
}

}  // namespace tandrel
