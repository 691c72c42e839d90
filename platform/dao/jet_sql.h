#pragma once

#include <QString>
#include <QStringList>

#include <string>

struct sqlite3;

namespace dao {

// A stored query's text turned into SQLite's dialect.
struct TranslatedSql {
    std::string sql;         // parameters appear as ?1, ?2 ... in `parameters` order
    std::string selectList;  // the top-level select list, translated
    std::string fromClause;  // "FROM ..." to the end, translated
    QString singleTable;     // the one table the query reads; empty for a join
};

// Translates the query dialect of stored queries, filters and sorts:
// [bracketed names] and bare names become quoted identifiers, or parameter
// slots when they name a declared parameter; "double-quoted" and 'single'
// text become SQLite literals; & concatenates; True/False are 1/0;
// #m/d/yyyy# dates become stored date values; `x Like pattern` matches * and
// ? as wildcards while the pattern's other parts (parameters, fields) match
// literally, SQLite's own % and _ included. Throws a dao::Error for text it
// cannot read.
TranslatedSql TranslateQuery(const QString& text, const QStringList& parameters);

// The SQL function the translation uses to make a value match literally in
// LIKE (escape character '!'); registered on every connection.
void RegisterLikeEscape(::sqlite3* db);

}  // namespace dao
