#pragma once

#include <QString>

namespace remote {

// Rewrites a statement written for the remote server so that SQLite runs it:
// - the three-part name "<catalog>.dbo.<table>" becomes "<catalog>.<table>" (the catalog is
//   an attached SQLite database of that name), letter case ignored;
// - a double-quoted literal is text, as on the server: "a""b" becomes 'a"b', and a single
//   quote inside it is doubled.
// Single-quoted literals, [bracketed] names and comments are copied untouched. An
// unterminated literal stays unterminated, so that SQLite refuses it instead of guessing.
QString TranslateForSqlite(const QString& sql, const QString& catalog = QStringLiteral("base"));

}  // namespace remote
