#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// Comma-separated text as spreadsheets write it: fields may be quoted with
// ", a quote inside quotes is doubled, and quoted fields may hold commas and
// line breaks. Lines end with LF or CRLF.
using CsvRow = std::vector<std::string>;

// nullopt when a quoted field is not closed; `error` then says where.
std::optional<std::vector<CsvRow>> ParseCsv(std::string_view text, std::string* error = nullptr);
std::string CsvLine(const CsvRow& row);

}  // namespace tandrel
