#pragma once

#include <QString>
#include <vector>

// The SQL dialect the system writes (Jet's) turned into SQLite's, and the little
// parsing the data sets need of a SELECT.
namespace db::jet {

// Translates one statement:
//  - a text literal in double quotes ("ANA", with "" for one quote inside) becomes a
//    single-quoted SQLite literal with its single quotes doubled, so NOME = "NOME"
//    compares with the text and a quote inside can never end the literal;
//  - the words TRUE and FALSE become -1 and 0, as yes/no columns hold them;
//  - "a RIGHT JOIN b ON c" becomes "b LEFT JOIN a ON c" (nested joins too), the same
//    rows, which SQLite can look up by key instead of scanning b once per row of a; a
//    select list with a bare * keeps its RIGHT JOIN, since the swap would reorder *;
//  - single-quoted literals, [bracketed] and `back-quoted` identifiers, and everything
//    else pass unchanged.
// An unterminated literal or identifier raises EDatabaseError.
QString ToSqlite(const QString& jetSql);

// One entry of a select list, from the translated statement.
struct SelectItem {
  QString qualifier;  // "c" of c.nome, unquoted; empty when not qualified
  QString column;     // "nome" of c.nome; empty for expressions
  QString alias;      // the name after AS (or a bare trailing name)
  bool star = false;  // * or c.*
};

// The select list of a SELECT (empty for other statements).
std::vector<SelectItem> ParseSelectList(const QString& sqliteSql);

// What a SELECT reads from.
struct SourceInfo {
  bool isSelect = false;
  bool singleTable = false;  // FROM one table, no join, no subquery
  bool grouped = false;      // DISTINCT, GROUP BY, aggregates in HAVING, UNION...
  QString table;             // the one table, unquoted
};

SourceInfo ParseSource(const QString& sqliteSql);

}  // namespace db::jet
